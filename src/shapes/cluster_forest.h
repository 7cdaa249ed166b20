#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "model/board.h"
#include "model/point.h"

namespace mh {

// The clusters of a board's stones (stones joined through steps of Manhattan distance at most
// `distance`, as clusterAt cuts them), kept as a union-find forest over the points. Adding a
// stone costs one look at its neighbourhood instead of a walk over its whole cluster. Stones can
// only be added: after any other change (a capture, setup stones) the forest is rebuilt from the
// board. Boards up to 64 points wide and high.
class ClusterForest {
 public:
  static constexpr int kMaxSide = 64;
  static bool fits(const Board& board) {
    return board.width() > 0 && board.width() <= kMaxSide && board.height() > 0 && board.height() <= kMaxSide;
  }

  // The clusters of the board's stones. False (forest empty) when the board does not fit or the
  // distance is not positive.
  bool rebuild(const Board& board, int distance);

  // The distinct clusters within reach of point (which holds no stone of the forest): their roots
  // in out, in no particular order. Returns the count.
  int rootsNear(Point point, std::vector<Point>& out);
  // Adds a stone at point (empty in the forest), joining every cluster within reach.
  void add(Point point);
  // The same, given the roots rootsNear found for point with the forest unchanged since.
  void add(Point point, const std::vector<Point>& rootsNearPoint);

  // Takes out stones of the forest that the board no longer holds (gone: each such point, in
  // any order), the board being the forest's but for them; the clusters they were in are cut
  // again from the stones left.
  void removeStones(const Board& board, std::span<const Point> gone);

  Point rootOf(Point point);
  int sizeOf(Point root) const { return size_[static_cast<size_t>(root)]; }
  // Every stone of the cluster whose root is given, in no particular order.
  void membersOf(Point root, PointList& out) const;

 private:
  void join(Point a, Point b);
  // Links the stones marked in left (also in stones_) into the clusters they make among
  // themselves; left is used up.
  void gather(std::array<std::uint64_t, kMaxSide>& left);
  // Calls f(row, mask) for the rows within reach of point, as forEachDiamondRow does, from
  // masks worked out once for the board's width and the distance.
  template <class F>
  void forEachRowInReach(Point point, F&& f) const;

  int reach_ = 0;                     // the distance, at most the longest one on the board
  int spansWidth_ = 0;                // the width spans_ were worked out for, with reach_
  std::vector<std::uint64_t> spans_;  // by row offset + reach_, then column

  int width_ = 0;
  int height_ = 0;
  int distance_ = 0;
  std::array<std::uint64_t, kMaxSide> stones_{};
  std::vector<Point> parent_;
  std::vector<std::int32_t> size_;
  std::vector<Point> ring_;  // members of a cluster linked in a circle
};

}  // namespace mh
