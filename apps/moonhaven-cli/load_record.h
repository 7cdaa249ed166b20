#pragma once

#include <optional>
#include <string>

#include "model/game_record.h"
#include "model/game_state.h"

namespace mh::cli {

// Opens a game record for a command. On failure prints the program's message for it and then
// "FILE: why and where" to standard error, and returns false.
bool loadRecord(const std::string& path, bool big5, GameRecord& record);

// Opens a game record into game and shows position move (the last one when none). On failure
// prints why, prefixed with the command's name for a missing position, and returns false.
bool loadPosition(const char* command, const std::string& path, bool big5, std::optional<int> move, GameState& game);

}  // namespace mh::cli
