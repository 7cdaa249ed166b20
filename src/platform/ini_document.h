#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mh {

// The lines of a settings file in the Windows private-profile form, held in memory so that
// several changes can be made and then written in one step. Section and key names are compared
// without regard to ASCII case, the first matching section and the first matching key in it win,
// values are trimmed of blanks. Lines that are neither a section nor a key (comments, blank or
// stray lines) are kept as they are. Text is kept as bytes (GB).
class IniDocument {
 public:
  // The largest file read; a larger one reads as unreadable.
  static constexpr size_t kMaxBytes = 16u << 20;

  IniDocument() = default;
  // Splits text into lines (LF or CR LF).
  explicit IniDocument(std::string_view text);

  // Reads a file. A missing file gives an empty document; false only when the file exists but
  // cannot be read (then the document is empty).
  [[nodiscard]] bool load(const std::string& path);
  // The text: every line followed by "\r\n" when the text read used CR LF, else "\n".
  std::string text() const;
  // Writes the text as the file's whole new content through a temporary file renamed over it,
  // so readers and a program killed midway see the old or the new file, never a torn one.
  [[nodiscard]] bool save(const std::string& path) const;

  // The trimmed value of the key, or nothing when the section or key is missing.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  // The value's leading decimal integer (optional sign, clamped to 32 bits); 0 when the value
  // does not start with one; def when the key is missing.
  int intValue(std::string_view section, std::string_view key, int def) const;
  // Sets the key's value, adding the key (after the section's last non-blank line) or the
  // section (at the end) when missing.
  void setValue(std::string_view section, std::string_view key, std::string_view value);

  // Whether a section of that name exists.
  bool hasSection(std::string_view section) const;
  // Removes every section of that name with its lines (a shadowed duplicate too).
  void removeSections(std::string_view section);
  // Removes every section of that name but the first, which is the one readers see.
  void removeShadowedSections(std::string_view section);
  // Renames the first section of that name; false when there is none.
  bool renameSection(std::string_view from, std::string_view to);

 private:
  // The line index of each section header of that name, in file order.
  std::vector<size_t> sectionLines(std::string_view section) const;
  // One past the last line of the section whose header is at line `header`.
  size_t sectionEnd(size_t header) const;
  void eraseSection(size_t header);

  std::vector<std::string> lines_;
  bool crlf_ = false;
};

}  // namespace mh
