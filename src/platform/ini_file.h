#pragma once

#include <string>
#include <string_view>

namespace mh {

// A settings file in the Windows private-profile form ("[SECTION]" lines, "KEY=value" lines,
// ";" comments). Section and key names are compared without regard to ASCII case, the first
// matching section and key win, values are trimmed of blanks, and a missing file, section or key
// gives the caller's default, never an error. Every call reads (or rewrites) the file, so several
// objects over the same path stay consistent. Text is kept as bytes (GB).
class IniFile {
 public:
  explicit IniFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  // The trimmed value of the key, or def.
  std::string readString(std::string_view section, std::string_view key, std::string_view def) const;
  // The value's leading decimal integer (optional sign); 0 when the value does not start with
  // one; def when the key is missing.
  int readInt(std::string_view section, std::string_view key, int def) const;

  // Sets the key's value, adding the key (at the end of its section) or the section (at the end
  // of the file) when missing, and creating the file when it does not exist. Other lines are kept
  // as they were. The file is replaced in one step, so a failed write leaves the old file; a
  // file that exists but cannot be read (too large, say) is left alone and the write fails.
  [[nodiscard]] bool writeString(std::string_view section, std::string_view key, std::string_view value);
  [[nodiscard]] bool writeInt(std::string_view section, std::string_view key, int value);

 private:
  std::string path_;
};

}  // namespace mh
