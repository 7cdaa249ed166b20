#pragma once

#include <cstdint>
#include <vector>

#include "model/board_snapshot.h"
#include "model/ko_state.h"
#include "model/point.h"
#include "model/sgf_node.h"

namespace mh {

// One position of a game state's history: what navigation restores when it goes there.
struct HistoryItem {
  BoardSnapshot position;
  KoState ko;
  Point lastMove = kNoPoint;
  std::int32_t sideToMove = Black;
  SgfNode properties;  // a copy; never has children
  // True when the operation that pushed this item appended an entry to its record (a move, a
  // pass or a setup; a start does not). Take-back removes a record entry only for such items,
  // which keeps the record and the history in step.
  bool addedEntry = false;

  friend bool operator==(const HistoryItem&, const HistoryItem&) = default;
};

using History = std::vector<HistoryItem>;

}  // namespace mh
