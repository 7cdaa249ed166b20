#include "platform/binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <utility>

namespace mh {

namespace {

// pread/pwrite take off_t; offsets beyond it cannot be addressed.
bool offsetFits(std::uint64_t offset, size_t n) {
  const auto maxOff = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
  return offset <= maxOff && n <= maxOff - offset;
}

}  // namespace

BinaryFile::~BinaryFile() { close(); }

BinaryFile::BinaryFile(BinaryFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), writable_(std::exchange(other.writable_, false)) {}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    writable_ = std::exchange(other.writable_, false);
  }
  return *this;
}

void BinaryFile::advise(Access access, std::uint64_t offset, std::uint64_t length) const {
  if (fd_ < 0 || !offsetFits(offset, 0) || !offsetFits(0, length)) return;
  if (access == Access::Random) offset = length = 0;
  (void)::posix_fadvise(fd_, static_cast<off_t>(offset), static_cast<off_t>(length),
                        access == Access::Soon ? POSIX_FADV_WILLNEED : POSIX_FADV_RANDOM);
}

bool BinaryFile::openScratch(const std::string& directory) {
  close();
  int fd;
  do {
    fd = ::open(directory.empty() ? "." : directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  fd_ = fd;
  writable_ = true;
  return true;
}

bool BinaryFile::open(const std::string& path, Mode mode) {
  close();
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::ReadOnly: flags |= O_RDONLY; break;
    case Mode::ReadWrite: flags |= O_RDWR; break;
    case Mode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
  }
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  struct stat st {};
  // A directory opens read-only on Linux but reads fail later; refuse it here.
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  writable_ = mode != Mode::ReadOnly;
  return true;
}

bool BinaryFile::close() {
  if (fd_ < 0) return true;
  const int rc = ::close(fd_);
  fd_ = -1;
  writable_ = false;
  return rc == 0;
}

std::optional<size_t> BinaryFile::readSomeAt(std::uint64_t offset, void* data, size_t n) const {
  if (fd_ < 0 || !offsetFits(offset, n)) return std::nullopt;
  auto* p = static_cast<char*>(data);
  size_t done = 0;
  while (done < n) {
    const ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (r == 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

bool BinaryFile::readAt(std::uint64_t offset, void* data, size_t n) const {
  const auto got = readSomeAt(offset, data, n);
  return got && *got == n;
}

bool BinaryFile::writeAt(std::uint64_t offset, const void* data, size_t n) {
  if (fd_ < 0 || !writable_ || !offsetFits(offset, n)) return false;
  const auto* p = static_cast<const char*>(data);
  size_t done = 0;
  while (done < n) {
    const ssize_t r = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (r == 0) return false;
    done += static_cast<size_t>(r);
  }
  return true;
}

bool BinaryFile::truncate(std::uint64_t length) {
  if (fd_ < 0 || !writable_ || !offsetFits(length, 0)) return false;
  while (::ftruncate(fd_, static_cast<off_t>(length)) != 0)
    if (errno != EINTR) return false;
  return true;
}

std::optional<std::uint64_t> BinaryFile::size() const {
  if (fd_ < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || st.st_size < 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

}  // namespace mh
