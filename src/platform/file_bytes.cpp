#include "platform/file_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mh {

namespace {

// The system's text for errno, as strerror gives it but safe on any thread.
std::string systemReason() { return std::error_code(errno, std::generic_category()).message(); }

// Reads the rest of an open file into out, which is empty; the reason it failed, or "" when it
// did not. The bytes go straight into out, asked for one past the size the file had when it was
// opened: a file that still has that size takes one read, since a read that stops right there
// is its end. A file that has grown is read on to its end.
std::string readAll(int fd, size_t maxBytes, size_t expected, std::string& out) {
  size_t have = 0;
  out.resize(std::min(expected, maxBytes) + 1);
  for (;;) {
    const ssize_t n = ::read(fd, out.data() + have, out.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return systemReason();
    have += static_cast<size_t>(n);
    if (n == 0 || (have == expected && have < out.size())) break;
    if (have > maxBytes) return "grew beyond " + std::to_string(maxBytes) + " bytes while read";
    if (have == out.size()) out.resize(std::min(out.size() * 2, maxBytes + 1));
  }
  out.resize(have);
  return {};
}

}  // namespace

bool readFileBytes(const std::string& path, size_t maxBytes, std::string& out, std::string* why) {
  out.clear();
  std::string reason;
  // Opened without blocking and checked on the open file, so that a path swapped for a pipe
  // after a listing cannot stall the read.
  const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    reason = path.empty() ? "no file name" : systemReason();
  } else {
    struct stat st {};
    if (::fstat(fd, &st) != 0) reason = systemReason();
    else if (!S_ISREG(st.st_mode)) reason = "not a regular file";
    else if (static_cast<unsigned long long>(st.st_size) > maxBytes) reason = "larger than " + std::to_string(maxBytes) + " bytes";
    else reason = readAll(fd, maxBytes, static_cast<size_t>(st.st_size), out);
    ::close(fd);
  }
  if (reason.empty()) return true;
  std::string().swap(out);
  if (why) *why = std::move(reason);
  return false;
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
