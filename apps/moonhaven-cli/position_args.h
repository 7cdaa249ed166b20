#pragma once

#include <optional>
#include <string>

#include "cli_command.h"
#include "load_record.h"
#include "model/board.h"

namespace mh::cli {

// The position a command works on: "FILE [--move N] [--big5] [--tree N]" (the record replayed to
// move N, default its last position) or "--empty" (an empty 19 x 19 board, Black to move), with
// "--side b|w" overriding the side to move.
struct PositionArgs {
  std::string file;
  bool empty = false;
  RecordChoice choice;
  std::optional<int> move;
  std::string sideLetter;  // "b", "w", or empty for the position's own side to move

  // Declares FILE, --move, --big5, --tree, --empty and --side; exactly one of FILE and --empty. Without
  // allowEmpty, only FILE, which is then required.
  void define(CLI::App& command, bool allowEmpty = true);
  // Loads and replays as asked. On failure prints the reason to standard error.
  bool resolve(const char* command, Board& board, int& side) const;
};

}  // namespace mh::cli
