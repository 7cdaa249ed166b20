#pragma once

#include <string>
#include <vector>

#include "shell/records_to_open.h"

namespace mh {

class CMainFrame;

// Opens record files given together (on the command line, or dropped on the window) as
// RecordsToOpen plans it: the first in the active room, each further one in a new room while
// fewer than maxRooms are open. A file that does not open gets its room's own message; a message
// box lists the files left out past the room limit. Returns the plan it followed.
RecordsToOpen openRecordFiles(CMainFrame& frame, const std::vector<std::string>& files, size_t maxRooms = 9);

// Lets the frame take record files dropped on it from a file manager: a drag is accepted when it
// carries at least one local .sgf or .gib file, and the drop opens those files (and no others)
// with openRecordFiles, the first in the active room.
void acceptRecordDrops(CMainFrame& frame);

}  // namespace mh
