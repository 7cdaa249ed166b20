#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/board.h"
#include "model/game_info.h"
#include "model/game_record.h"
#include "model/ko_state.h"
#include "model/point.h"
#include "model/sgf_node.h"

namespace mh {

// A move of the active record up to the shown position, as move numbering needs it.
struct ViewMove {
  int colour = Empty;      // Black or White; Empty for a setup-only entry
  Point point = kNoPoint;  // -1 for a pass or a setup-only entry

  friend bool operator==(const ViewMove&, const ViewMove&) = default;
};

// A consistent copy of what a room needs to draw a game state, taken in one piece. A value:
// once returned it never changes, whatever the game state does next.
struct GameStateView {
  // Grows by one each time the game state publishes a change; equal revisions mean equal views.
  std::uint64_t revision = 0;
  Board board;
  int sideToMove = Black;
  Point lastMove = kNoPoint;
  KoState ko;
  // Stones removed by the last move played (its point is captureMove); empty after navigation.
  PointList captured;
  Point captureMove = kNoPoint;
  int currentIndex = -1;
  int firstIndex = 0;
  int lastIndex = -1;
  bool studying = false;
  int studyStart = -1;
  // The nearest reachable positions before and after the shown one whose record node has a
  // comment, or -1 (see GameState::previousCommented).
  int previousCommented = -1;
  int nextCommented = -1;
  // Stones put on the board on the way to the shown position (see GameState::stonesPlaced).
  int blackPlaced = 0;
  int whitePlaced = 0;
  SgfNode properties;
  // Entries of the active record (the study record while studying) that lead to the shown
  // position, in order; an entry's 1-based move number is its place in this list.
  std::vector<ViewMove> moves;
  GameInfo info;
  // The main record as it stood (what a save writes); shared between views, never changed.
  std::shared_ptr<const GameRecord> mainRecord;

  bool atFirst() const { return currentIndex == firstIndex; }
  bool atLast() const { return currentIndex == lastIndex; }
};

}  // namespace mh
