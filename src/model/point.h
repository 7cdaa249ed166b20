#pragma once

#include <cstdint>
#include <vector>

namespace mh {

// A point is x + width * y, x from the left edge and y from the top edge, both from 0.
using Point = std::int32_t;

// "No point"; as a move it is a pass.
inline constexpr Point kNoPoint = -1;

// Cell values double as colours everywhere: side to move, move colour, pattern colour.
enum Colour : int { Empty = 0, Black = 1, White = 2 };

// The opponent of colour c (1 <-> 2).
constexpr int opponent(int colour) { return 3 - colour; }

// True for 1 (Black) and 2 (White).
constexpr bool isStoneColour(int colour) { return colour == Black || colour == White; }

// Lists made by scanning a board are in ascending point order.
using PointList = std::vector<Point>;

// A column/row pair, as read from SGF letters or produced by a transform.
struct Coord {
  int x = 0;
  int y = 0;
  friend bool operator==(const Coord&, const Coord&) = default;
};

using CoordList = std::vector<Coord>;

}  // namespace mh
