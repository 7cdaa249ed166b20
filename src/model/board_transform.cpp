#include "model/board_transform.h"

#include <algorithm>
#include <array>
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

namespace {

constexpr int kSide19 = 19;
using TurnTable = std::array<std::array<Point, kSide19 * kSide19>, 7>;

const TurnTable& turns19() {
  static const TurnTable table = [] {
    TurnTable t{};
    for (int kind = 0; kind < 7; ++kind) {
      const BoardTransform bt(kind, kSide19, kSide19);
      for (Point p = 0; p < kSide19 * kSide19; ++p)
        t[static_cast<size_t>(kind)][static_cast<size_t>(p)] = bt.mapPoint(p);
    }
    return t;
  }();
  return table;
}

bool strictlyAscending(PointList::const_iterator first, PointList::const_iterator last) {
  return std::adjacent_find(first, last, [](Point a, Point b) { return a >= b; }) == last;
}

bool wellFormed(const BoardSnapshot& s) {
  const auto blacks = static_cast<std::ptrdiff_t>(s.blackCount);
  return s.blackCount >= 0 && s.whiteCount >= 0 &&
         static_cast<std::int64_t>(s.blackCount) + s.whiteCount == static_cast<std::int64_t>(s.points.size()) &&
         strictlyAscending(s.points.begin(), s.points.begin() + blacks) &&
         strictlyAscending(s.points.begin() + blacks, s.points.end());
}

// Maps a well-formed snapshot point by point; false when a point leaves the board or the turned
// lists share a point (then the board's rule, white written last, must decide).
bool turnPointwise(const BoardTransform& t, int kind, const BoardSnapshot& in, BoardSnapshot& out) {
  out.width = in.width;
  out.height = in.height;
  out.blackCount = in.blackCount;
  out.whiteCount = in.whiteCount;
  out.points.resize(in.points.size());
  const Point* table = turnTable19(kind, in.width, in.height);
  const std::int64_t area = static_cast<std::int64_t>(in.width) * in.height;
  for (size_t i = 0; i < in.points.size(); ++i) {
    const Point p = in.points[i];
    out.points[i] = table != nullptr ? (p >= 0 && p < kSide19 * kSide19 ? table[p] : kNoPoint) : t.mapPoint(p);
    if (out.points[i] < 0 || static_cast<std::int64_t>(out.points[i]) >= area) return false;
  }
  const auto mid = out.points.begin() + static_cast<std::ptrdiff_t>(in.blackCount);
  std::sort(out.points.begin(), mid);
  std::sort(mid, out.points.end());
  return !std::any_of(out.points.begin(), mid, [&](Point p) { return std::binary_search(mid, out.points.end(), p); });
}

}  // namespace

const Point* turnTable19(int kind, int width, int height) {
  if (width != kSide19 || height != kSide19 || kind < 0 || kind >= 7) return nullptr;
  return turns19()[static_cast<size_t>(kind)].data();
}

bool turnsThroughTable19(const BoardSnapshot& s) {
  if (s.width != kSide19 || s.height != kSide19 || !wellFormed(s)) return false;
  const auto mid = s.points.begin() + static_cast<std::ptrdiff_t>(s.blackCount);
  if (!std::all_of(s.points.begin(), s.points.end(), [](Point p) { return p >= 0 && p < kSide19 * kSide19; }))
    return false;
  // Both lists ascend, so one walk finds a point in both (which a turn sends to a board instead).
  for (auto b = s.points.begin(), w = mid; b != mid && w != s.points.end();) {
    if (*b == *w) return false;
    if (*b < *w) ++b;
    else ++w;
  }
  return true;
}

bool turnSnapshot(int kind, const BoardSnapshot& in, BoardSnapshot& out) {
  const BoardTransform forward(kind, in.width, in.height);
  if (wellFormed(in) && turnPointwise(forward, kind, in, out)) return true;
  return forward.mapSnapshot(in, out);
}

}  // namespace mh
