#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_document.h"

namespace mh {

// The desktop program's own settings file in the program's directory: the records opened last,
// and the window's place.
inline constexpr const char* kDesktopSettingsName = "moonhaven.ini";

// The records opened last, the latest first, as the File menu lists them. Paths are absolute file
// names as the file system spells them (bytes, not converted). Kept in section "RecentFiles" of a
// settings file as File1..File8; the file's other sections are left as they are. No window.
class RecentFiles {
 public:
  static constexpr size_t kMaxFiles = 8;
  static constexpr const char* kSection = "RecentFiles";

  const std::vector<std::string>& files() const { return files_; }

  // Puts path first (moving it up when listed already; "/a/./b.sgf" and "/a/b.sgf" are one
  // file) and drops the oldest past kMaxFiles. False, list unchanged, for a path that cannot be
  // kept in the settings file: empty, relative, with a line break, or starting or ending with a
  // blank.
  bool add(std::string_view path);
  // Drops path (a record that no longer opens); false when it was not listed.
  bool remove(std::string_view path);
  void clear() { files_.clear(); }

  // The list from the settings file's section: File1, File2, ... in order, skipping missing
  // keys and entries add would refuse, at most kMaxFiles.
  void read(const IniDocument& settings);
  // Replaces the section with the list (no section for an empty list).
  void write(IniDocument& settings) const;

  // Reads the list from a settings file; a missing or unreadable file gives an empty list.
  void load(const std::string& settingsPath);
  // Writes the list into the settings file, keeping its other sections, replacing the file
  // atomically. False when the file exists but cannot be read (it is then left alone) or cannot
  // be written.
  [[nodiscard]] bool save(const std::string& settingsPath) const;

  // The File menu's entries, in order: "&1 name.sgf" ... with "&" in a name doubled, so that the
  // digit is the mnemonic; a name two listed files share is followed by its folder,
  // "name.sgf  (/folder)".
  std::vector<std::string> menuLabels() const;

 private:
  std::vector<std::string> files_;
};

}  // namespace mh
