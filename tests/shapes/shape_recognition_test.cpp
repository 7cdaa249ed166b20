#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "shapes/point_set_class.h"
#include "shapes/shape_analysis.h"
#include "shapes/shape_table.h"

namespace mh {
namespace {

struct Cell {
  int x;
  int y;
};

// The eight symmetries of the plane applied to (x, y).
Cell turned(Cell c, int symmetry) {
  int x = c.x;
  int y = c.y;
  if (symmetry & 1) x = -x;
  if (symmetry & 2) y = -y;
  if (symmetry & 4) std::swap(x, y);
  return {x, y};
}

PointList pointsOf(const Board& board, const std::vector<Cell>& cells, int symmetry, int offset) {
  PointList out;
  for (Cell c : cells) {
    const Cell t = turned(c, symmetry);
    out.push_back(board.point(t.x + offset, t.y + offset));
  }
  return out;
}

TEST(PointSetClassTest, NamesArrangementsInEveryOrientation) {
  using namespace PointSetClass;
  struct Case {
    const char* name;
    std::vector<Cell> cells;
    int expected;
  };
  const std::vector<Case> cases = {
      {"empty", {}, kEmpty},
      {"single", {{0, 0}}, kSingle},
      {"any pair, far apart", {{0, 0}, {7, 3}}, kPair},
      {"straight three", {{0, 0}, {1, 0}, {2, 0}}, kStraightThree},
      {"bent three", {{0, 0}, {1, 0}, {0, 1}}, kBentThree},
      {"three with gaps", {{0, 0}, {2, 0}, {4, 0}}, kInvalid},
      {"three in a 2 x 3 box", {{0, 0}, {1, 1}, {0, 2}}, kInvalid},
      {"straight four", {{0, 0}, {0, 1}, {0, 2}, {0, 3}}, kStraightFour},
      {"landscape L four", {{0, 0}, {1, 0}, {2, 0}, {0, 1}}, kLFour},
      {"T four", {{0, 0}, {1, 0}, {2, 0}, {1, 1}}, kTFour},
      {"square four", {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, kSquareFour},
      {"S four", {{0, 0}, {1, 0}, {1, 1}, {2, 1}}, kSFour},
      {"four in a 2 x 3 box, not connected", {{0, 0}, {1, 0}, {0, 2}, {1, 2}}, kOther},
      {"kite four", {{1, 0}, {0, 1}, {2, 1}, {0, 2}}, kKite},
      {"four in a 3 x 3 box, not a kite", {{0, 0}, {2, 0}, {0, 2}, {2, 2}}, kOther},
      {"four in a 1 x 5 box", {{0, 0}, {1, 0}, {2, 0}, {4, 0}}, kInvalid},
      {"straight five", {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}, kStraightFive},
      {"L five", {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 3}}, kLFive},
      {"cross five", {{1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}}, kCrossFive},
      {"bulky five", {{0, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}}, kBulkyFive},
      {"five in a 2 x 4 box, not an L", {{0, 0}, {1, 0}, {0, 1}, {0, 2}, {1, 3}}, kOther},
      {"five in a 3 x 3 box, not a cross", {{0, 0}, {1, 0}, {2, 0}, {1, 1}, {1, 2}}, kOther},
      {"five in a 2 x 2 box", {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {3, 3}}, kInvalid},
      {"straight six", {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}}, kStraightSix},
      {"rectangle six", {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}}, kRectangleSix},
      {"rabbit six", {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}}, kRabbitSix},
      {"six in a 3 x 3 box, not a rabbit", {{0, 0}, {1, 0}, {2, 0}, {0, 2}, {1, 2}, {2, 2}}, kOther},
      {"seven points", {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {9, 9}}, kOther},
  };
  const Board board(19, 19);
  for (const Case& c : cases) {
    for (int symmetry = 0; symmetry < 8; ++symmetry) {
      const PointList points = pointsOf(board, c.cells, symmetry, 9);
      EXPECT_EQ(classifyPoints(board, points), c.expected) << c.name << ", symmetry " << symmetry;
    }
  }
}

TEST(PointSetClassTest, RefusesWhatIsNoSetOfBoardPoints) {
  const Board board(19, 19);
  EXPECT_EQ(classifyPoints(board, nullptr, 3), PointSetClass::kInvalid);
  EXPECT_EQ(classifyPoints(board, nullptr, -1), PointSetClass::kInvalid);
  EXPECT_EQ(classifyPoints(board, PointList{0, 1, 361}), PointSetClass::kInvalid);
  EXPECT_EQ(classifyPoints(board, PointList{0, 1, -1}), PointSetClass::kInvalid);
  EXPECT_EQ(classifyPoints(board, PointList{0, 1, 1, 19}), PointSetClass::kInvalid) << "a point listed twice";
  // Two points are never looked at.
  EXPECT_EQ(classifyPoints(board, PointList{-5, 900}), PointSetClass::kPair);
}

TEST(ShapeTableTest, RelationCodesAndPairIds) {
  struct Case {
    int m;
    int M;
    int code;
    int same;
    int opposite;
  };
  const std::vector<Case> cases = {
      {0, 1, 0, 0, 9},     {1, 1, 1, 1, 11},    {0, 2, 2, 2, 10},    {1, 2, 3, 3, 12},    {0, 3, 4, 4, 21},
      {1, 3, 5, 5, 13},    {0, 4, 6, 6, 24},    {2, 2, 7, 7, 20},    {1, 4, 8, 8, -1},    {0, 5, 10, 29, 16},
      {0, 6, 11, -1, 17},  {0, 7, 12, 18, -1},  {0, 8, 13, 19, -1},  {0, 9, 14, -1, -1},  {0, 10, 15, -1, -1},
      {1, 5, 21, -1, 15},  {1, 6, 22, -1, 14},  {1, 7, 23, -1, -1},  {1, 8, 24, -1, -1},  {1, 9, 25, -1, -1},
      {1, 10, 26, -1, -1}, {2, 3, 30, 22, 23},  {2, 4, 31, 25, 26},  {3, 3, 32, 27, 28},  {0, 11, -1, -1, -1},
      {2, 5, -1, -1, -1},  {3, 4, -1, -1, -1},  {0, 0, -1, -1, -1},
  };
  std::vector<int> seen;
  for (const Case& c : cases) {
    for (int symmetry = 0; symmetry < 8; ++symmetry) {
      const Cell d = turned({c.m, c.M}, symmetry);
      EXPECT_EQ(relationCode(d.x, d.y), c.code) << "(" << c.m << ", " << c.M << ") symmetry " << symmetry;
    }
    EXPECT_EQ(pairId(c.code, true), c.same) << "code " << c.code;
    EXPECT_EQ(pairId(c.code, false), c.opposite) << "code " << c.code;
    if (c.same >= 0) seen.push_back(c.same);
    if (c.opposite >= 0) seen.push_back(c.opposite);
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen.size(), 30u);
  EXPECT_TRUE(std::adjacent_find(seen.begin(), seen.end()) == seen.end()) << "every pair id named once";
  for (int code : {-1, 9, 16, 20, 27, 29, 33, 1000}) {
    EXPECT_EQ(pairId(code, true), -1) << code;
    EXPECT_EQ(pairId(code, false), -1) << code;
  }
  EXPECT_EQ(relationCode(19, 19, 0, 0), -1) << "equal points";
  EXPECT_EQ(relationCode(19, 19, 0, 361), -1) << "a point off the board";
  EXPECT_EQ(relationCode(19, 19, 18, 19), -1) << "the row wraps: (18,0) and (0,1) are 18 apart";
  EXPECT_EQ(relationCode(19, 19, 0, 20), 1);
}

TEST(ShapeTableTest, EveryShapeGrowsFromItsParent) {
  const ShapeTable& table = ShapeTable::get();
  EXPECT_EQ(table.usedIds().size(), static_cast<size_t>(ShapeTable::kUsed));
  for (int id : table.usedIds()) {
    const ShapeEntry& e = table.entry(id);
    EXPECT_GE(id, ShapeTable::firstIdOf(e.stones)) << id;
    EXPECT_LE(id, ShapeTable::lastIdOf(e.stones)) << id;
    EXPECT_EQ(e.own + e.opponent, e.stones) << id;
    if (e.stones == 2) continue;
    const ShapeEntry& parent = table.entry(e.parent);
    EXPECT_EQ(parent.stones, e.stones - 1) << id;
    EXPECT_EQ(e.own, parent.own + (e.ownAdded ? 1 : 0)) << id;
    EXPECT_EQ(e.opponent, parent.opponent + (e.ownAdded ? 0 : 1)) << id;
    EXPECT_EQ(e.pairIds.size(), static_cast<size_t>(parent.stones)) << id;
    const auto& parents = table.parents(e.stones, e.ownAdded);
    EXPECT_NE(std::find(parents.begin(), parents.end(), e.parent), parents.end()) << id;
  }
  EXPECT_FALSE(table.used(57));
  EXPECT_FALSE(table.used(-1));
  EXPECT_FALSE(table.used(400));
}

// A placement of a shape's stones, own or not, found from its definition: the pair first, then
// each added stone at a point whose pair ids to the stones before it are the entry's multiset.
struct Placed {
  int x;
  int y;
  bool own;
};

bool placeChain(const std::vector<int>& chain, size_t level, std::vector<Placed>& stones) {
  if (level == chain.size()) return true;
  const ShapeEntry& e = ShapeTable::get().entry(chain[level]);
  for (int y = -10; y <= 10; ++y) {
    for (int x = -10; x <= 10; ++x) {
      std::vector<int> ids;
      bool ok = true;
      for (const Placed& s : stones) {
        const int id = pairId(relationCode(s.x - x, s.y - y), s.own == e.ownAdded);
        if (id < 0) {
          ok = false;
          break;
        }
        ids.push_back(id);
      }
      if (!ok) continue;
      std::sort(ids.begin(), ids.end());
      if (ids != e.pairIds) continue;
      stones.push_back({x, y, e.ownAdded});
      if (placeChain(chain, level + 1, stones)) return true;
      stones.pop_back();
    }
  }
  return false;
}

std::vector<Placed> placeShape(int id) {
  const ShapeTable& table = ShapeTable::get();
  std::vector<int> chain;
  int at = id;
  while (table.entry(at).stones > 2) {
    chain.insert(chain.begin(), at);
    at = table.entry(at).parent;
  }
  for (int code = 0; code <= 32; ++code) {
    for (bool same : {true, false}) {
      if (pairId(code, same) != at) continue;
      for (int M = 1; M <= 10; ++M)
        for (int m = 0; m <= M; ++m)
          if (relationCode(m, M) == code) {
            std::vector<Placed> stones = {{0, 0, true}, {m, M, same}};
            if (placeChain(chain, 0, stones)) return stones;
          }
    }
  }
  return {};
}

LocalPosition positionOf(const std::vector<Placed>& stones, int colour, int symmetry) {
  LocalPosition lp;
  lp.width = 41;
  lp.height = 41;
  for (const Placed& s : stones) {
    const Cell t = turned({s.x, s.y}, symmetry);
    const Point p = (t.x + 20) + 41 * (t.y + 20);
    (s.own == (colour == Black) ? lp.blackStones : lp.whiteStones).push_back(p);
  }
  std::sort(lp.blackStones.begin(), lp.blackStones.end());
  std::sort(lp.whiteStones.begin(), lp.whiteStones.end());
  return lp;
}

TEST(ShapeRecognitionTest, EveryShapeIsRecognisedInEveryOrientationForBothColours) {
  for (int id : ShapeTable::get().usedIds()) {
    const std::vector<Placed> stones = placeShape(id);
    ASSERT_FALSE(stones.empty()) << "shape " << id << " cannot be laid out from its definition";
    for (int colour : {Black, White}) {
      for (int symmetry = 0; symmetry < 8; ++symmetry) {
        ShapedPosition shape(positionOf(stones, colour, symmetry));
        EXPECT_TRUE(shape.test(id, colour)) << "shape " << id << " colour " << colour << " symmetry " << symmetry
                                            << " instances " << shape.analysis().instanceCount(colour, id);
        EXPECT_FALSE(shape.test(id, opponent(colour)) && ShapeTable::get().entry(id).own != ShapeTable::get().entry(id).opponent)
            << "shape " << id << " is not the other side's";
      }
    }
  }
}


LocalPosition stonesAt(std::vector<std::pair<Cell, int>> stones) {
  LocalPosition lp;
  for (const auto& [c, colour] : stones) (colour == Black ? lp.blackStones : lp.whiteStones).push_back(c.x + 19 * c.y);
  std::sort(lp.blackStones.begin(), lp.blackStones.end());
  std::sort(lp.whiteStones.begin(), lp.whiteStones.end());
  return lp;
}

TEST(ShapeRecognitionTest, ClassifyNamesTheFirstShapeThatHolds) {
  struct Case {
    const char* name;
    std::vector<std::pair<Cell, int>> stones;
    int black;
    int white;
  };
  const std::vector<Case> cases = {
      {"no stones", {}, -1, -1},
      {"a lone stone", {{{3, 3}, Black}}, ShapedPosition::kSingleStone, -1},
      {"adjacent black pair", {{{3, 3}, Black}, {{4, 3}, Black}}, 0, -1},
      {"black and white touching", {{{3, 3}, Black}, {{3, 4}, White}}, 9, 9},
      {"too far apart for a pair", {{{0, 0}, Black}, {{11, 0}, Black}}, -1, -1},
      {"straight three from the jump", {{{2, 3}, Black}, {{3, 3}, Black}, {{4, 3}, Black}}, 36, -1},
      {"hane", {{{3, 3}, Black}, {{3, 4}, White}, {{4, 4}, Black}}, 30, -1},
      {"opponent stone in the mouth", {{{3, 3}, Black}, {{2, 4}, Black}, {{4, 4}, Black}, {{3, 4}, White}}, 104, -1},
      {"square of four is no shape", {{{3, 3}, Black}, {{4, 3}, Black}, {{3, 4}, Black}, {{4, 4}, Black}}, -1, -1},
      {"thirteen stones", {{{0, 0}, Black}, {{1, 0}, Black}, {{2, 0}, Black}, {{3, 0}, Black}, {{4, 0}, Black},
                           {{5, 0}, Black}, {{6, 0}, Black}, {{7, 0}, Black}, {{8, 0}, Black}, {{9, 0}, Black},
                           {{10, 0}, Black}, {{11, 0}, Black}, {{12, 0}, Black}}, -1, -1},
  };
  for (const Case& c : cases) {
    ShapedPosition shape(stonesAt(c.stones));
    EXPECT_EQ(shape.classify(Black), c.black) << c.name;
    EXPECT_EQ(shape.classify(White), c.white) << c.name;
  }
}

TEST(ShapeRecognitionTest, CandidateTrialsLeaveThePositionAsItWas) {
  // Black (3,3) and (3,5) with White touching (3,4) from the side: which added black stone makes
  // the table's four-stone shape 104 (the white stone enclosed on three sides)?
  ShapedPosition shape(stonesAt({{{3, 3}, Black}, {{4, 4}, Black}, {{3, 4}, White}}));
  const LocalPosition before = shape.position();
  ASSERT_EQ(shape.classify(Black), 30);
  const PointList candidates = {2 + 19 * 4, 3 + 19 * 5, 5 + 19 * 4, 3 + 19 * 3 /* occupied */, -1, 19 * 19};
  PointList passing;
  EXPECT_EQ(shape.candidatesPassing(104, Black, Black, candidates, passing), 2);
  EXPECT_EQ(passing, (PointList{2 + 19 * 4, 3 + 19 * 5}));
  EXPECT_TRUE(shape.anyCandidatePassing(104, Black, Black, candidates));
  EXPECT_FALSE(shape.anyCandidatePassing(104, White, Black, candidates));
  EXPECT_EQ(shape.position(), before);
  EXPECT_EQ(shape.classify(Black), 30) << "the analysis is fresh again after the trials";
}

TEST(ShapeTableTest, PointsAtARelationAndCuttingPoints) {
  const Board board(19, 19);
  PointList out;
  EXPECT_EQ(pointsAt(board, board.point(9, 9), 0, out), 4);
  EXPECT_EQ(pointsAt(board, board.point(9, 9), 3, out), 8);
  EXPECT_EQ(pointsAt(board, board.point(9, 9), 7, out), 4);
  EXPECT_EQ(pointsAt(board, board.point(0, 0), 1, out), 1);
  EXPECT_EQ(out, (PointList{board.point(1, 1)}));
  EXPECT_EQ(pointsAt(board, board.point(0, 0), 15, out), 2);
  for (int code : {9, 16, 30, 32, -1}) EXPECT_EQ(pointsAt(board, board.point(9, 9), code, out), 0) << code;
  for (int code : {0, 1, 2, 3, 5, 8, 10, 21, 26}) {
    pointsAt(board, board.point(9, 9), code, out);
    for (Point q : out) EXPECT_EQ(relationCode(19, 19, board.point(9, 9), q), code) << code;
  }
  EXPECT_EQ(cuttingPoints(board, board.point(3, 3), board.point(4, 4), out), 2);
  EXPECT_EQ(out, (PointList{board.point(3, 4), board.point(4, 3)}));
  EXPECT_EQ(cuttingPoints(board, board.point(3, 3), board.point(5, 4), out), 0);
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace mh
