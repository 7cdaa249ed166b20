#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mh::test {

// A fresh directory under the system's temporary directory, removed with everything in it when
// the object goes away.
class ScratchDir {
 public:
  ScratchDir();
  // The same inside another directory (e.g. a memory file system for tests of many files).
  explicit ScratchDir(const std::string& parent);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  // The path of a file name inside the directory.
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The whole file, or an empty vector when it cannot be read.
std::vector<std::uint8_t> readFileBytes(const std::string& path);
// Replaces the file's content; false on any failure.
bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace mh::test
