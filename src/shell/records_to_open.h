#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mh {

// Where several record files given at once (on the command line, or dropped on the window) go:
// the first into the active room, each further one into a room of its own while the frame has
// room for one, the rest nowhere (the user is told which). No window.
struct RecordsToOpen {
  std::vector<std::string> intoActiveRoom;  // none or one
  std::vector<std::string> intoNewRooms;    // in the order given, one new room each
  std::vector<std::string> notOpened;       // past the room limit

  // files in the order given; roomsOpen rooms exist already (one of them active, or none),
  // at most maxRooms may be open.
  static RecordsToOpen plan(const std::vector<std::string>& files, size_t roomsOpen, size_t maxRooms);
};

// The record files named by the desktop program's command-line arguments (those Qt has not taken
// for itself), as absolute paths: relative names against currentDirectory, "file://" URIs
// decoded to local paths. Everything after "--" is a file; before it, an argument starting with
// "-" is an option the program does not know. Options and URIs of other hosts are put into
// skipped (when given).
std::vector<std::string> recordFileArguments(const std::vector<std::string>& arguments,
                                             std::string_view currentDirectory,
                                             std::vector<std::string>* skipped = nullptr);

}  // namespace mh
