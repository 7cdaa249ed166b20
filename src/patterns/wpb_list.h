#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "patterns/game_index.h"
#include "patterns/wpb.h"

namespace mh {

// The configured pattern bases, read from "WPBs.ini" in the program's directory:
//   [WPBS]   TOTAL = number of pattern bases, DEFAULT = number of the default one
//   [WPB_n]  TITLEl = title in interface language l (0 English, 1 Simplified, 2 Traditional
//            Chinese), SGFPATH = collection directory, FILENAME = base name of the files
// Read once at start-up and shared by every room; used from the user-interface thread.
class WpbList {
 public:
  // Reads the list. Sections are read from WPB_0 upwards while fewer than TOTAL were read; the
  // first one lacking the title (in the given language), the path or the file name ends the list.
  // A DEFAULT outside the list becomes 0. A missing or broken file gives an empty list.
  void read(const std::string& iniPath, const std::string& programDirectory, int language);
  // Reads the list again, from the file and in the language of the last read, after a pattern base
  // was added to it or removed. A base whose title, record folder and file name are unchanged
  // keeps its object, open or being built; the others are dropped. The result has, for each
  // number before, the base's number now, or -1 when it is no longer listed.
  std::vector<int> reread();
  // The program's directory of the last read, ending with "/".
  const std::string& programDirectory() const { return home_; }

  int count() const { return static_cast<int>(bases_.size()); }
  int defaultNumber() const { return default_; }
  // Pattern base n, or null outside the list.
  Wpb* at(int n);
  const Wpb* at(int n) const;

  // Opens pattern base n for hints unless it is already open or being built (it then stays closed
  // until a later select); false outside the list.
  bool select(int n);

 private:
  std::vector<std::unique_ptr<Wpb>> bases_;
  int default_ = 0;
  std::string iniPath_;
  std::string home_;
  int language_ = 0;
};

// The collection directory an SGFPATH value names, ending with "/". A value beginning with
// "<sgfs>" (any letter case) has those six characters replaced by the parent of the program's
// directory followed by "sgfs" (a plain concatenation: "<sgfs>pro" gives ".../sgfspro/"). A
// relative path is taken from the program's directory.
std::string recordDirectoryFor(std::string_view sgfPath, const std::string& programDirectory);

// Builds the game-record index of a collection directory from scratch and writes it to path. The
// number of indexed games; -1 when the scan was stopped before its end (the file is then left as
// it was) or the file cannot be written.
int rebuildGameIndexFile(const std::string& directory, const std::string& path, const GameIndexScan& scan);

// Rebuilds the game-record index of pattern base 1, the custom record library, and writes it to
// the base's "idx" file; the base is closed first. The number of indexed games, or -1 when the
// list holds fewer than two pattern bases, the base is being built, or the index cannot be
// written.
int updateCustomRecordLibrary(WpbList& list, const GameIndexScan& scan);

}  // namespace mh
