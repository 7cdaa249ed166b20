#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/file_bytes.h"

namespace mh::fuzz {

// The input as text, bytes unchanged.
inline std::string_view textOf(const std::uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A file in /tmp named after the process and a tag, for readers that take a path. Rewritten for
// every input; removed when the process ends normally.
class ScratchFile {
 public:
  explicit ScratchFile(std::string_view tag)
      : path_("/tmp/moonhaven-fuzz-" + std::to_string(::getpid()) + "-" + std::string(tag)) {}
  ~ScratchFile() { std::remove(path_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Writes the bytes and gives the path.
  const std::string& write(std::string_view bytes) {
    if (!writeFileBytes(path_, bytes)) __builtin_trap();
    return path_;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Splits an input into two files' bytes: the first byte pair (little-endian) is the length of the
// first part, clamped to what remains; the rest is the second part.
inline void splitInput(std::string_view in, std::string_view& first, std::string_view& second) {
  if (in.size() < 2) {
    first = {};
    second = {};
    return;
  }
  size_t n = static_cast<std::uint8_t>(in[0]) | (static_cast<size_t>(static_cast<std::uint8_t>(in[1])) << 8);
  in.remove_prefix(2);
  if (n > in.size()) n = in.size();
  first = in.substr(0, n);
  second = in.substr(n);
}

}  // namespace mh::fuzz
