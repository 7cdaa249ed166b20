#pragma once

#include <cstdint>
#include <vector>

#include "model/board.h"
#include "model/point.h"

namespace mh {

// A cluster of stones: every stone of either colour reachable from a starting stone through steps
// of Manhattan distance at most `distance`. The stones keep their absolute points on a board of
// width x height; each list is ascending when the position was cut from a board.
struct LocalPosition {
  std::int32_t width = 19;
  std::int32_t height = 19;
  std::int32_t distance = 5;
  PointList blackStones;
  PointList whiteStones;

  // The black stones followed by the white stones (out is replaced).
  void allStones(PointList& out) const;
  // The black list for colour 1, the white list for any other colour.
  const PointList& stonesOf(int colour) const;
  // True when the colour's list holds exactly one stone.
  bool hasSingleStone(int colour) const;
  int stoneCount() const { return static_cast<int>(blackStones.size() + whiteStones.size()); }

  friend bool operator==(const LocalPosition&, const LocalPosition&) = default;
};

using LocalPositionList = std::vector<LocalPosition>;

// Cuts the board into clusters, starting each one at the lowest stone not yet taken, so the
// first cluster holds the lowest occupied point. Returns the count; none for distance <= 0.
int clusters(const Board& board, int distance, LocalPositionList& out);

// The cluster through the stone at point. False (out cleared to the board's size) when the point
// holds no stone or distance <= 0. With maxStones > 0 the search stops early once the cluster is
// known to hold more than maxStones stones: out then holds maxStones + 1 of them (callers that
// only care about small clusters skip the rest of a large one).
bool clusterAt(const Board& board, Point point, int distance, LocalPosition& out, int maxStones = 0);

// The listed points that hold stones on the board, split by colour in list order; distance 5.
void localPositionFrom(const Board& board, const PointList& points, LocalPosition& out);

// Resizes out to the position's size and writes only its stones. False when the size cannot be
// allocated.
bool boardOf(const LocalPosition& position, Board& out);

}  // namespace mh
