#include "platform/paged_array.h"

#include <sys/mman.h>

namespace mh {

namespace {

// Arrays from this size on are laid in large pages: a whole number of them, so the system can
// align the mapping to one.
constexpr size_t kLargePage = size_t{2} << 20;
constexpr size_t kPage = 4096;

}  // namespace

bool PagedMemory::allocate(size_t bytes) {
  release();
  if (bytes == 0) return true;
  const size_t unit = bytes >= kLargePage ? kLargePage : kPage;
  const size_t rounded = (bytes + unit - 1) / unit * unit;
  void* p = ::mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return false;
  // A large page costs one fault where small ones cost 512; where the system keeps large pages
  // only for those who ask, this asks.
  if (unit == kLargePage) (void)::madvise(p, rounded, MADV_HUGEPAGE);
  data_ = p;
  bytes_ = rounded;
  return true;
}

void PagedMemory::release() {
  if (data_ != nullptr) ::munmap(data_, bytes_);
  data_ = nullptr;
  bytes_ = 0;
}

}  // namespace mh
