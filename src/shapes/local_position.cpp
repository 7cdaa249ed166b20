#include "shapes/local_position.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>

#include "shapes/diamond_rows.h"

namespace mh {

namespace {

// Depth-first walk over the stones within `distance` of each reached stone. Marks are set when a
// point is pushed, so each stone is visited once; the reached set is the same as for any order.
// With maxStones > 0 the walk stops once it has taken more than maxStones stones.
void collectCluster(const Board& board, Point start, int distance, std::vector<std::uint8_t>& marks,
                    PointList& black, PointList& white, int maxStones = 0) {
  const int w = board.width();
  const int h = board.height();
  const std::uint8_t* cells = board.cells().data();
  PointList stack{start};
  marks[static_cast<size_t>(start)] = 1;
  size_t taken = 0;
  while (!stack.empty()) {
    if (maxStones > 0 && taken > static_cast<size_t>(maxStones)) break;
    const Point p = stack.back();
    stack.pop_back();
    ++taken;
    (cells[p] == Black ? black : white).push_back(p);
    const int x = p % w;
    const int y = p / w;
    // Offsets are clipped to the board so a large distance costs no more than the board.
    const int dxLow = std::max(-distance, -x);
    const int dxHigh = std::min(distance, w - 1 - x);
    for (int dx = dxLow; dx <= dxHigh; ++dx) {
      const int reach = distance - std::abs(dx);
      const int dyLow = std::max(-reach, -y);
      const int dyHigh = std::min(reach, h - 1 - y);
      for (int dy = dyLow; dy <= dyHigh; ++dy) {
        const Point q = (x + dx) + w * (y + dy);
        const int v = cells[q];
        if ((v == Black || v == White) && !marks[static_cast<size_t>(q)]) {
          marks[static_cast<size_t>(q)] = 1;
          stack.push_back(q);
        }
      }
    }
  }
  std::sort(black.begin(), black.end());
  std::sort(white.begin(), white.end());
}

// The same walk on boards at most 64 points wide and high, with the stones and the marks held as
// one 64-bit mask per row: each reached stone finds its unmarked neighbours a row at a time
// instead of point by point. Reaches the same set of stones as collectCluster.
constexpr int kMaskSide = 64;

struct RowMasks {
  std::array<std::uint64_t, kMaskSide> stones{};
  std::array<std::uint64_t, kMaskSide> marked{};

  explicit RowMasks(const Board& board) {
    const int w = board.width();
    const std::uint8_t* cells = board.cells().data();
    for (int y = 0; y < board.height(); ++y) {
      std::uint64_t row = 0;
      for (int x = 0; x < w; ++x) {
        const int v = cells[y * w + x];
        if (v == Black || v == White) row |= std::uint64_t{1} << x;
      }
      stones[static_cast<size_t>(y)] = row;
    }
  }
};

bool fitsMasks(const Board& board) {
  return board.width() > 0 && board.width() <= kMaskSide && board.height() > 0 && board.height() <= kMaskSide;
}

void collectClusterByRows(const Board& board, Point start, int distance, RowMasks& masks, PointList& black,
                          PointList& white, int maxStones = 0) {
  const int w = board.width();
  const int h = board.height();
  const std::uint8_t* cells = board.cells().data();
  std::array<Point, kMaskSide * kMaskSide> stack;
  size_t top = 0;
  stack[top++] = start;
  masks.marked[static_cast<size_t>(start / w)] |= std::uint64_t{1} << (start % w);
  size_t taken = 0;
  while (top > 0) {
    if (maxStones > 0 && taken > static_cast<size_t>(maxStones)) break;
    const Point p = stack[--top];
    ++taken;
    (cells[p] == Black ? black : white).push_back(p);
    const int x = p % w;
    const int y = p / w;
    forEachDiamondRow(x, y, distance, w, h, [&](int r, std::uint64_t span) {
      const auto row = static_cast<size_t>(r);
      std::uint64_t found = masks.stones[row] & ~masks.marked[row] & span;
      masks.marked[row] |= found;
      for (; found != 0; found &= found - 1) stack[top++] = r * w + std::countr_zero(found);
    });
  }
  std::sort(black.begin(), black.end());
  std::sort(white.begin(), white.end());
}

void resetTo(const Board& board, int distance, LocalPosition& out) {
  out.width = board.width();
  out.height = board.height();
  out.distance = distance;
  out.blackStones.clear();
  out.whiteStones.clear();
}

}  // namespace

void LocalPosition::allStones(PointList& out) const {
  out.clear();
  out.reserve(blackStones.size() + whiteStones.size());
  out.insert(out.end(), blackStones.begin(), blackStones.end());
  out.insert(out.end(), whiteStones.begin(), whiteStones.end());
}

const PointList& LocalPosition::stonesOf(int colour) const {
  return colour == Black ? blackStones : whiteStones;
}

bool LocalPosition::hasSingleStone(int colour) const {
  return stonesOf(colour).size() == 1;
}

bool clusterAt(const Board& board, Point point, int distance, LocalPosition& out, int maxStones) {
  resetTo(board, distance, out);
  const int v = board.get(point);
  if (distance <= 0 || (v != Black && v != White) || board.width() <= 0) return false;
  if (fitsMasks(board)) {
    RowMasks masks(board);
    collectClusterByRows(board, point, distance, masks, out.blackStones, out.whiteStones, maxStones);
    return true;
  }
  std::vector<std::uint8_t> marks(board.cells().size(), 0);
  collectCluster(board, point, distance, marks, out.blackStones, out.whiteStones, maxStones);
  return true;
}

int clusters(const Board& board, int distance, LocalPositionList& out) {
  out.clear();
  if (distance <= 0 || !board.usable()) return 0;
  // One set of marks for the whole cut: a stone taken by an earlier cluster is never reached
  // again, exactly as if it had been cleared from a copy of the board.
  const auto& cells = board.cells();
  if (fitsMasks(board)) {
    RowMasks masks(board);
    const int w = board.width();
    for (size_t i = 0; i < cells.size(); ++i) {
      if ((cells[i] != Black && cells[i] != White) ||
          (masks.marked[i / static_cast<size_t>(w)] >> (i % static_cast<size_t>(w)) & 1) != 0)
        continue;
      LocalPosition& lp = out.emplace_back();
      resetTo(board, distance, lp);
      collectClusterByRows(board, static_cast<Point>(i), distance, masks, lp.blackStones, lp.whiteStones);
    }
    return static_cast<int>(out.size());
  }
  std::vector<std::uint8_t> marks(board.cells().size(), 0);
  for (size_t i = 0; i < cells.size(); ++i) {
    if ((cells[i] != Black && cells[i] != White) || marks[i]) continue;
    LocalPosition& lp = out.emplace_back();
    resetTo(board, distance, lp);
    collectCluster(board, static_cast<Point>(i), distance, marks, lp.blackStones, lp.whiteStones);
  }
  return static_cast<int>(out.size());
}

void localPositionFrom(const Board& board, const PointList& points, LocalPosition& out) {
  resetTo(board, 5, out);
  for (Point p : points) {
    const int v = board.get(p);
    if (v == Black) out.blackStones.push_back(p);
    else if (v == White) out.whiteStones.push_back(p);
  }
}

bool boardOf(const LocalPosition& position, Board& out) {
  if (!out.resize(position.width, position.height)) return false;
  out.setPoints(position.blackStones, Black);
  out.setPoints(position.whiteStones, White);
  return true;
}

}  // namespace mh
