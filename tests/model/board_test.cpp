#include "model/board.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

#include "model/board_snapshot.h"
#include "support/board_diagram.h"

namespace mh {
namespace {

using test::boardFromDiagram;
using test::diagramOf;
using test::normalizeDiagram;

struct PlayCase {
  const char* name;
  const char* before;
  int colour;
  int x, y;
  bool legal;
  const char* after;  // ignored when the move is illegal (the board must stay as before)
};

class BoardPlay : public ::testing::TestWithParam<PlayCase> {};

TEST_P(BoardPlay, PlacesCapturesOrRefuses) {
  const PlayCase& c = GetParam();
  Board board = boardFromDiagram(c.before);
  const Point p = board.point(c.x, c.y);
  EXPECT_EQ(board.isIllegal(c.colour, p), !c.legal) << c.name;
  EXPECT_EQ(board.play(c.colour, p), c.legal) << c.name;
  EXPECT_EQ(diagramOf(board), normalizeDiagram(c.legal ? c.after : c.before)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Shapes, BoardPlay, ::testing::Values(
    PlayCase{"no empty neighbour but the new group has liberties", R"(
      . O X
      X . .
      . . .)", Black, 0, 0, true, R"(
      X O X
      X . .
      . . .)"},
    PlayCase{"move into an eye that captures", R"(
      . O X .
      O X . .
      X . . .
      . . . .)", Black, 0, 0, true, R"(
      X . X .
      . X . .
      X . . .
      . . . .)"},
    PlayCase{"one move captures two separate groups", R"(
      . X O . .
      X O . O X
      O X O X .
      . . X . .)", Black, 2, 1, true, R"(
      . X O . .
      X . X O X
      O X . X .
      . . X . .)"},
    PlayCase{"single-stone suicide", R"(
      . X .
      X . .
      . . .)", White, 0, 0, false, ""},
    PlayCase{"multi-stone suicide", R"(
      O . X .
      X X . .
      . . . .
      . . . .)", White, 1, 0, false, ""},
    PlayCase{"filling own last liberty is suicide even for a big group", R"(
      O O X .
      . O X .
      O O X .
      X X X .)", White, 0, 1, false, ""},
    PlayCase{"occupied point", R"(
      X . .
      . . .
      . . .)", White, 0, 0, false, ""},
    PlayCase{"capture of a large group through its last liberty", R"(
      O O O X
      O O O X
      X X . X
      . . X .)", Black, 2, 2, true, R"(
      . . . X
      . . . X
      X X X X
      . . X .)"}),
    [](const auto& param) {
      std::string n;
      for (const char* s = param.param.name; *s; ++s)
        if (std::isalnum(static_cast<unsigned char>(*s))) n += *s;
      return n;
    });

TEST(Board, RejectsInvalidPointsColoursAndBoardsWithoutCells) {
  Board board;
  EXPECT_TRUE(board.isIllegal(Black, -1));
  EXPECT_TRUE(board.isIllegal(Black, 361));
  EXPECT_TRUE(board.isIllegal(3, 40));
  EXPECT_FALSE(board.place(Black, 361));
  EXPECT_FALSE(board.set(-5, Black));
  EXPECT_EQ(board.get(361), -1);
  EXPECT_EQ(board.edgeLine(-1), -1);
  EXPECT_EQ(board.outerLine(400), -1);
  EXPECT_FALSE(board.removeDead(0));

  Board none(0, 0);
  EXPECT_FALSE(none.usable());
  EXPECT_TRUE(none.isIllegal(Black, 0));
  EXPECT_FALSE(none.play(Black, 0));
  EXPECT_FALSE(none.isEmpty());
  Group g;
  EXPECT_FALSE(none.groupAt(0, g));
  EXPECT_TRUE(none.hasNoLiberty(g));
  PointList list;
  EXPECT_EQ(none.pointsOfValue(Empty, list), 0);
  GroupList groups;
  none.groupsOfValue(Empty, groups);
  EXPECT_TRUE(groups.empty());

  Board negative(-3, 7);
  EXPECT_FALSE(negative.usable());
  Board hostile;
  EXPECT_FALSE(hostile.resize(1 << 20, 1 << 20));
  EXPECT_FALSE(hostile.usable());
}

TEST(Board, PointEncodingChecksColumnsButNotRows) {
  Board board;
  EXPECT_EQ(board.point(19, 0), -1);
  EXPECT_EQ(board.point(-1, 3), -1);
  EXPECT_EQ(board.point(0, -1), -1);
  EXPECT_EQ(board.point(0, 19), 361);
  EXPECT_FALSE(board.isValid(361));
  int x = 0, y = 0;
  ASSERT_TRUE(board.coordinates(board.point(5, 7), x, y));
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 7);
  EXPECT_FALSE(board.coordinates(361, x, y));
}

TEST(Board, DistancesFromTheEdges) {
  Board board;
  EXPECT_EQ(board.edgeLine(board.point(0, 0)), 1);
  EXPECT_EQ(board.outerLine(board.point(0, 9)), 10);
  EXPECT_EQ(board.edgeLine(board.point(9, 9)), 10);
  EXPECT_EQ(board.edgeLine(board.point(3, 15)), 4);
  Board wide(9, 5);
  EXPECT_EQ(wide.edgeLine(wide.point(4, 2)), 3);
  EXPECT_EQ(wide.outerLine(wide.point(4, 2)), 5);
}

TEST(Board, NeighboursComeInTheirFixedOrder) {
  Board board = boardFromDiagram(R"(
    . X .
    O . X
    . O .)");
  PointList out{99};
  board.allNeighbours(4, out);
  EXPECT_EQ(out, (PointList{1, 5, 7, 3}));
  board.neighboursOfValue(4, Black, out);
  EXPECT_EQ(out, (PointList{1, 5}));
  board.allNeighbours(0, out);
  EXPECT_EQ(out, (PointList{1, 3}));
  board.diagonalNeighbours(4, out);
  EXPECT_EQ(out, (PointList{0, 2, 6, 8}));
  board.diagonalNeighbours(0, out);
  EXPECT_EQ(out, (PointList{4}));
  board.diagonalNeighboursOfValue(4, Empty, out);
  EXPECT_EQ(out, (PointList{0, 2, 6, 8}));
  EXPECT_TRUE(board.adjacent(3, 4));
  EXPECT_FALSE(board.adjacent(2, 3));  // wraps a row: not neighbours
  EXPECT_EQ(board.right(2), -1);
  EXPECT_EQ(board.left(3), -1);
  board.allNeighbours(-1, out);
  EXPECT_TRUE(out.empty());
}

TEST(Board, GroupsLibertiesAndRegions) {
  Board board = boardFromDiagram(R"(
    X X . O
    . X O O
    X . . .)");
  Group g;
  ASSERT_TRUE(board.groupAt(0, g));
  EXPECT_EQ(g.colour, Black);
  EXPECT_EQ(g.points, (PointList{0, 1, 5}));
  PointList libs;
  EXPECT_EQ(board.liberties(g, libs), 3);
  EXPECT_EQ(libs, (PointList{2, 4, 9}));
  EXPECT_FALSE(board.hasNoLiberty(g));

  ASSERT_TRUE(board.groupAt(-4, g));
  EXPECT_TRUE(g.empty());

  ASSERT_TRUE(board.groupAt(2, g));
  EXPECT_EQ(g.colour, Empty);
  EXPECT_FALSE(board.hasNoLiberty(g)) << "an empty region is never without liberties";

  GroupList regions;
  board.emptyRegions(regions);
  ASSERT_EQ(regions.size(), 3u);
  EXPECT_EQ(regions[0].points, (PointList{2}));
  EXPECT_EQ(regions[1].points, (PointList{4}));
  EXPECT_EQ(regions[2].points, (PointList{9, 10, 11}));

  GroupList stones;
  board.groupsOfValue(3, stones);
  ASSERT_EQ(stones.size(), 3u);
  EXPECT_EQ(stones[0].colour, Black);
  EXPECT_EQ(stones[1].colour, White);
  EXPECT_EQ(stones[1].points, (PointList{3, 6, 7}));
  EXPECT_EQ(stones[2].points, (PointList{8}));
}

TEST(Board, GroupListingMergesIntoTheUpperGroupAndKeepsItsPlace) {
  // The U-shape meets at (1, 2): the scan starts two groups (columns 0 and 2) and merges the
  // left arm into the right one when the bottom row joins them.
  Board board = boardFromDiagram(R"(
    X . X X
    X . X .
    X X X .)");
  GroupList groups;
  board.blackGroups(groups);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0].points, (PointList{0, 2, 3, 4, 6, 8, 9, 10}));

  Board three = boardFromDiagram(R"(
    X . X . X
    X . . . X
    X X X X X)");
  three.blackGroups(groups);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].points, (PointList{2}));
  EXPECT_EQ(groups[1].points.size(), 9u);
}

TEST(Board, RemoveDeadAndCapturedSince) {
  Board board = boardFromDiagram(R"(
    O X .
    X . .
    . . .)");
  const Board before = board;
  EXPECT_TRUE(board.removeDead(White));
  EXPECT_EQ(board.get(0), Empty);
  PointList gone;
  EXPECT_EQ(board.capturedSince(before, gone), 1);
  EXPECT_EQ(gone, (PointList{0}));
  Board other(9, 9);
  EXPECT_EQ(board.capturedSince(other, gone), 0);
}

TEST(Board, OutlineBorderStonesAndEnclosedRegions) {
  Board board = boardFromDiagram(R"(
    . X . X .
    X X X X O
    . . . O .)");
  PointList ring;
  board.outline({1, 6}, ring);
  EXPECT_EQ(ring, (PointList{2, 0, 7, 11, 5})) << "in the order found";

  PointList black, white;
  EXPECT_EQ(board.borderStones({10, 11, 12}, black, white), 4);
  EXPECT_EQ(black, (PointList{5, 6, 7}));
  EXPECT_EQ(white, (PointList{13}));
  EXPECT_EQ(board.borderStones({}, black, white), 0);

  std::vector<PointList> regions;
  EXPECT_EQ(board.enclosedRegions({5, 6, 7, 8, 1, 3}, regions), 2);
  EXPECT_EQ(regions[0], (PointList{0}));
  EXPECT_EQ(regions[1], (PointList{2}));
  EXPECT_EQ(board.enclosedRegions({4}, regions), 0) << "the first stone must be black or white";
}

TEST(Board, LibertiesAfterAndSelfAtari) {
  Board board = boardFromDiagram(R"(
    . O . .
    O . . .
    . . . .)");
  EXPECT_EQ(board.libertiesAfter(Black, 0), 0);
  EXPECT_TRUE(board.isSelfAtari(Black, 0));
  EXPECT_EQ(board.libertiesAfter(Black, 5), 2);
  EXPECT_FALSE(board.isSelfAtari(Black, 5));
  EXPECT_EQ(board.libertiesAfter(White, 0), 3);
  EXPECT_EQ(board.get(5), Empty) << "the board is unchanged";
}

TEST(Board, SnapshotRestoreRoundTrip) {
  Board board = boardFromDiagram(R"(
    X . O
    . O .
    X . X)");
  BoardSnapshot s = board.snapshot();
  EXPECT_EQ(s.blackCount, 3);
  EXPECT_EQ(s.whiteCount, 2);
  EXPECT_EQ(s.points, (PointList{0, 6, 8, 2, 4}));
  Board copy(19, 19);
  copy.restore(s);
  EXPECT_EQ(copy, board);
  s.points.push_back(500);  // an invalid point is skipped
  ++s.whiteCount;
  copy.restore(s);
  EXPECT_EQ(copy, board);
}

struct HandicapCase {
  int count;
  std::vector<Coord> points;
};

TEST(Board, HandicapLayouts) {
  const HandicapCase cases[] = {
      {2, {{3, 3}, {15, 15}}},
      {3, {{3, 3}, {9, 9}, {15, 15}}},
      {4, {{3, 3}, {3, 15}, {15, 3}, {15, 15}}},
      {7, {{3, 3}, {3, 15}, {9, 3}, {9, 9}, {9, 15}, {15, 3}, {15, 15}}},
      {9, {{3, 3}, {3, 9}, {3, 15}, {9, 3}, {9, 9}, {9, 15}, {15, 3}, {15, 9}, {15, 15}}},
      {12, {{3, 3}, {15, 15}}},
  };
  for (const auto& c : cases) {
    Board board(9, 9);
    placeHandicap(c.count, board);
    ASSERT_EQ(board.width(), 19);
    PointList blacks;
    EXPECT_EQ(board.pointsOfValue(Black, blacks), static_cast<int>(c.points.size())) << c.count;
    for (const Coord& p : c.points) EXPECT_EQ(board.get(board.point(p.x, p.y)), Black) << c.count;
    EXPECT_EQ(handicapCoords(c.count), c.points) << c.count;
  }
}

// The stone lists are read eight cells at a time: on boards of every width modulo eight, with
// stones at both ends and cells holding values other than the two colours, they must be the
// cells holding black, then white, each ascending, and the snapshot reused from a larger board.
TEST(Board, StoneListsHoldEveryStoneInOrder) {
  struct Case {
    int width, height, stones;
  };
  const Case cases[] = {{1, 1, 1}, {3, 5, 9}, {7, 1, 7}, {8, 8, 30}, {9, 9, 81}, {19, 19, 0},
                        {19, 19, 50}, {19, 19, 300}, {52, 52, 900}, {13, 13, 169}};
  std::mt19937 rng(11);
  BoardSnapshot reused;
  Board large(52, 52);
  for (Point p = 0; p < 52 * 52; p += 3) large.set(p, Black);
  large.stoneLists(reused);
  for (const Case& c : cases) {
    Board board(c.width, c.height);
    const auto cells = static_cast<unsigned>(c.width * c.height);
    const int values[] = {Black, White, Black, White, 3, 0x81, 0xFF};
    for (int i = 0; i < c.stones; ++i)
      board.set(static_cast<Point>(rng() % cells), values[rng() % std::size(values)]);
    board.set(0, Black);
    board.set(static_cast<Point>(cells - 1), White);
    PointList expected;
    for (const int colour : {Black, White})
      for (Point p = 0; p < static_cast<Point>(cells); ++p)
        if (board.get(p) == colour) expected.push_back(p);
    board.stoneLists(reused);
    const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
    EXPECT_EQ(reused.points, expected) << name;
    EXPECT_EQ(reused.blackCount + reused.whiteCount, static_cast<int>(expected.size())) << name;
    EXPECT_EQ(reused.width, c.width);
    for (int i = 0; i < reused.blackCount; ++i) EXPECT_EQ(board.get(reused.points[static_cast<size_t>(i)]), Black) << name;
    EXPECT_EQ(board.snapshot().points, expected) << name;
  }
}

// A move captures every neighbouring group of the other colour left without a liberty, however
// it is found out: long random games on crowded and open boards, with moves onto occupied points,
// must leave the board a plain walk of every such group leaves.
TEST(Board, PlacingCapturesWhatAWalkOfEveryGroupCaptures) {
  struct Case {
    int width, height, moves;
    unsigned span;  // moves fall in the first span columns and rows
  };
  const Case cases[] = {{19, 19, 400, 6}, {19, 19, 600, 19}, {9, 9, 300, 9}, {5, 3, 100, 3}, {1, 1, 5, 1}};
  std::mt19937 rng(31);
  for (const Case& c : cases) {
    Board board(c.width, c.height);
    Board walked(c.width, c.height);
    for (int i = 0; i < c.moves; ++i) {
      const Point p = static_cast<Point>(rng() % std::min<unsigned>(c.span, static_cast<unsigned>(c.width)) +
                                         static_cast<unsigned>(c.width) * (rng() % std::min<unsigned>(c.span, static_cast<unsigned>(c.height))));
      const int colour = 1 + static_cast<int>(rng() % 2);
      ASSERT_TRUE(board.place(colour, p));
      walked.set(p, colour);
      for (Point q : {walked.up(p), walked.right(p), walked.down(p), walked.left(p)}) {
        Group g;
        if (q != kNoPoint && walked.get(q) == 3 - colour && walked.groupAt(q, g) && walked.hasNoLiberty(g)) walked.remove(g);
      }
      ASSERT_EQ(board, walked) << c.width << "x" << c.height << " move " << i;
    }
  }
}

}  // namespace
}  // namespace mh
