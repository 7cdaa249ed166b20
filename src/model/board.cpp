#include "model/board.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <new>

#include "model/board_snapshot.h"

namespace mh {

namespace {

// Largest cell count a board may allocate: far above any real board (SGF allows 52 x 52), low
// enough that a hostile size cannot ask for gigabytes.
constexpr std::int64_t kMaxCells = std::int64_t{1} << 24;

void sortUnique(PointList& list) {
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
}

}  // namespace

Board::Board() : cells_(19 * 19, Empty) {}

Board::Board(int width, int height) {
  (void)resize(width, height);
}

bool Board::resize(int width, int height) {
  cells_.clear();
  cells_.shrink_to_fit();
  width_ = width;
  height_ = height;
  const std::int64_t count = static_cast<std::int64_t>(width) * height;
  if (count <= 0) return true;
  if (count > kMaxCells) return false;
  try {
    cells_.assign(static_cast<size_t>(count), Empty);
  } catch (const std::bad_alloc&) {
    cells_.clear();
    return false;
  }
  return true;
}

void Board::clear() {
  std::fill(cells_.begin(), cells_.end(), Empty);
}

bool Board::set(Point p, int value) {
  if (!isValid(p)) return false;
  cells_[static_cast<size_t>(p)] = static_cast<std::uint8_t>(value);
  return true;
}

Point Board::point(int x, int y) const {
  if (x < 0 || x >= width_ || y < 0) return kNoPoint;
  const std::int64_t p = static_cast<std::int64_t>(x) + static_cast<std::int64_t>(width_) * y;
  if (p > std::numeric_limits<Point>::max()) return kNoPoint;
  return static_cast<Point>(p);
}

bool Board::coordinates(Point p, int& x, int& y) const {
  if (!isValid(p)) return false;
  x = p % width_;
  y = p / width_;
  return true;
}

int Board::pointsOfValue(int value, PointList& out) const {
  out.clear();
  if (!usable()) return 0;
  for (size_t i = 0; i < cells_.size(); ++i)
    if (cells_[i] == value) out.push_back(static_cast<Point>(i));
  return static_cast<int>(out.size());
}

Point Board::firstStone() const {
  for (size_t i = 0; i < cells_.size(); ++i)
    if (cells_[i] == Black || cells_[i] == White) return static_cast<Point>(i);
  return kNoPoint;
}

bool Board::isEmpty() const {
  if (!usable()) return false;
  return firstStone() == kNoPoint;
}

int Board::capturedSince(const Board& earlier, PointList& out) const {
  out.clear();
  if (width_ != earlier.width_ || height_ != earlier.height_ || cells_.empty() ||
      earlier.cells_.empty() || cells_.size() != earlier.cells_.size())
    return 0;
  for (size_t i = 0; i < cells_.size(); ++i) {
    const int before = earlier.cells_[i];
    if ((before == Black || before == White) && cells_[i] == Empty) out.push_back(static_cast<Point>(i));
  }
  return static_cast<int>(out.size());
}

namespace {

static_assert(std::endian::native == std::endian::little, "cells are read eight at a time, the first lowest");

// The top bit of each byte of word that equals value, and no other bit; exact for every byte.
std::uint64_t bytesEqual(std::uint64_t word, std::uint8_t value) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  const std::uint64_t x = word ^ (0x0101010101010101ULL * value);
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// Writes the points of the cells holding value, ascending, from out on; returns the end.
Point* pointsHolding(const std::vector<std::uint8_t>& cells, std::uint8_t value, Point* out) {
  const size_t n = cells.size();
  size_t i = 0;
  // Eight cells at a time: most of a board is empty, and a stone costs one step of its own.
  for (; i + 8 <= n; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, cells.data() + i, sizeof word);
    for (std::uint64_t found = bytesEqual(word, value); found != 0; found &= found - 1)
      *out++ = static_cast<Point>(i + static_cast<size_t>(std::countr_zero(found) >> 3));
  }
  for (; i < n; ++i)
    if (cells[i] == value) *out++ = static_cast<Point>(i);
  return out;
}

}  // namespace

void Board::stoneLists(BoardSnapshot& out) const {
  out.width = width_;
  out.height = height_;
  out.points.resize(cells_.size());
  Point* const first = out.points.data();
  Point* const blacksEnd = pointsHolding(cells_, Black, first);
  Point* const end = pointsHolding(cells_, White, blacksEnd);
  out.points.resize(static_cast<size_t>(end - first));
  out.blackCount = static_cast<std::int32_t>(blacksEnd - first);
  out.whiteCount = static_cast<std::int32_t>(end - blacksEnd);
}

BoardSnapshot Board::snapshot() const {
  BoardSnapshot s;
  stoneLists(s);
  return s;
}

void Board::restore(const BoardSnapshot& snapshot) {
  if (!resize(snapshot.width, snapshot.height)) return;
  const std::int64_t blacks = std::max<std::int64_t>(snapshot.blackCount, 0);
  for (size_t i = 0; i < snapshot.points.size(); ++i)
    set(snapshot.points[i], static_cast<std::int64_t>(i) < blacks ? Black : White);
}

void Board::setPoints(const PointList& points, int colour) {
  for (Point p : points) set(p, colour);
}

Point Board::up(Point p) const {
  if (!isValid(p) || p < width_) return kNoPoint;
  return p - width_;
}

Point Board::down(Point p) const {
  if (!isValid(p)) return kNoPoint;
  const Point q = p + width_;
  return isValid(q) ? q : kNoPoint;
}

Point Board::left(Point p) const {
  if (!isValid(p) || p % width_ == 0) return kNoPoint;
  return p - 1;
}

Point Board::right(Point p) const {
  if (!isValid(p) || p % width_ == width_ - 1) return kNoPoint;
  return p + 1;
}

void Board::allNeighbours(Point p, PointList& out) const {
  out.clear();
  for (Point q : {up(p), right(p), down(p), left(p)})
    if (q != kNoPoint) out.push_back(q);
}

void Board::neighboursOfValue(Point p, int value, PointList& out) const {
  out.clear();
  for (Point q : {up(p), right(p), down(p), left(p)})
    if (q != kNoPoint && cells_[static_cast<size_t>(q)] == value) out.push_back(q);
}

void Board::diagonalNeighbours(Point p, PointList& out) const {
  out.clear();
  int x = 0, y = 0;
  if (!coordinates(p, x, y)) return;
  const int steps[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  for (const auto& s : steps) {
    const int nx = x + s[0], ny = y + s[1];
    if (nx >= 0 && nx < width_ && ny >= 0 && ny < height_) out.push_back(nx + width_ * ny);
  }
}

void Board::diagonalNeighboursOfValue(Point p, int value, PointList& out) const {
  diagonalNeighbours(p, out);
  std::erase_if(out, [&](Point q) { return cells_[static_cast<size_t>(q)] != value; });
}

bool Board::adjacent(Point p, Point q) const {
  if (!isValid(p) || !isValid(q)) return false;
  return q == up(p) || q == right(p) || q == down(p) || q == left(p);
}

int Board::edgeLine(Point p) const {
  int x = 0, y = 0;
  if (!coordinates(p, x, y)) return -1;
  const int dx = std::min(x + 1, width_ - x), dy = std::min(y + 1, height_ - y);
  return std::min(dx, dy);
}

int Board::outerLine(Point p) const {
  int x = 0, y = 0;
  if (!coordinates(p, x, y)) return -1;
  const int dx = std::min(x + 1, width_ - x), dy = std::min(y + 1, height_ - y);
  return std::max(dx, dy);
}

void Board::outline(const PointList& set, PointList& out) const {
  out.clear();
  if (!usable()) return;
  // 1 marks a member of the set, 2 a point already listed.
  std::vector<std::uint8_t> mark(cells_.size(), 0);
  for (Point p : set)
    if (isValid(p)) mark[static_cast<size_t>(p)] = 1;
  for (Point p : set) {
    if (!isValid(p)) continue;
    for (Point q : {up(p), right(p), down(p), left(p)}) {
      if (q == kNoPoint || mark[static_cast<size_t>(q)] != 0) continue;
      mark[static_cast<size_t>(q)] = 2;
      out.push_back(q);
    }
  }
}

int Board::borderStones(const PointList& set, PointList& black, PointList& white) const {
  black.clear();
  white.clear();
  for (Point p : set) {
    if (!isValid(p)) continue;
    for (Point q : {up(p), right(p), down(p), left(p)}) {
      if (q == kNoPoint) continue;
      const int v = cells_[static_cast<size_t>(q)];
      if (v == Black) black.push_back(q);
      else if (v == White) white.push_back(q);
    }
  }
  sortUnique(black);
  sortUnique(white);
  return static_cast<int>(black.size() + white.size());
}

void Board::collectGroup(Point start, Group& out) const {
  const int value = cells_[static_cast<size_t>(start)];
  out.colour = value;
  out.points.clear();
  // Boards are placed on millions of times in a build: the marks are kept between calls.
  thread_local std::vector<std::uint8_t> seen;
  seen.assign(cells_.size(), 0);
  PointList& queue = out.points;
  queue.push_back(start);
  seen[static_cast<size_t>(start)] = 1;
  for (size_t head = 0; head < queue.size(); ++head) {
    const Point p = queue[head];
    for (Point q : {up(p), left(p), down(p), right(p)}) {
      if (q == kNoPoint || seen[static_cast<size_t>(q)] || cells_[static_cast<size_t>(q)] != value) continue;
      seen[static_cast<size_t>(q)] = 1;
      queue.push_back(q);
    }
  }
  std::sort(queue.begin(), queue.end());
}

bool Board::groupAt(Point p, Group& out) const {
  out.clear();
  if (!usable()) return false;
  if (!isValid(p)) return true;
  collectGroup(p, out);
  return true;
}

bool Board::hasLibertyAt(const Group& group) const {
  for (Point p : group.points)
    for (Point q : {up(p), right(p), down(p), left(p)})
      if (q != kNoPoint && cells_[static_cast<size_t>(q)] == Empty) return true;
  return false;
}

bool Board::hasNoLiberty(const Group& group) const {
  if (!usable()) return true;
  if (!isStoneColour(group.colour)) return false;
  return !hasLibertyAt(group);
}

void Board::remove(const Group& group) {
  for (Point p : group.points) set(p, Empty);
}

int Board::liberties(const Group& group, PointList& out) const {
  out.clear();
  for (Point p : group.points) {
    if (!isValid(p)) continue;
    for (Point q : {up(p), right(p), down(p), left(p)})
      if (q != kNoPoint && cells_[static_cast<size_t>(q)] == Empty) out.push_back(q);
  }
  sortUnique(out);
  return static_cast<int>(out.size());
}

void Board::groupsOfValue(int value, GroupList& out) const {
  out.clear();
  if (!usable() || value < 0 || value > 3) return;
  auto selected = [&](int cell) { return value == 3 ? (cell == Black || cell == White) : cell == value; };
  std::vector<int> label(cells_.size(), -1);
  std::vector<PointList> members;
  std::vector<int> order;  // ids of the live groups, in list order
  for (size_t i = 0; i < cells_.size(); ++i) {
    const int cell = cells_[i];
    if (!selected(cell)) continue;
    const Point p = static_cast<Point>(i);
    const Point u = up(p), l = left(p);
    const int gu = (u != kNoPoint && cells_[static_cast<size_t>(u)] == cell) ? label[static_cast<size_t>(u)] : -1;
    const int gl = (l != kNoPoint && cells_[static_cast<size_t>(l)] == cell) ? label[static_cast<size_t>(l)] : -1;
    int g = gu;
    if (gu >= 0) {
      if (gl >= 0 && gl != gu) {
        for (Point q : members[static_cast<size_t>(gl)]) label[static_cast<size_t>(q)] = gu;
        auto& into = members[static_cast<size_t>(gu)];
        into.insert(into.end(), members[static_cast<size_t>(gl)].begin(), members[static_cast<size_t>(gl)].end());
        members[static_cast<size_t>(gl)].clear();
        std::erase(order, gl);
      }
    } else if (gl >= 0) {
      g = gl;
    } else {
      g = static_cast<int>(members.size());
      members.emplace_back();
      order.push_back(g);
    }
    label[i] = g;
    members[static_cast<size_t>(g)].push_back(p);
  }
  out.reserve(order.size());
  for (int g : order) {
    Group group;
    group.points = std::move(members[static_cast<size_t>(g)]);
    std::sort(group.points.begin(), group.points.end());
    group.colour = cells_[static_cast<size_t>(group.points.front())];
    out.push_back(std::move(group));
  }
}

bool Board::removeDead(int colour) {
  if (!isStoneColour(colour)) return false;
  GroupList groups;
  groupsOfValue(colour, groups);
  for (const Group& g : groups)
    if (hasNoLiberty(g)) remove(g);
  return true;
}

int Board::enclosedRegions(const PointList& stones, std::vector<PointList>& out) const {
  out.clear();
  if (!usable() || stones.empty()) return 0;
  const int a = get(stones.front());
  if (!isStoneColour(a)) return 0;
  PointList ring;
  outline(stones, ring);
  Board marker(width_, height_);
  marker.setPoints(ring, 1);
  GroupList components;
  marker.groupsOfValue(1, components);
  PointList around;
  for (const Group& c : components) {
    outline(c.points, around);
    if (around.empty()) continue;
    const bool enclosed = std::all_of(around.begin(), around.end(), [&](Point q) { return get(q) == a; });
    if (enclosed) out.push_back(c.points);
  }
  return static_cast<int>(out.size());
}

bool Board::isIllegal(int colour, Point p) const {
  if (!usable() || !isValid(p) || !isStoneColour(colour) || cells_[static_cast<size_t>(p)] != Empty) return true;
  for (Point q : {up(p), right(p), down(p), left(p)})
    if (q != kNoPoint && cells_[static_cast<size_t>(q)] == Empty) return false;
  Board copy(*this);
  copy.cells_[static_cast<size_t>(p)] = static_cast<std::uint8_t>(colour);
  Group own;
  copy.collectGroup(p, own);
  if (copy.hasLibertyAt(own)) return false;
  const int other = opponent(colour);
  Group g;
  for (Point q : {up(p), left(p), down(p), right(p)}) {
    if (q == kNoPoint || copy.cells_[static_cast<size_t>(q)] != other) continue;
    copy.collectGroup(q, g);
    if (!copy.hasLibertyAt(g)) copy.remove(g);
  }
  copy.collectGroup(p, own);
  return !copy.hasLibertyAt(own);
}

bool Board::play(int colour, Point p) {
  if (isIllegal(colour, p)) return false;
  return place(colour, p);
}

bool Board::place(int colour, Point p) {
  if (!isValid(p) || !isStoneColour(colour)) return false;
  cells_[static_cast<size_t>(p)] = static_cast<std::uint8_t>(colour);
  const int other = opponent(colour);
  Group g;
  const auto emptyNextTo = [&](Point q) {
    for (Point r : {up(q), right(q), down(q), left(q)})
      if (r != kNoPoint && cells_[static_cast<size_t>(r)] == Empty) return true;
    return false;
  };
  for (Point q : {up(p), right(p), down(p), left(p)}) {
    if (q == kNoPoint || cells_[static_cast<size_t>(q)] != other) continue;
    // Most groups next to a move keep a liberty beside the stone touched: no need to walk them.
    if (emptyNextTo(q)) continue;
    collectGroup(q, g);
    if (!hasLibertyAt(g)) remove(g);
  }
  return true;
}

int Board::libertiesAfter(int colour, Point p) const {
  if (isIllegal(colour, p)) return 0;
  Board copy(*this);
  copy.place(colour, p);
  Group g;
  copy.collectGroup(p, g);
  PointList libs;
  return copy.liberties(g, libs);
}

bool Board::isSelfAtari(int colour, Point p) const {
  if (isIllegal(colour, p)) return true;
  return libertiesAfter(colour, p) <= 1;
}

CoordList handicapCoords(int count) {
  switch (count) {
    case 3: return {{3, 3}, {9, 9}, {15, 15}};
    case 4: return {{3, 3}, {3, 15}, {15, 3}, {15, 15}};
    case 5: return {{3, 3}, {3, 15}, {9, 9}, {15, 3}, {15, 15}};
    case 6: return {{3, 3}, {3, 15}, {9, 3}, {9, 15}, {15, 3}, {15, 15}};
    case 7: return {{3, 3}, {3, 15}, {9, 3}, {9, 9}, {9, 15}, {15, 3}, {15, 15}};
    case 8: return {{3, 3}, {3, 9}, {3, 15}, {9, 3}, {9, 15}, {15, 3}, {15, 9}, {15, 15}};
    case 9: return {{3, 3}, {3, 9}, {3, 15}, {9, 3}, {9, 9}, {9, 15}, {15, 3}, {15, 9}, {15, 15}};
    default: return {{3, 3}, {15, 15}};
  }
}

void placeHandicap(int count, Board& board) {
  (void)board.resize(19, 19);
  for (const Coord& c : handicapCoords(count)) board.set(board.point(c.x, c.y), Black);
}

}  // namespace mh
