#include "platform/file_bytes.h"

#include <cstdio>

#include <sys/stat.h>

namespace mh {

bool readFileBytes(const std::string& path, size_t maxBytes, std::string& out) {
  out.clear();
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) return false;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char buffer[65536];
  size_t n;
  while (out.size() <= maxBytes && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
  const bool failed = std::ferror(f) != 0 || out.size() > maxBytes;
  std::fclose(f);
  if (failed) out.clear();
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
