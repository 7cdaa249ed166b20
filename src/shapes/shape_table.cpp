#include "shapes/shape_table.h"

#include <algorithm>
#include <cstdlib>

namespace mh {

namespace {

// The relation code of (m, M), m = min(dx, dy), M = max(dx, dy); rows m = 0 and m = 1 for M = 1..10.
constexpr int kStraightCodes[10] = {0, 2, 4, 6, 10, 11, 12, 13, 14, 15};
constexpr int kOffsetCodes[10] = {1, 3, 5, 8, 21, 22, 23, 24, 25, 26};

// Pair ids by relation code (0..32) for two stones of the same colour and of opposite colours.
constexpr int kNone = -1;
constexpr int kSamePairs[33] = {0,     1,     2,     3,     4,     5,     6,     7,     8,     kNone, 29,
                                kNone, 18,    19,    kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
                                kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, 22,    25,    27};
constexpr int kOppositePairs[33] = {9,     11,    10,    12,    21,    13,    24,    20,    kNone, kNone, 16,
                                    17,    kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, 15,
                                    14,    kNone, kNone, kNone, kNone, kNone, kNone, kNone, 23,    26,    28};

struct ShapeRow {
  int id;
  int parent;
  bool ownAdded;
  int own;
  int opponent;
  std::vector<int> pairIds;
};

// The shapes of three stones and more: parent, added stone, its pair ids to the parent's
// stones, and the stones of each side that the whole shape holds.
const std::vector<ShapeRow>& shapeRows() {
  static const std::vector<ShapeRow> rows = {
    {30, 9, true, 2, 1, {1, 9}},
    {31, 2, false, 2, 1, {11, 11}},
    {32, 2, false, 2, 1, {9, 9}},
    {33, 3, false, 2, 1, {11, 9}},
    {34, 5, false, 2, 1, {12, 9}},
    {35, 9, true, 2, 1, {0, 11}},
    {36, 2, true, 3, 0, {0, 0}},
    {37, 0, true, 3, 0, {0, 1}},
    {38, 0, true, 3, 0, {1, 3}},
    {39, 2, true, 3, 0, {3, 3}},
    {40, 2, true, 3, 0, {5, 5}},
    {41, 0, true, 3, 0, {2, 3}},
    {42, 4, true, 3, 0, {1, 3}},
    {43, 6, false, 2, 1, {10, 10}},
    {44, 6, true, 3, 0, {3, 3}},
    {45, 2, true, 3, 0, {1, 1}},
    {46, 4, false, 2, 1, {9, 10}},
    {47, 4, false, 2, 1, {11, 12}},
    {48, 4, false, 2, 1, {9, 13}},
    {49, 8, false, 2, 1, {10, 14}},
    {50, 5, false, 2, 1, {10, 15}},
    {51, 10, true, 2, 1, {3, 9}},
    {52, 10, true, 2, 1, {4, 16}},
    {53, 10, true, 2, 1, {6, 17}},
    {54, 6, false, 2, 1, {11, 13}},
    {55, 6, false, 2, 1, {9, 21}},
    {56, 8, false, 2, 1, {9, 13}},
    {100, 30, false, 2, 2, {9, 1, 9}},
    {101, 36, true, 4, 0, {3, 3, 2}},
    {102, 36, false, 3, 1, {12, 12, 10}},
    {103, 45, true, 4, 0, {1, 1, 2}},
    {104, 30, true, 3, 1, {2, 9, 1}},
    {105, 45, false, 3, 1, {11, 11, 10}},
    {106, 46, true, 3, 1, {1, 3, 9}},
    {107, 43, true, 3, 1, {3, 3, 9}},
    {108, 31, true, 3, 1, {0, 0, 9}},
    {109, 31, true, 3, 1, {0, 3, 9}},
    {110, 31, false, 2, 2, {9, 9, 0}},
    {111, 30, false, 2, 2, {10, 0, 11}},
    {112, 33, true, 3, 1, {0, 1, 9}},
    {113, 33, false, 2, 2, {9, 11, 0}},
    {114, 34, true, 3, 1, {2, 1, 9}},
    {115, 34, false, 2, 2, {10, 11, 0}},
    {116, 35, false, 2, 2, {11, 0, 9}},
    {117, 47, true, 3, 1, {0, 2, 9}},
    {118, 52, false, 2, 2, {16, 18, 10}},
    {119, 53, false, 2, 2, {17, 19, 10}},
    {120, 49, true, 3, 1, {2, 8, 20}},
    {121, 38, true, 4, 0, {7, 3, 0}},
    {122, 30, false, 2, 2, {12, 1, 9}},
    {123, 45, true, 4, 0, {0, 3, 3}},
    {124, 54, true, 3, 1, {0, 4, 9}},
    {125, 36, true, 4, 0, {0, 2, 4}},
    {126, 36, true, 4, 0, {0, 1, 3}},
    {150, 121, false, 4, 1, {10, 9, 9, 10}},
    {151, 121, true, 5, 0, {2, 3, 3, 2}},
    {152, 100, true, 3, 2, {3, 11, 0, 10}},
    {153, 106, false, 3, 2, {10, 9, 0, 11}},
    {154, 107, false, 3, 2, {11, 13, 1, 9}},
    {155, 122, true, 3, 2, {7, 12, 1, 9}},
    {156, 123, true, 5, 0, {2, 3, 3, 0}},
    {157, 124, false, 3, 2, {13, 12, 11, 2}},
    {158, 111, true, 3, 2, {3, 0, 11, 9}},
    {159, 122, true, 3, 2, {2, 1, 9, 9}},
    {160, 110, true, 3, 2, {1, 1, 9, 10}},
    {161, 125, true, 5, 0, {0, 2, 4, 6}},
    {180, 150, false, 4, 2, {10, 12, 12, 10, 7}},
    {181, 156, true, 6, 0, {1, 1, 3, 3, 4}},
    {182, 152, false, 3, 3, {11, 10, 9, 3, 0}},
    {183, 152, true, 4, 2, {1, 2, 3, 12, 9}},
    {184, 152, true, 4, 2, {2, 3, 3, 11, 20}},
    {185, 153, true, 4, 2, {3, 1, 0, 9, 11}},
    {186, 154, true, 4, 2, {0, 1, 4, 9, 9}},
    {187, 150, false, 4, 2, {9, 11, 9, 11, 1}},
    {188, 157, true, 4, 2, {4, 2, 0, 9, 12}},
    {189, 159, false, 3, 3, {11, 11, 10, 0, 3}},
    {190, 158, false, 3, 3, {9, 1, 3, 12, 20}},
    {191, 161, true, 6, 0, {0, 2, 4, 6, 29}},
    {200, 187, true, 5, 2, {2, 3, 2, 3, 11, 20}},
    {201, 186, false, 4, 3, {13, 12, 9, 11, 2, 1}},
    {202, 188, false, 4, 3, {10, 10, 9, 9, 1, 1}},
    {203, 189, true, 4, 3, {3, 3, 0, 9, 10, 11}},
    {204, 189, true, 4, 3, {3, 3, 0, 9, 11, 20}},
    {205, 181, true, 7, 0, {5, 2, 7, 0, 3, 0}},
    {206, 185, false, 4, 3, {13, 3, 1, 9, 20, 12}},
    {207, 182, true, 4, 3, {4, 13, 10, 3, 9, 1}},
    {210, 201, true, 5, 3, {4, 2, 0, 1, 9, 9, 12}},
    {211, 202, false, 4, 4, {20, 20, 12, 12, 1, 1, 2}},
    {212, 204, false, 4, 4, {13, 12, 12, 9, 4, 2, 1}},
    {213, 206, true, 5, 3, {9, 8, 13, 12, 1, 22, 7}},
    {214, 205, false, 7, 1, {13, 20, 10, 12, 9, 10, 9}},
    {220, 211, true, 5, 4, {3, 3, 1, 1, 9, 12, 12, 21}},
    {221, 212, true, 5, 4, {2, 0, 0, 3, 12, 11, 10, 11}},
    {222, 213, false, 5, 4, {1, 9, 24, 4, 2, 9, 13, 12}},
    {223, 214, false, 7, 2, {24, 13, 13, 12, 12, 11, 9, 1}},
    {250, 221, false, 5, 5, {13, 3, 21, 2, 9, 13, 12, 1, 7}},
    {251, 222, true, 6, 4, {10, 3, 5, 12, 11, 0, 11, 2, 0}},
    {252, 221, true, 6, 4, {1, 9, 3, 10, 3, 5, 4, 13, 24}},
    {253, 223, false, 7, 3, {15, 26, 24, 23, 21, 20, 12, 2, 1}},
    {270, 250, true, 6, 5, {2, 9, 3, 11, 0, 11, 7, 3, 10, 13}},
    {271, 251, false, 6, 5, {2, 9, 15, 8, 5, 12, 1, 26, 23, 20}},
    {272, 252, false, 6, 5, {15, 26, 8, 23, 5, 21, 20, 12, 2, 1}},
    {273, 253, false, 7, 4, {26, 28, 13, 23, 12, 13, 12, 1, 2, 1}},
    {300, 270, false, 6, 6, {21, 2, 9, 13, 3, 11, 0, 23, 20, 3, 22}},
    {301, 271, true, 7, 5, {9, 2, 21, 3, 11, 9, 1, 12, 3, 2, 3}},
    {302, 272, false, 6, 6, {26, 28, 22, 23, 7, 12, 13, 12, 1, 2, 1}},
  };
  return rows;
}

constexpr int kFirstIds[13] = {-1, -1, 0, 30, 100, 150, 180, 200, 210, 220, 250, 270, 300};
constexpr int kLastIds[13] = {-1, -1, 29, 56, 126, 161, 191, 207, 214, 223, 253, 273, 302};

}  // namespace

int relationCode(int dx, int dy) {
  dx = std::abs(dx);
  dy = std::abs(dy);
  const int m = std::min(dx, dy);
  const int M = std::max(dx, dy);
  if (M < 1 || M > 10) return -1;
  if (m == 0) return kStraightCodes[M - 1];
  if (m == 1) return kOffsetCodes[M - 1];
  if (m == 2) return M == 2 ? 7 : M == 3 ? 30 : M == 4 ? 31 : -1;
  if (m == 3 && M == 3) return 32;
  return -1;
}

int relationCode(int width, int height, Point p, Point q) {
  if (width <= 0 || height <= 0 || p < 0 || q < 0 || p >= width * height || q >= width * height) return -1;
  return relationCode(p % width - q % width, p / width - q / width);
}

int pairId(int relationCode, bool sameColour) {
  if (relationCode < 0 || relationCode > 32) return -1;
  return sameColour ? kSamePairs[relationCode] : kOppositePairs[relationCode];
}

const ShapeTable& ShapeTable::get() {
  static const ShapeTable table;  // initialised once, thread-safely, on first use
  return table;
}

ShapeTable::ShapeTable() {
  // Pairs: the pair id is the shape id.
  for (int code = 0; code <= 32; ++code) {
    for (bool same : {true, false}) {
      const int id = pairId(code, same);
      if (id < 0) continue;
      ShapeEntry& e = entries_[static_cast<size_t>(id)];
      e.stones = 2;
      e.parent = -1;
      e.own = same ? 2 : 1;
      e.opponent = same ? 0 : 1;
    }
  }
  for (const ShapeRow& row : shapeRows()) {
    ShapeEntry& e = entries_[static_cast<size_t>(row.id)];
    e.stones = row.own + row.opponent;
    e.parent = row.parent;
    e.ownAdded = row.ownAdded;
    e.own = row.own;
    e.opponent = row.opponent;
    e.pairIds = row.pairIds;
    std::sort(e.pairIds.begin(), e.pairIds.end());
  }
  for (int id = 0; id < kIds; ++id) {
    const ShapeEntry& e = entries_[static_cast<size_t>(id)];
    if (e.stones == 0) continue;
    usedIds_.push_back(id);
    if (e.stones < 3) continue;
    auto& parents = parents_[static_cast<size_t>(e.stones)][e.ownAdded ? 0 : 1];
    if (std::find(parents.begin(), parents.end(), e.parent) == parents.end()) parents.push_back(e.parent);
    children_[static_cast<size_t>(e.parent)][e.ownAdded ? 0 : 1].push_back(id);
  }
}

const ShapeEntry& ShapeTable::entry(int id) const {
  static const ShapeEntry unused;
  return id >= 0 && id < kIds ? entries_[static_cast<size_t>(id)] : unused;
}

int ShapeTable::firstIdOf(int stones) { return stones >= 2 && stones <= kMaxStones ? kFirstIds[stones] : -1; }
int ShapeTable::lastIdOf(int stones) { return stones >= 2 && stones <= kMaxStones ? kLastIds[stones] : -1; }

const std::vector<int>& ShapeTable::parents(int stones, bool ownAdded) const {
  static const std::vector<int> none;
  return stones >= 3 && stones <= kMaxStones ? parents_[static_cast<size_t>(stones)][ownAdded ? 0 : 1] : none;
}

const std::vector<int>& ShapeTable::children(int parent, bool ownAdded) const {
  static const std::vector<int> none;
  return parent >= 0 && parent < kIds ? children_[static_cast<size_t>(parent)][ownAdded ? 0 : 1] : none;
}

int pointsAt(const Board& board, Point p, int code, PointList& out) {
  out.clear();
  int x = 0;
  int y = 0;
  if (!board.coordinates(p, x, y)) return 0;
  int m = -1;
  int M = -1;
  for (int a = 0; a <= 10 && m < 0; ++a)
    for (int b = std::max(a, 1); b <= 10; ++b)
      if (relationCode(a, b) == code) {
        m = a;
        M = b;
        break;
      }
  if (m < 0 || (m > 1 && code != 7)) return 0;  // only m = 0, m = 1 and (2, 2) are offered
  const int offsets[8][2] = {{m, M}, {-m, M}, {m, -M}, {-m, -M}, {M, m}, {-M, m}, {M, -m}, {-M, -m}};
  for (const auto& o : offsets) {
    const int qx = x + o[0];
    const int qy = y + o[1];
    if (qx < 0 || qy < 0 || qx >= board.width() || qy >= board.height()) continue;
    const Point q = board.point(qx, qy);
    if (std::find(out.begin(), out.end(), q) == out.end()) out.push_back(q);
  }
  return static_cast<int>(out.size());
}

int cuttingPoints(const Board& board, Point p, Point q, PointList& out) {
  out.clear();
  int px = 0, py = 0, qx = 0, qy = 0;
  if (!board.coordinates(p, px, py) || !board.coordinates(q, qx, qy)) return 0;
  if (relationCode(px - qx, py - qy) != 1) return 0;
  out.push_back(board.point(px, qy));  // in p's column
  out.push_back(board.point(qx, py));  // in p's row
  return 2;
}

}  // namespace mh
