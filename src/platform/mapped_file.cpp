#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace mh {

MappedFile::~MappedFile() { close(); }

bool MappedFile::open(const std::string& path) {
  close();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
    ::close(fd);
    return false;
  }
  void* p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
  ::close(fd);
  if (p == MAP_FAILED) return false;
  // Look-ups jump around the file: reading ahead would fetch pages nobody asked for.
  (void)::madvise(p, static_cast<size_t>(st.st_size), MADV_RANDOM);
  data_ = static_cast<const std::uint8_t*>(p);
  size_ = static_cast<size_t>(st.st_size);
  return true;
}

void MappedFile::prefetch() const {
  if (data_ == nullptr) return;
  auto* p = const_cast<std::uint8_t*>(data_);
#ifdef MADV_POPULATE_READ
  if (::madvise(p, size_, MADV_POPULATE_READ) == 0) return;
#endif
  (void)::madvise(p, size_, MADV_WILLNEED);  // an older system: at least read it in ahead
}

void MappedFile::readInOrder() const {
  if (data_ != nullptr) (void)::madvise(const_cast<std::uint8_t*>(data_), size_, MADV_SEQUENTIAL);
}

void MappedFile::evict() const {
  if (data_ != nullptr) (void)::madvise(const_cast<std::uint8_t*>(data_), size_, MADV_DONTNEED);
}

namespace {

size_t pageBytes() {
  static const size_t bytes = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  return bytes;
}

}  // namespace

void MappedFile::prefetch(size_t from, size_t to) const {
  to = std::min(to, size_);
  if (data_ == nullptr || from >= to) return;
  from -= from % pageBytes();
  auto* p = const_cast<std::uint8_t*>(data_) + from;
#ifdef MADV_POPULATE_READ
  if (::madvise(p, to - from, MADV_POPULATE_READ) == 0) return;
#endif
  (void)::madvise(p, to - from, MADV_WILLNEED);
}

void MappedFile::evict(size_t from, size_t to) const {
  const size_t page = pageBytes();
  from = (from + page - 1) / page * page;
  to = to >= size_ ? size_ : to - to % page;
  if (data_ == nullptr || from >= to) return;
  (void)::madvise(const_cast<std::uint8_t*>(data_) + from, to - from, MADV_DONTNEED);
}

void MappedFile::close() {
  if (data_ != nullptr) ::munmap(const_cast<std::uint8_t*>(data_), size_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace mh
