#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_document.h"

namespace mh {

// A pattern base as WPBs.ini lists it: the values of its "WPB_n" section.
struct WpbSettings {
  std::array<std::string, 3> titles;  // TITLE0..TITLE2 (GB), one per interface language
  std::string sgfPath;                // SGFPATH as written
  std::string fileName;               // FILENAME
};

// Why an edit of WPBs.ini was refused; Ok when it was made.
enum class WpbEditStatus {
  Ok,
  Unreadable,       // WPBs.ini exists but cannot be read: it is left alone
  CannotWrite,      // the new WPBs.ini could not be written: the old one is unchanged
  BadTitle,         // empty, longer than kMaxValueBytes, or with a line break
  BadFolder,        // not an absolute path, too long, or with a line break
  NoSuchFolder,     // the record folder does not exist
  NoRecords,        // the record folder holds no .sgf or .gib file
  BadFileName,      // empty, with "/" or control characters, blanks at an end, "." or "..", too long
  FileNameTaken,    // another pattern base already has this file name
  NoSuchBase,       // no pattern base has this number
  FilesNotDeleted,  // the pattern base was removed from the list, but some of its files remain
};

// Adds and removes pattern bases in WPBs.ini of a program's directory, so that nobody needs to
// edit the file by hand. The file is rewritten the way WpbList reads it: section WPBS with TOTAL
// and DEFAULT, and sections WPB_0, WPB_1, ... without a gap; every other section, key and
// comment is kept. Each change is written whole to a temporary file and renamed over WPBs.ini,
// so the file is the old one or the new one, never a torn one. Not thread-safe; no window.
class WpbListEditor {
 public:
  static constexpr const char* kIniName = "WPBs.ini";
  // The longest value the reader keeps (each value is read into a 256-byte buffer).
  static constexpr size_t kMaxValueBytes = 255;
  // The longest file name, leaving room for the longest extension within a name's 255 bytes.
  static constexpr size_t kMaxFileNameBytes = 200;

  // WPBs.ini in programDirectory (ending with "/").
  explicit WpbListEditor(std::string programDirectory);

  // Reads WPBs.ini; a missing file gives an empty list. Unreadable when it exists but cannot be
  // read: the editor then refuses every change, so the file is never replaced by a worse one.
  [[nodiscard]] WpbEditStatus load();

  // The pattern bases in the order of their numbers: the sections from WPB_0 while fewer than
  // TOTAL, up to the first without SGFPATH, FILENAME or any title, as the reader stops there.
  const std::vector<WpbSettings>& bases() const { return bases_; }
  // DEFAULT, or 0 when it names no listed base.
  int defaultNumber() const { return default_; }
  const std::string& iniPath() const { return iniPath_; }

  // A file name for a new pattern base titled title (GB): its ASCII letters and digits in lower
  // case, other runs as one "-", "base" when nothing is left; "-2", "-3", ... appended while a
  // listed base or a file in the program's directory already uses the name.
  std::string proposeFileName(std::string_view title) const;

  struct NewBase {
    std::string title;            // GB; the title in every interface language
    std::string recordDirectory;  // absolute; a "/" is appended when missing
    std::string fileName;
    bool makeDefault = false;  // the first base added becomes the default anyway
  };
  // Checks the new base and appends it to the list as number bases().size(). Refused (file
  // unchanged) for a bad title, folder or file name, a file name another base has, a folder that
  // does not exist or holds no record.
  [[nodiscard]] WpbEditStatus add(const NewBase& base);

  // Removes pattern base n; the bases after it move down one number and DEFAULT follows its
  // base (the default itself removed: the first base becomes the default). With deleteFiles,
  // the base's files in the program's directory are deleted after the list is written; those
  // that cannot be (or that another listed base shares) are named in notDeleted (when given)
  // and the result is FilesNotDeleted.
  [[nodiscard]] WpbEditStatus remove(int n, bool deleteFiles, std::vector<std::string>* notDeleted = nullptr);

  // The files in the program's directory that belong to the pattern base with this file name:
  // X.idx, X.wp2, X.wp2_, X.lb, X.lb_ and the warehouse and temporary files of a build
  // (X.wp2.aos..., X.lb.aos..., X.idx.tmp, ...), but none that is a file of another listed base.
  // Sorted.
  std::vector<std::string> filesOf(const std::string& fileName) const;

 private:
  void parse();
  // Gives every listed base a title in each language it lacks (from one it has), so that the
  // reader in any language sees the whole list.
  void fillMissingTitles();
  [[nodiscard]] WpbEditStatus save();

  std::string home_;
  std::string iniPath_;
  IniDocument document_;
  bool readable_ = false;
  std::vector<WpbSettings> bases_;
  int default_ = 0;
};

// Whether a record folder holds at least one .sgf or .gib file, in it or below it. Stops at the
// first one found.
bool holdsRecordFiles(const std::string& directory);

}  // namespace mh
