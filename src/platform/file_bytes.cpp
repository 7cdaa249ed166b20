#include "platform/file_bytes.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mh {

bool readFileBytes(const std::string& path, size_t maxBytes, std::string& out) {
  out.clear();
  if (path.empty()) return false;
  // Opened without blocking and checked on the open file, so that a path swapped for a pipe
  // after a listing cannot stall the read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool failed = ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
                static_cast<unsigned long long>(st.st_size) > maxBytes;
  if (!failed) {
    out.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        failed = n < 0;
        break;
      }
      out.append(buffer, static_cast<size_t>(n));
      if (out.size() > maxBytes) {  // the file grew while it was read
        failed = true;
        break;
      }
    }
  }
  ::close(fd);
  if (failed) std::string().swap(out);
  return !failed;
}

bool writeFileBytes(const std::string& path, std::string_view bytes) {
  if (path.empty()) return false;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  return written && closed;
}

}  // namespace mh
