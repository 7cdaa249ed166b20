#pragma once

#include <string>

#include "model/game_record.h"

namespace mh::cli {

// Opens a game record for a command. On failure prints the program's message for it and then
// "FILE: why and where" to standard error, and returns false.
bool loadRecord(const std::string& path, bool big5, GameRecord& record);

}  // namespace mh::cli
