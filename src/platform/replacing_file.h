#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/binary_file.h"

namespace mh {

// A file written under a temporary name beside its target ("<target>.tmp") and moved over the
// target by commit. Readers of the target, and a program killed at any moment, see either the
// whole old file or the whole new one, never a torn one. The temporary file is removed when the
// writer is dropped without a commit.
class ReplacingFile {
 public:
  explicit ReplacingFile(std::string target);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Creates (or truncates) the temporary file. False when it cannot be created.
  [[nodiscard]] bool open();
  // The temporary file, for writing.
  BinaryFile& file() { return file_; }
  // Closes the temporary file; false (and the file removed) when closing fails. The target is
  // not touched yet: commit does that.
  [[nodiscard]] bool close();
  // Closes if needed and renames the temporary file over the target. False when closing or the
  // rename fails; the target is then unchanged and the temporary file removed.
  [[nodiscard]] bool commit();
  // Removes the temporary file; the target is unchanged.
  void discard();

  const std::string& target() const { return target_; }
  const std::string& temporaryPath() const { return temp_; }

 private:
  std::string target_;
  std::string temp_;
  BinaryFile file_;
  bool pending_ = false;  // a temporary file exists that commit has not moved
};

// Writes bytes as the whole new content of path, through a ReplacingFile.
[[nodiscard]] bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace mh
