#include "model/board_transform.h"

#include <gtest/gtest.h>

#include <random>

#include "support/board_diagram.h"

namespace mh {
namespace {

TEST(BoardTransform, KindsSetTheirFlags) {
  const int expected[8][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}, {0, 0, 0}};
  for (int kind = 0; kind < 8; ++kind) {
    BoardTransform t;
    t.inverse = 1;
    t.select(kind);
    EXPECT_EQ(t.flipX, expected[kind][0]) << kind;
    EXPECT_EQ(t.flipY, expected[kind][1]) << kind;
    EXPECT_EQ(t.swapXY, expected[kind][2]) << kind;
    EXPECT_EQ(t.inverse, 0) << "select clears every flag";
  }
}

TEST(BoardTransform, FlipThenSwapAndBack) {
  BoardTransform t(4, 19, 19);
  EXPECT_EQ(t.map(0, 0), (Coord{0, 18}));
  t.inverse = 1;
  EXPECT_EQ(t.map(0, 18), (Coord{0, 0}));
  EXPECT_EQ(t.map(19, 0), std::nullopt);
  EXPECT_EQ(t.map(0, -1), std::nullopt);
}

// Every point of every size maps and maps back under all eight symmetries; on boards that are
// not square a swap may carry a point off the board, and then it must say so instead of
// producing some other point.
TEST(BoardTransform, EveryPointMapsAndMapsBack) {
  const Coord sizes[] = {{19, 19}, {9, 9}, {13, 7}, {5, 11}, {1, 1}};
  for (const Coord& size : sizes) {
    for (int kind = 0; kind < 8; ++kind) {
      const BoardTransform fwd(kind, size.x, size.y), back(kind, size.x, size.y, true);
      int mapped = 0;
      for (Point p = 0; p < size.x * size.y; ++p) {
        const Point q = fwd.mapPoint(p);
        if (q == kNoPoint) {
          EXPECT_TRUE(size.x != size.y && fwd.swapXY) << "kind " << kind << " point " << p;
          continue;
        }
        ++mapped;
        EXPECT_LT(q, size.x * size.y);
        EXPECT_EQ(back.mapPoint(q), p) << "kind " << kind << " size " << size.x << "x" << size.y;
      }
      if (size.x == size.y || !fwd.swapXY) {
        EXPECT_EQ(mapped, size.x * size.y);
      }
    }
  }
}

TEST(BoardTransform, MapsBoardsListsAndSnapshots) {
  const Board board = test::boardFromDiagram(R"(
    X . . .
    . . . .
    . . O .
    . . . X)");
  BoardTransform t(0, 4, 4);  // flip x
  Board mirrored;
  ASSERT_TRUE(t.mapBoard(board, mirrored));
  EXPECT_EQ(test::diagramOf(mirrored), test::normalizeDiagram(R"(
    . . . X
    . . . .
    . O . .
    X . . .)"));

  Board same = board;
  ASSERT_TRUE(BoardTransform(6, 4, 4).mapBoard(same, same)) << "source and target may be one board";
  ASSERT_TRUE(BoardTransform(6, 4, 4, true).mapBoard(same, same));
  EXPECT_EQ(same, board);

  Board wrong(5, 5);
  Board untouched = board;
  EXPECT_FALSE(t.mapBoard(wrong, untouched));
  EXPECT_EQ(untouched, board);

  PointList list{0, 15};
  ASSERT_TRUE(t.mapList(list));
  EXPECT_EQ(list, (PointList{3, 12}));
  PointList bad{0, 16, 1};
  EXPECT_FALSE(t.mapList(bad));
  EXPECT_EQ(bad, (PointList{0, 16, 1})) << "a failed map leaves the list unchanged";

  CoordList coords{{0, 0}, {1, 2}};
  ASSERT_TRUE(t.mapCoordList(coords));
  EXPECT_EQ(coords, (CoordList{{3, 0}, {2, 2}}));
  CoordList off{{0, 0}, {4, 0}};
  EXPECT_FALSE(t.mapCoordList(off));
  EXPECT_EQ(off, (CoordList{{0, 0}, {4, 0}}));

  BoardSnapshot s;
  ASSERT_TRUE(t.mapSnapshot(board.snapshot(), s));
  EXPECT_EQ(s, mirrored.snapshot());
  EXPECT_EQ(s.points, mirrored.snapshot().points);
}

TEST(BoardTransform, SwapOnANonSquareBoardFailsInsteadOfAliasing) {
  Board board(5, 3);
  board.set(board.point(4, 0), Black);
  BoardTransform swap(2, 5, 3);
  Board out;
  EXPECT_FALSE(swap.mapBoard(board, out));
  EXPECT_EQ(swap.mapPoint(board.point(4, 0)), kNoPoint);
  EXPECT_EQ(swap.mapPoint(board.point(1, 2)), board.point(2, 1));
}

// Sizes come from files: an image beyond the range of a Point has no point rather than a
// wrapped-around one.
TEST(BoardTransform, ImageTooLargeForAPointHasNone) {
  const BoardTransform flipY(1, 1 << 30, 4);
  EXPECT_EQ(flipY.mapPoint(1), kNoPoint);  // (1, 0) -> (1, 3), beyond 2^31
  const BoardTransform flipX(0, 1 << 30, 4);
  EXPECT_EQ(flipX.mapPoint(1), (1 << 30) - 2);
  const BoardTransform fromFile(4, 738197523, 800);  // found by fuzzing a pattern index
  for (Point p : {0, 5, 738197523, 2147483000}) {
    const Point q = fromFile.mapPoint(p);
    EXPECT_TRUE(q == kNoPoint || q >= 0) << p;
  }
}

TEST(BoardTransform, RandomBoardsSurviveEverySymmetryAndItsInverse) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    Board board;
    for (Point p = 0; p < 361; ++p) board.set(p, static_cast<int>(rng() % 3));
    for (int kind = 0; kind < 7; ++kind) {
      Board image, back;
      ASSERT_TRUE(BoardTransform(kind, 19, 19).mapBoard(board, image));
      ASSERT_TRUE(BoardTransform(kind, 19, 19, true).mapBoard(image, back));
      EXPECT_EQ(back, board) << "kind " << kind;
      PointList blacks, imageBlacks;
      EXPECT_EQ(board.pointsOfValue(Black, blacks), image.pointsOfValue(Black, imageBlacks));
    }
  }
}

// The fast turn of a snapshot must give exactly what turning it through a board gives, for
// snapshots as boards make them and for every shape a damaged file can hold.
TEST(BoardTransform, TurnSnapshotAgreesWithMappingThroughABoard) {
  auto snap = [](int w, int h, std::int32_t blacks, std::int32_t whites, PointList points) {
    BoardSnapshot s;
    s.width = w;
    s.height = h;
    s.blackCount = blacks;
    s.whiteCount = whites;
    s.points = std::move(points);
    return s;
  };
  const struct {
    const char* name;
    BoardSnapshot in;
  } cases[] = {
      {"empty 19", snap(19, 19, 0, 0, {})},
      {"corner stones 19", snap(19, 19, 2, 1, {0, 20, 360})},
      {"9 x 9 without a table", snap(9, 9, 1, 2, {3, 10, 80})},
      {"not square", snap(13, 7, 1, 1, {0, 90})},
      {"black list unsorted", snap(19, 19, 2, 0, {40, 3})},
      {"counts disagree with points", snap(19, 19, 3, 0, {1, 2})},
      {"a point in both lists", snap(19, 19, 1, 1, {5, 5})},
      {"a point off the board", snap(19, 19, 1, 0, {400})},
      {"a negative point", snap(19, 19, 0, 1, {-3})},
  };
  for (const auto& c : cases) {
    for (int kind = 0; kind < 7; ++kind) {
      BoardSnapshot fast;
      BoardSnapshot slow;
      const bool fastOk = turnSnapshot(kind, c.in, fast);
      const bool slowOk = BoardTransform(kind, c.in.width, c.in.height).mapSnapshot(c.in, slow);
      ASSERT_EQ(fastOk, slowOk) << c.name << " kind " << kind;
      if (fastOk) {
        EXPECT_EQ(fast, slow) << c.name << " kind " << kind;
      }
    }
  }
}

}  // namespace
}  // namespace mh
