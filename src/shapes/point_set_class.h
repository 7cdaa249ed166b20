#pragma once

#include "model/board.h"
#include "model/point.h"

namespace mh {

// Names of the arrangements of small point sets. The class depends only on where the points lie
// relative to one another, never on what they hold, and is the same in all eight orientations.
namespace PointSetClass {
inline constexpr int kInvalid = -1;       // not a recognised arrangement, or a point off the board
inline constexpr int kEmpty = 0;
inline constexpr int kSingle = 1;
inline constexpr int kPair = 2;           // any two points
inline constexpr int kStraightThree = 3;  // 1 x 3
inline constexpr int kBentThree = 4;      // three points of a 2 x 2 box
inline constexpr int kStraightFour = 5;
inline constexpr int kLFour = 6;
inline constexpr int kTFour = 7;
inline constexpr int kSquareFour = 8;
inline constexpr int kSFour = 9;
inline constexpr int kStraightFive = 10;
inline constexpr int kLFive = 11;
inline constexpr int kCrossFive = 12;
inline constexpr int kBulkyFive = 13;
inline constexpr int kStraightSix = 14;
inline constexpr int kRectangleSix = 15;
inline constexpr int kRabbitSix = 16;
inline constexpr int kKite = 101;   // .X./X.X/X.. in any orientation
inline constexpr int kOther = 10000;  // a known bounding box holding none of the listed shapes; 7+ points
}  // namespace PointSetClass

// The class of count points (see PointSetClass). The board only turns points into coordinates
// and checks that they lie on it. Two equal points in a set of 4 to 6 give kInvalid.
int classifyPoints(const Board& board, const Point* points, int count);
inline int classifyPoints(const Board& board, const PointList& points) {
  return classifyPoints(board, points.data(), static_cast<int>(points.size()));
}

}  // namespace mh
