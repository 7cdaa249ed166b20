#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

#include "model/game_record.h"
#include "model/game_state.h"

namespace mh::cli {

// How a command reads its record file: the user's BIG5 choice and the game tree of a collection.
struct RecordChoice {
  bool big5 = false;
  int tree = 1;  // from 1, as "show --list" numbers the trees
};

// Declares --big5 and --tree on a command that reads a record.
void defineRecordChoice(CLI::App& command, RecordChoice& choice);

// Opens a game record for a command. On failure prints the program's message for it and then
// "FILE: why and where" to standard error, and returns false.
bool loadRecord(const std::string& path, const RecordChoice& choice, GameRecord& record);

// Opens a game record into game and shows position move (the last one when none). On failure
// prints why, prefixed with the command's name for a missing position, and returns false.
bool loadPosition(const char* command, const std::string& path, const RecordChoice& choice, std::optional<int> move,
                  GameState& game);

}  // namespace mh::cli
