#include "platform/paged_array.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace mh {

namespace {

constexpr size_t kLargePage = size_t{2} << 20;
constexpr size_t kPage = 4096;

// Maps bytes (whole pages) starting on a large-page boundary, so that every whole large page of
// it can be one; the part past the last boundary stays in small pages. A mapping rounded up to
// whole large pages would instead make the untouched rest of its last one resident at the first
// touch.
void* mapLargePageAligned(size_t bytes) {
  const size_t span = bytes + kLargePage - kPage;
  void* p = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  const std::uintptr_t aligned = (at + kLargePage - 1) & ~(std::uintptr_t{kLargePage} - 1);
  const size_t head = aligned - at;
  if (head != 0) (void)::munmap(p, head);
  if (span - head > bytes) (void)::munmap(reinterpret_cast<void*>(aligned + bytes), span - head - bytes);
  void* data = reinterpret_cast<void*>(aligned);
  // A large page costs one fault where small ones cost 512; where the system keeps large pages
  // only for those who ask, this asks.
  (void)::madvise(data, bytes, MADV_HUGEPAGE);
  return data;
}

}  // namespace

bool PagedMemory::allocate(size_t bytes, Use use) {
  release();
  if (bytes == 0) return true;
  if (bytes < kHeapBelow) {
    data_ = std::calloc(1, bytes);
    return data_ != nullptr;
  }
  const size_t unit = use == Use::FilledWhole && bytes >= kLargePage ? kLargePage : kPage;
  const size_t rounded = (bytes + unit - 1) / unit * unit;
  void* p = nullptr;
  if (rounded >= kLargePage) {
    p = mapLargePageAligned(rounded);
  } else {
    p = ::mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) p = nullptr;
  }
  if (p == nullptr) return false;
  data_ = p;
  bytes_ = rounded;
  return true;
}

void PagedMemory::release() {
  if (data_ != nullptr) {
    if (bytes_ == 0) std::free(data_);
    else ::munmap(data_, bytes_);
  }
  data_ = nullptr;
  bytes_ = 0;
}

}  // namespace mh
