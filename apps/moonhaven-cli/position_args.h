#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/board.h"

namespace mh::cli {

// The position a command works on: "FILE [--move N] [--big5]" (the record replayed to move N,
// default its last position) or "--empty" (an empty 19 x 19 board, Black to move), with
// "--side b|w" overriding the side to move.
struct PositionArgs {
  std::string file;
  bool empty = false;
  bool big5 = false;
  std::optional<int> move;
  std::optional<int> side;

  // Takes the option at args[i] (and its value) if it is one of these; advances i past it.
  // Returns false when args[i] is not a position option; sets error on a malformed value.
  bool take(const std::vector<std::string>& args, size_t& i, std::string& error);
  // Loads and replays as asked. On failure prints the reason to standard error.
  bool resolve(const char* command, Board& board, int& side) const;
};

}  // namespace mh::cli
