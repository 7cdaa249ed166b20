#pragma once

#include <cstdint>

#include "model/point.h"
#include "model/sgf_node.h"

namespace mh {

// One entry of a game record: a move, setup stones, or setup stones followed by a move, with the
// SGF properties of the position it came from (comment, marks, labels...). A value type.
struct MoveEntry {
  enum Flags : std::int32_t { kMove = 1, kSetup = 2 };

  std::int32_t flags = kMove;
  PointList blackSetup;  // meaningful with kSetup
  PointList whiteSetup;  // meaningful with kSetup
  std::uint8_t colour = Black;  // 1 or 2, meaningful with kMove
  Point point = kNoPoint;       // -1 is a pass, meaningful with kMove
  SgfNode properties;           // properties only; never has children

  bool hasMove() const { return (flags & kMove) != 0; }
  bool hasSetup() const { return (flags & kSetup) != 0; }
  bool isPass() const { return hasMove() && point < 0; }

  friend bool operator==(const MoveEntry&, const MoveEntry&) = default;
};

}  // namespace mh
