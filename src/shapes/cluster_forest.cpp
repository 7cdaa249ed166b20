#include "shapes/cluster_forest.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <numeric>

#include "shapes/diamond_rows.h"

namespace mh {

template <class F>
void ClusterForest::forEachRowInReach(Point point, F&& f) const {
  const int x = point % width_;
  const int y = point / width_;
  const int low = std::max(y - reach_, 0);
  const int high = std::min(y + reach_, height_ - 1);
  const std::uint64_t* spans = spans_.data() + x;
  for (int r = low; r <= high; ++r) f(r, spans[static_cast<size_t>((r - y + reach_) * width_)]);
}

bool ClusterForest::rebuild(const Board& board, int distance) {
  stones_.fill(0);
  width_ = height_ = distance_ = 0;
  if (!fits(board) || distance <= 0) return false;
  width_ = board.width();
  height_ = board.height();
  distance_ = distance;
  // No two points of the board are farther apart than this, so a longer distance reaches as far.
  const int reach = std::min(distance_, width_ + height_ - 2);
  if (reach != reach_ || width_ != spansWidth_ || spans_.empty()) {
    reach_ = reach;
    spansWidth_ = width_;
    spans_.resize(static_cast<size_t>((2 * reach_ + 1) * width_));
    for (int x = 0; x < width_; ++x)
      forEachDiamondRow(x, reach_, reach_, width_, 2 * reach_ + 1,
                        [&](int row, std::uint64_t span) { spans_[static_cast<size_t>(row * width_ + x)] = span; });
  }
  const auto cells = static_cast<size_t>(width_ * height_);
  parent_.resize(cells);
  std::iota(parent_.begin(), parent_.end(), 0);
  size_.assign(cells, 1);
  ring_.resize(cells);
  std::iota(ring_.begin(), ring_.end(), 0);
  const std::uint8_t* c = board.cells().data();
  for (Point p = 0; p < static_cast<Point>(cells); ++p)
    if (c[p] == Black || c[p] == White) stones_[static_cast<size_t>(p / width_)] |= std::uint64_t{1} << (p % width_);
  std::array<std::uint64_t, kMaxSide> left = stones_;
  gather(left);
  return true;
}

void ClusterForest::gather(std::array<std::uint64_t, kMaxSide>& left) {
  // Each cluster is gathered whole by a walk over the row masks, every stone taken once, and
  // linked flat to its first stone: adding the stones one by one would look up the roots of
  // every stone in reach of each. The walk goes a row at a time: the stones a row gained since
  // it was last widened, widened by the reach left at each row offset, take in every stone in
  // reach of any of them at once, where a walk stone by stone would look at each stone's rows.
  thread_local std::vector<Point> cluster;
  std::array<std::uint64_t, kMaxSide> fresh{};  // by row: stones found, not yet widened
  // widened[k]: the fresh stones of a row widened by k columns each way (reach_ < 2 * kMaxSide).
  std::array<std::uint64_t, 2 * kMaxSide> widened{};
  for (int r = 0; r < height_; ++r) {
    while (left[static_cast<size_t>(r)] != 0) {
      const Point root = r * width_ + std::countr_zero(left[static_cast<size_t>(r)]);
      fresh[static_cast<size_t>(r)] = left[static_cast<size_t>(r)] & -left[static_cast<size_t>(r)];
      left[static_cast<size_t>(r)] &= left[static_cast<size_t>(r)] - 1;
      cluster.clear();
      cluster.push_back(root);
      int low = r;  // rows low..high may hold fresh stones
      int high = r;
      for (bool grew = true; grew;) {
        grew = false;
        for (int row = low; row <= high; ++row) {
          const std::uint64_t m = fresh[static_cast<size_t>(row)];
          if (m == 0) continue;
          fresh[static_cast<size_t>(row)] = 0;
          widened[0] = m;
          for (int k = 1; k <= reach_; ++k) {
            const std::uint64_t w = widened[static_cast<size_t>(k - 1)];
            widened[static_cast<size_t>(k)] = w | (w << 1) | (w >> 1);
          }
          const int from = std::max(row - reach_, 0);
          const int to = std::min(row + reach_, height_ - 1);
          for (int other = from; other <= to; ++other) {
            std::uint64_t& open = left[static_cast<size_t>(other)];
            const std::uint64_t found = open & widened[static_cast<size_t>(reach_ - std::abs(other - row))];
            if (found == 0) continue;
            open &= ~found;
            fresh[static_cast<size_t>(other)] |= found;
            for (std::uint64_t f = found; f != 0; f &= f - 1) cluster.push_back(other * width_ + std::countr_zero(f));
            low = std::min(low, other);
            high = std::max(high, other);
            grew = true;
          }
        }
      }
      for (size_t i = 0; i < cluster.size(); ++i) {
        parent_[static_cast<size_t>(cluster[i])] = root;
        ring_[static_cast<size_t>(cluster[i])] = cluster[i + 1 < cluster.size() ? i + 1 : 0];
      }
      size_[static_cast<size_t>(root)] = static_cast<std::int32_t>(cluster.size());
    }
  }
}

void ClusterForest::removeStones(const Board& board, std::span<const Point> gone) {
  // Only the clusters that held a removed stone can fall apart: no stone of another one is in
  // reach of theirs. Their remaining stones are gathered again; every other cluster stays.
  thread_local std::vector<Point> roots;
  roots.clear();
  for (const Point p : gone) {
    const Point root = rootOf(p);
    if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
  }
  std::array<std::uint64_t, kMaxSide> left{};
  const std::uint8_t* c = board.cells().data();
  for (const Point root : roots) {
    Point p = root;
    do {
      const std::uint64_t bit = std::uint64_t{1} << (p % width_);
      if (c[p] == Black || c[p] == White) left[static_cast<size_t>(p / width_)] |= bit;
      else stones_[static_cast<size_t>(p / width_)] &= ~bit;
      p = ring_[static_cast<size_t>(p)];
    } while (p != root);
  }
  gather(left);
}

Point ClusterForest::rootOf(Point point) {
  Point root = point;
  while (parent_[static_cast<size_t>(root)] != root) root = parent_[static_cast<size_t>(root)];
  while (parent_[static_cast<size_t>(point)] != root) {
    const Point next = parent_[static_cast<size_t>(point)];
    parent_[static_cast<size_t>(point)] = root;
    point = next;
  }
  return root;
}

int ClusterForest::rootsNear(Point point, std::vector<Point>& out) {
  out.clear();
  // Stones in reach mostly belong to the cluster of the stone looked at just before, and mostly
  // hang straight under its root (a gather links every member to the root): those are settled
  // by one look at their parent, without a walk or a search of out.
  Point last = kNoPoint;
  forEachRowInReach(point, [&](int r, std::uint64_t span) {
    for (std::uint64_t found = stones_[static_cast<size_t>(r)] & span; found != 0; found &= found - 1) {
      const Point stone = r * width_ + std::countr_zero(found);
      const Point parent = parent_[static_cast<size_t>(stone)];
      if (parent == last) continue;
      const Point root = parent_[static_cast<size_t>(parent)] == parent ? parent : rootOf(stone);
      if (root == last) continue;
      last = root;
      if (std::find(out.begin(), out.end(), root) == out.end()) out.push_back(root);
    }
  });
  return static_cast<int>(out.size());
}

void ClusterForest::join(Point a, Point b) {
  a = rootOf(a);
  b = rootOf(b);
  if (a == b) return;
  if (size_[static_cast<size_t>(a)] < size_[static_cast<size_t>(b)]) std::swap(a, b);
  parent_[static_cast<size_t>(b)] = a;
  size_[static_cast<size_t>(a)] += size_[static_cast<size_t>(b)];
  // Swapping the successors of one member of each circle splices the two circles into one.
  std::swap(ring_[static_cast<size_t>(a)], ring_[static_cast<size_t>(b)]);
}

void ClusterForest::add(Point point) {
  thread_local std::vector<Point> near;
  rootsNear(point, near);
  add(point, near);
}

void ClusterForest::add(Point point, const std::vector<Point>& near) {
  const auto at = static_cast<size_t>(point);
  parent_[at] = point;
  size_[at] = 1;
  ring_[at] = point;
  stones_[static_cast<size_t>(point / width_)] |= std::uint64_t{1} << (point % width_);
  for (Point root : near) join(point, root);
}

void ClusterForest::membersOf(Point root, PointList& out) const {
  out.clear();
  Point p = root;
  do {
    out.push_back(p);
    p = ring_[static_cast<size_t>(p)];
  } while (p != root);
}

}  // namespace mh
