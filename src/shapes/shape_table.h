#pragma once

#include <array>
#include <vector>

#include "model/board.h"
#include "model/point.h"

namespace mh {

// How two distinct points lie to each other, by the smaller (m) and larger (M) of their column
// and row distances: 0 orthogonally adjacent, 1 diagonal, 2 one-point jump, 3 small knight's
// move, and so on up to (0, 10). -1 for equal points, invalid points, or any other distance.
int relationCode(int dx, int dy);
// The same for two points of a board width x height.
int relationCode(int width, int height, Point p, Point q);

// The id (0..29) of a pair of stones with this relation code and colours, or -1 when such a pair
// takes part in no shape.
int pairId(int relationCode, bool sameColour);

// One shape of the vocabulary. A pair shape (id 0..29) is its pair id; every larger shape is a
// parent shape plus one stone, named by the added stone's colour (the owner's or the opponent's)
// and the pair ids it forms with each of the parent's stones, as a multiset.
struct ShapeEntry {
  int stones = 0;  // 0 for an unused id
  int parent = -1;
  bool ownAdded = true;
  int own = 0;       // stones of the side that records the shape
  int opponent = 0;  // stones of the other side
  std::vector<int> pairIds;  // sorted ascending; empty for pairs
};

// The compiled-in vocabulary of 136 stone shapes, ids 0..399. Built once per process on first
// use (safe from any thread) and never changed.
class ShapeTable {
 public:
  static constexpr int kIds = 400;
  static constexpr int kUsed = 136;
  static constexpr int kMaxStones = 12;

  static const ShapeTable& get();

  // The entry of id; an unused entry (stones 0) for ids outside 0..399 too.
  const ShapeEntry& entry(int id) const;
  bool used(int id) const { return entry(id).stones > 0; }
  // Where the shapes of a stone count (3..12) start and end (inclusive); -1 for other counts.
  // Pairs are ids 0..29.
  static int firstIdOf(int stones);
  static int lastIdOf(int stones);
  // The distinct parents of the shapes of stones (3..12) whose added stone is own or the
  // opponent's, in table order; empty for other counts.
  const std::vector<int>& parents(int stones, bool ownAdded) const;
  // The shapes of stones with this parent and kind of added stone, in id order.
  const std::vector<int>& children(int parent, bool ownAdded) const;
  // Every used id, ascending.
  const std::vector<int>& usedIds() const { return usedIds_; }

 private:
  ShapeTable();

  std::array<ShapeEntry, kIds> entries_;
  std::array<std::array<std::vector<int>, 2>, kMaxStones + 1> parents_;
  std::array<std::array<std::vector<int>, 2>, kIds> children_;
  std::vector<int> usedIds_;
};

// Every valid point of the board having relation code to p, each once. Defined for codes 0..8,
// 10..15 and 21..26; other codes give an empty list. Returns the count.
int pointsAt(const Board& board, Point p, int code, PointList& out);

// When p and q are diagonal neighbours, the points orthogonally adjacent to both (the one in p's
// column first, then the one in p's row); otherwise none. Returns the count.
int cuttingPoints(const Board& board, Point p, Point q, PointList& out);

}  // namespace mh
