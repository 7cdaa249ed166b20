#pragma once

#include <cstdint>
#include <vector>

#include "model/group.h"
#include "model/point.h"

namespace mh {

struct BoardSnapshot;

// A position: a width x height grid of cells (Empty, Black, White) with the rules of Go that act
// on a single position (legality, placing, captures, suicide). Ko is the game state's business.
// A copyable value; every operation that takes a point checks it and reports failure by result.
class Board {
 public:
  // A new board is 19 x 19 and empty.
  Board();
  Board(int width, int height);

  // Drops the old cells and allocates width * height cleared ones (none when that is <= 0).
  // Fails only when the cells cannot be allocated; the board then has no cells.
  [[nodiscard]] bool resize(int width, int height);
  // All cells Empty; the size stays.
  void clear();

  int width() const { return width_; }
  int height() const { return height_; }
  // True when width > 0, height >= 0 and the board has cells.
  bool usable() const { return width_ > 0 && height_ >= 0 && !cells_.empty(); }
  bool hasCells() const { return !cells_.empty(); }
  bool isValid(Point p) const { return !cells_.empty() && p >= 0 && p < static_cast<Point>(cells_.size()); }

  // Writes value without applying any rule; false for an invalid point.
  bool set(Point p, int value);
  // The cell value, or -1 for an invalid point.
  int get(Point p) const { return isValid(p) ? cells_[static_cast<size_t>(p)] : -1; }

  // x + width * y, or -1 when x is outside 0..width-1 or y < 0 (y is not tested against height).
  Point point(int x, int y) const;
  // x = p mod width, y = p div width; false for an invalid point.
  bool coordinates(Point p, int& x, int& y) const;

  // Every point whose cell equals value, ascending; returns the count.
  int pointsOfValue(int value, PointList& out) const;
  // Lowest point holding a stone, or -1.
  Point firstStone() const;
  // True when no cell holds a stone (false when the board is not usable).
  bool isEmpty() const;
  // Points that hold a stone on earlier and are Empty here; 0 when the sizes differ or either
  // board lacks cells.
  int capturedSince(const Board& earlier, PointList& out) const;
  // The compact copy of this position.
  void stoneLists(BoardSnapshot& out) const;
  BoardSnapshot snapshot() const;
  // Resizes to the snapshot's size, clears, writes Black then White stones (invalid points skipped).
  void restore(const BoardSnapshot& snapshot);
  // Writes colour into every listed valid point, without captures.
  void setPoints(const PointList& points, int colour);

  // Orthogonal neighbours; -1 when the step leaves the board.
  Point up(Point p) const;
  Point right(Point p) const;
  Point down(Point p) const;
  Point left(Point p) const;
  // In-board orthogonal neighbours, in the order up, right, down, left.
  void allNeighbours(Point p, PointList& out) const;
  void neighboursOfValue(Point p, int value, PointList& out) const;
  // In-board diagonal neighbours: (x-1,y-1), (x+1,y-1), (x-1,y+1), (x+1,y+1).
  void diagonalNeighbours(Point p, PointList& out) const;
  void diagonalNeighboursOfValue(Point p, int value, PointList& out) const;
  bool adjacent(Point p, Point q) const;
  // Distance to the nearest edge: 1 on the first line; -1 for an invalid point.
  int edgeLine(Point p) const;
  // Distance to the farthest edge, measured the same way; -1 for an invalid point.
  int outerLine(Point p) const;
  // In-board points orthogonally adjacent to the set and not in it, each once, in the order found.
  void outline(const PointList& set, PointList& out) const;
  // Black and white stones adjacent to the set, each list ascending; returns the sum of counts.
  int borderStones(const PointList& set, PointList& black, PointList& white) const;

  // The 4-connected set of equal-valued points through p. True with an empty group for an
  // invalid point; false when the board is not usable.
  bool groupAt(Point p, Group& out) const;
  // True when no point next to a member is Empty; false for a group whose colour is not a stone
  // colour; true when the board is not usable.
  bool hasNoLiberty(const Group& group) const;
  // Sets every member Empty.
  void remove(const Group& group);
  // The distinct Empty points adjacent to the group, ascending; returns the count.
  int liberties(const Group& group, PointList& out) const;
  // Every group of colour value (0, 1 or 2; 3 = stones of either colour, groups never mixed),
  // in the order of a row-major scan that merges groups as it meets them.
  void groupsOfValue(int value, GroupList& out) const;
  void emptyRegions(GroupList& out) const { groupsOfValue(Empty, out); }
  void blackGroups(GroupList& out) const { groupsOfValue(Black, out); }
  void whiteGroups(GroupList& out) const { groupsOfValue(White, out); }
  // Removes every group of colour without liberties; only 1 and 2 are accepted.
  bool removeDead(int colour);
  // Empty components of the stones' outline that are enclosed by stones of the first stone's
  // colour only. Returns the number found; 0 on failure.
  int enclosedRegions(const PointList& stones, std::vector<PointList>& out) const;

  // True for an illegal move (not usable, invalid, occupied, or suicide). Ko is not considered.
  bool isIllegal(int colour, Point p) const;
  // Tests legality, then places and captures. False (board unchanged) when illegal.
  bool play(int colour, Point p);
  // Places and captures without the legality test; false for an invalid point.
  bool place(int colour, Point p);
  // Liberties of the new stone's group after the move, or 0 when the move is illegal.
  int libertiesAfter(int colour, Point p) const;
  // True when the move is illegal or leaves its group with at most one liberty.
  bool isSelfAtari(int colour, Point p) const;

  const std::vector<std::uint8_t>& cells() const { return cells_; }

  friend bool operator==(const Board&, const Board&) = default;

 private:
  // Fills out with the group through p, using marks as scratch; p must be valid.
  void collectGroup(Point p, Group& out) const;
  bool hasLibertyAt(const Group& group) const;

  int width_ = 19;
  int height_ = 19;
  std::vector<std::uint8_t> cells_;
};

// Resizes board to 19 x 19, clears it and sets the standard handicap stones for count (2 to 9);
// any other count places the two-stone layout.
void placeHandicap(int count, Board& board);

// The handicap points for count in placement order, as (x, y) pairs.
CoordList handicapCoords(int count);

}  // namespace mh
