#include "room/board_geometry.h"

#include <algorithm>
#include <vector>

namespace mh {

BoardGeometry::BoardGeometry(int viewWidth, int viewHeight, int columns, int rows)
    : columns_(std::max(columns, 1)), rows_(std::max(rows, 1)) {
  // One cell of margin on each side leaves room for the stones on the edge and the coordinates.
  const int byWidth = viewWidth / (columns_ + 1);
  const int byHeight = viewHeight / (rows_ + 1);
  cell_ = std::max(2, std::min(byWidth, byHeight));
  originX_ = (viewWidth - (columns_ - 1) * cell_) / 2;
  originY_ = (viewHeight - (rows_ - 1) * cell_) / 2;
}

bool BoardGeometry::pointAt(int px, int py, Coord& out) const {
  const int half = cell_ / 2;
  const int dx = px - originX_ + half, dy = py - originY_ + half;
  if (dx < 0 || dy < 0) return false;
  const int x = dx / cell_, y = dy / cell_;
  if (x >= columns_ || y >= rows_) return false;
  out = {x, y};
  return true;
}

CoordList BoardGeometry::starPoints(int columns, int rows) {
  CoordList stars;
  if (columns < 7 || rows < 7) return stars;
  const bool large = columns >= 13 && rows >= 13;
  const int ex = columns >= 13 ? 3 : 2, ey = rows >= 13 ? 3 : 2;
  std::vector<int> xs{ex, columns - 1 - ex}, ys{ey, rows - 1 - ey};
  // Side stars only on large odd boards; smaller boards get the four corners and the centre.
  if (large && columns % 2 == 1) xs.insert(xs.begin() + 1, columns / 2);
  if (large && rows % 2 == 1) ys.insert(ys.begin() + 1, rows / 2);
  for (int y : ys)
    for (int x : xs) stars.push_back({x, y});
  if (!large && columns % 2 == 1 && rows % 2 == 1) stars.push_back({columns / 2, rows / 2});
  return stars;
}

}  // namespace mh
