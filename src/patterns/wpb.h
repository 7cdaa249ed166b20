#pragma once

#include <string>

#include "patterns/game_index.h"
#include "patterns/pattern_library.h"

namespace mh {

// A pattern base: one configured collection of game records with its game-record index and its
// global and local libraries. Its files live in the program's directory, named home + fileName +
// "." + extension ("idx", "wp2", "wp2_", "lb", "lb_", and while building the warehouse files).
// Owned by the application's WpbList and used from the user-interface thread only; a build works
// on its own copies of the files' contents, after the owner has closed the pattern base.
class Wpb {
 public:
  Wpb() = default;
  Wpb(std::string title, std::string recordDirectory, std::string fileName, std::string home);
  Wpb(const Wpb&) = delete;
  Wpb& operator=(const Wpb&) = delete;

  const std::string& title() const { return title_; }
  // The collection directory, ending with "/".
  const std::string& recordDirectory() const { return recordDirectory_; }
  // Names another collection directory ("/" added when missing). The pattern base is closed, so
  // that its index is read again with the new directory.
  void setRecordDirectory(std::string directory);
  const std::string& fileName() const { return fileName_; }
  // The program's directory the files live in, ending with "/".
  const std::string& home() const { return home_; }
  // home + fileName: a build request's file prefix.
  std::string filePrefix() const { return home_ + fileName_; }
  // The path of one of the pattern base's files.
  std::string filePath(const char* extension) const { return filePrefix() + "." + extension; }

  // Opens both libraries in index mode and marks the pattern base open; the game-record index is
  // read when first asked for (hints need it only to name the games of a move). Missing or
  // damaged files leave that part empty, so its look-ups find nothing.
  void openForHints();
  // Drops the index and both libraries and clears the open flag.
  void close();
  bool isOpen() const { return open_; }
  // Marks the pattern base as being built: its owner closed it, the build replaces its files, and
  // WpbList::select leaves it closed until the mark is cleared.
  void setBuilding(bool building) { building_ = building; }
  bool isBuilding() const { return building_; }

  const GameIndex& gameIndex() const;
  const PatternLibrary& globalLibrary() const { return global_; }
  const PatternLibrary& localLibrary() const { return local_; }

 private:
  std::string title_;
  std::string recordDirectory_;
  std::string fileName_;
  std::string home_;
  mutable GameIndex index_;
  mutable bool indexRead_ = false;
  PatternLibrary global_;
  PatternLibrary local_;
  bool open_ = false;
  bool building_ = false;
};

}  // namespace mh
