#include "shapes/point_set_class.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

namespace mh {

namespace {

// A bitmap such as "X./XX/X." as a mask: bit (column + columns * row) set for every "X".
constexpr unsigned maskOf(std::string_view bitmap) {
  unsigned mask = 0;
  int column = 0;
  int row = 0;
  int columns = 0;
  for (char c : bitmap) {
    if (c == '/') {
      columns = column;
      column = 0;
      ++row;
      continue;
    }
    ++column;
  }
  if (columns == 0) columns = column;
  column = 0;
  row = 0;
  for (char c : bitmap) {
    if (c == '/') {
      column = 0;
      ++row;
      continue;
    }
    if (c == 'X') mask |= 1u << (column + columns * row);
    ++column;
  }
  return mask;
}

bool oneOf(unsigned mask, std::initializer_list<std::string_view> bitmaps) {
  return std::any_of(bitmaps.begin(), bitmaps.end(), [mask](std::string_view b) { return maskOf(b) == mask; });
}

struct Box {
  int minX = 0;
  int minY = 0;
  int width = 0;   // columns
  int height = 0;  // rows
  int shortSide() const { return std::min(width, height); }
  int longSide() const { return std::max(width, height); }
};

// The points laid in their box; a box wider than tall with a short side of 2 is turned upright
// (x and y exchanged) so that 2 x 3 and 2 x 4 shapes are read with two columns. The points must
// be distinct.
unsigned bitmapOf(const std::array<int, 6>& xs, const std::array<int, 6>& ys, int count,
                                 const Box& box) {
  const bool exchange = box.shortSide() == 2 && box.width > box.height;
  const int columns = exchange ? box.height : box.width;
  unsigned mask = 0;
  for (int i = 0; i < count; ++i) {
    int x = xs[i] - box.minX;
    int y = ys[i] - box.minY;
    if (exchange) std::swap(x, y);
    mask |= 1u << (x + columns * y);
  }
  return mask;
}

int classifyFour(unsigned mask, const Box& box) {
  using namespace PointSetClass;
  if (box.shortSide() == 2 && box.longSide() == 3) {
    if (oneOf(mask, {"XX/X./X.", "X./X./XX", "XX/.X/.X", ".X/.X/XX"})) return kLFour;
    if (oneOf(mask, {"X./XX/X.", ".X/XX/.X"})) return kTFour;
    if (oneOf(mask, {"X./XX/.X", ".X/XX/X."})) return kSFour;
    return kOther;
  }
  if (oneOf(mask, {".X./X.X/X..", ".X./X.X/..X", ".X./X../.XX", ".XX/X../.X.", "X../X.X/.X.", "..X/X.X/.X.",
                   "XX./..X/.X.", ".X./..X/XX."}))
    return kKite;
  return kOther;
}

}  // namespace

int classifyPoints(const Board& board, const Point* points, int count) {
  using namespace PointSetClass;
  if (count < 0 || (count > 0 && points == nullptr)) return kInvalid;
  if (count <= 2) return count;  // 0 empty, 1 single, 2 any pair, without looking at the points
  if (count >= 7) return kOther;

  std::array<int, 6> xs{};
  std::array<int, 6> ys{};
  for (int i = 0; i < count; ++i) {
    if (!board.isValid(points[i]) || !board.coordinates(points[i], xs[i], ys[i])) return kInvalid;
  }
  for (int i = 0; i < count; ++i)
    for (int j = i + 1; j < count; ++j)
      if (points[i] == points[j]) return kInvalid;  // a set holds each point once
  const auto [minX, maxX] = std::minmax_element(xs.begin(), xs.begin() + count);
  const auto [minY, maxY] = std::minmax_element(ys.begin(), ys.begin() + count);
  const Box box{*minX, *minY, *maxX - *minX + 1, *maxY - *minY + 1};
  const int s = box.shortSide();
  const int l = box.longSide();
  const auto bitmap = [&]() { return bitmapOf(xs, ys, count, box); };

  switch (count) {
    case 3:
      if (s == 1 && l == 3) return kStraightThree;
      if (s == 2 && l == 2) return kBentThree;
      return kInvalid;
    case 4:
      if (s == 1 && l == 4) return kStraightFour;
      if (s == 2 && l == 2) return kSquareFour;
      if ((s == 2 && l == 3) || (s == 3 && l == 3)) return classifyFour(bitmap(), box);
      return kInvalid;
    case 5:
      if (s == 1 && l == 5) return kStraightFive;
      if (s == 2 && l == 3) return oneOf(bitmap(), {"X./XX/XX", "XX/XX/X.", "XX/XX/.X", ".X/XX/XX"}) ? kBulkyFive : kOther;
      if (s == 2 && l == 4)
        return oneOf(bitmap(), {"X./X./X./XX", "XX/X./X./X.", "XX/.X/.X/.X", ".X/.X/.X/XX"}) ? kLFive : kOther;
      if (s == 3 && l == 3) return bitmap() == maskOf(".X./XXX/.X.") ? kCrossFive : kOther;
      return kInvalid;
    default:  // 6
      if (s == 1 && l == 6) return kStraightSix;
      if (s == 2 && l == 3) return kRectangleSix;
      if (s == 3 && l == 3)
        return oneOf(bitmap(), {"XX./XXX/.X.", ".X./XXX/XX.", ".X./XXX/.XX", ".XX/XXX/.X."}) ? kRabbitSix : kOther;
      return kInvalid;
  }
}

}  // namespace mh
