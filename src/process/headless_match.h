#pragma once

#include <functional>
#include <memory>
#include <string>

#include "model/game_record.h"
#include "model/game_settings.h"
#include "model/player.h"
#include "platform/log_line.h"

namespace mh {

// A move or a pass of a headless match, as the game state took it.
struct PlayedMove {
  int number = 0;          // 1 for the first move after the start position
  int colour = Black;
  Point point = kNoPoint;  // -1 for a pass
};

// "<number> <b|w> <vertex or pass>", the vertex as GTP writes it on a 19 x 19 board ("Q16").
std::string playedMoveLine(const PlayedMove& move);

struct HeadlessMatchResult {
  // True when the move limit stopped the game; false when it ended by itself (two passes, or a
  // player gave up).
  bool limitReached = false;
  int moves = 0;      // moves and passes played
  GameRecord record;  // the main record, with the players' names in its information
};

// Runs one match between two players on a match driver's thread, without pauses between moves,
// until the game is over or maxMoves moves and passes have been played (no limit when
// maxMoves <= 0), and returns what was played. onMove hears every move and pass in order, from
// the driver's thread, as soon as the next notification shows it (a pass shows with the move
// after it, or at the end). The driver logs to log. Blocks the calling thread for the whole game.
HeadlessMatchResult runHeadlessMatch(const GameSettings& settings, std::shared_ptr<Player> black,
                                     std::shared_ptr<Player> white, int maxMoves,
                                     std::function<void(const PlayedMove&)> onMove, LogLine log = {});

}  // namespace mh
