#include "model/board_transform.h"

#include <cstdint>
#include <limits>
#include <utility>

namespace mh {

void BoardTransform::select(int kind) {
  flipX = flipY = swapXY = inverse = 0;
  switch (kind) {
    case 0: flipX = 1; break;
    case 1: flipY = 1; break;
    case 2: swapXY = 1; break;
    case 3: flipX = flipY = 1; break;
    case 4: flipX = swapXY = 1; break;
    case 5: flipY = swapXY = 1; break;
    case 6: flipX = flipY = swapXY = 1; break;
    default: break;
  }
}

std::optional<Coord> BoardTransform::map(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return std::nullopt;
  if (!inverse) {
    if (flipX) x = width - 1 - x;
    if (flipY) y = height - 1 - y;
    if (swapXY) std::swap(x, y);
  } else {
    if (swapXY) std::swap(x, y);
    if (flipY) y = height - 1 - y;
    if (flipX) x = width - 1 - x;
  }
  return Coord{x, y};
}

Point BoardTransform::mapPoint(Point p) const {
  if (width <= 0 || height <= 0 || p < 0) return kNoPoint;
  const auto c = map(p % width, p / width);
  // An image off the board (a swap on a board that is not square) has no point: encoding it
  // would alias another point.
  if (!c || c->x < 0 || c->y < 0 || c->x >= width || c->y >= height) return kNoPoint;
  // A size read from a file can be too large for every image to be a Point.
  const std::int64_t q = c->x + std::int64_t{width} * c->y;
  return q <= std::numeric_limits<Point>::max() ? static_cast<Point>(q) : kNoPoint;
}

bool BoardTransform::mapBoard(const Board& source, Board& target) const {
  if (!source.usable() || source.width() != width || source.height() != height) return false;
  Board result(width, height);
  const auto& cells = source.cells();
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i] == Empty) continue;
    const Point q = mapPoint(static_cast<Point>(i));
    if (!result.set(q, cells[i])) return false;
  }
  target = std::move(result);
  return true;
}

bool BoardTransform::mapList(PointList& list) const {
  PointList mapped;
  mapped.reserve(list.size());
  for (Point p : list) {
    const Point q = mapPoint(p);
    if (q == kNoPoint) return false;
    mapped.push_back(q);
  }
  list = std::move(mapped);
  return true;
}

bool BoardTransform::mapCoordList(CoordList& list) const {
  CoordList mapped;
  mapped.reserve(list.size());
  for (const Coord& c : list) {
    const auto m = map(c.x, c.y);
    if (!m) return false;
    mapped.push_back(*m);
  }
  list = std::move(mapped);
  return true;
}

bool BoardTransform::mapSnapshot(const BoardSnapshot& item, BoardSnapshot& out) const {
  Board board;
  board.restore(item);
  if (!mapBoard(board, board)) return false;
  board.stoneLists(out);
  return true;
}

}  // namespace mh
