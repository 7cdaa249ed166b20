#include "room/board_geometry.h"

#include <algorithm>

namespace mh {

namespace {

// The extra room and line count one side needs, and where its first line lies.
struct Axis {
  int first = 0;
  int last = 0;
};

Axis layoutAxis(int start, int available, double lines, int cell, int extra, int count, double firstLineAt) {
  const int offset = start + (available - static_cast<int>(cell * lines) - extra) / 2;
  Axis axis;
  axis.first = static_cast<int>(offset + cell * firstLineAt);
  axis.last = axis.first + (count - 1) * cell;
  return axis;
}

}  // namespace

BoardGeometry BoardGeometry::layout(int width, int height, int columns, int rows, Frame frame) {
  BoardGeometry g;
  g.columns_ = std::max(columns, 1);
  g.rows_ = std::max(rows, 1);
  g.frame_ = frame;
  if (width <= 9 || height <= 9) return g;

  // Two pixels of border; the wooden frame's shadow and the coordinates need a few more.
  const int left = 2, top = 2;
  const int extra = (frame.wooden ? 3 : 0) + (frame.coordinates ? 2 : 0);
  const int availableX = width - 4 - extra;
  const int availableY = height - 4 - extra;
  const double margin = (frame.wooden ? 0.6 : 0.0) + (frame.coordinates ? 0.3 : 0.0);
  const double linesX = g.columns_ + margin;
  const double linesY = g.rows_ + margin;
  const int cell = static_cast<int>(std::min(availableX / linesX, availableY / linesY));
  if (cell <= 0) return g;

  const double firstLineAt = frame.wooden ? 0.8 : 0.5;
  const Axis x = layoutAxis(left, availableX, linesX, cell, extra, g.columns_, firstLineAt);
  const Axis y = layoutAxis(top, availableY, linesY, cell, extra, g.rows_, firstLineAt);
  g.cell_ = cell;
  g.x0_ = x.first;
  g.xLast_ = x.last;
  g.y0_ = y.first;
  g.yLast_ = y.last;
  return g;
}

std::optional<PixelRect> BoardGeometry::pointRect(Point p) const {
  if (p < 0) return std::nullopt;
  const int column = p % columns_;
  const int row = p / columns_;
  if (row >= rows_) return std::nullopt;
  const int cx = centreX(column), cy = centreY(row), half = cell_ / 2;
  return PixelRect{cx - half, cy - half, cx + half, cy + half};
}

Point BoardGeometry::pointAt(int x, int y) const {
  if (cell_ <= 0) return kNoPoint;
  const int column = (cell_ / 2 + x - x0_) / cell_;
  const int row = (cell_ / 2 + y - y0_) / cell_;
  if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return kNoPoint;
  return row * columns_ + column;
}

int BoardGeometry::woodMargin() const { return static_cast<int>(cell_ * 0.8); }

PointList starPoints(int columns, int rows) {
  PointList stars;
  if (columns != 19 || rows != 19) return stars;
  for (int row : {3, 9, 15})
    for (int column : {3, 9, 15}) stars.push_back(row * columns + column);
  return stars;
}

}  // namespace mh
