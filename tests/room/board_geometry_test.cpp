#include "room/board_geometry.h"

#include <gtest/gtest.h>

namespace mh {
namespace {

constexpr BoardGeometry::Frame kRoomFrame{true, true};
constexpr BoardGeometry::Frame kBare{false, false};

TEST(BoardGeometry, LayoutOfKnownSizes) {
  const struct {
    int width, height;
    BoardGeometry::Frame frame;
    int cell, x0, y0, xLast, yLast;
  } table[] = {
      // 756 - 5 = 751 pixels for 19.9 cells: 37; centred with the frame's 0.8 cell before line 0.
      {760, 760, kRoomFrame, 37, 36, 36, 702, 702},
      // A wide view centres the board horizontally.
      {1000, 760, kRoomFrame, 37, 156, 36, 822, 702},
      {400, 400, kBare, 20, 20, 20, 380, 380},
      {29, 29, kRoomFrame, 1, 0, 0, 18, 18},
      {28, 28, kRoomFrame, 0, 0, 0, 0, 0},
      {9, 500, kRoomFrame, 0, 0, 0, 0, 0},
      {500, 9, kBare, 0, 0, 0, 0, 0},
  };
  for (const auto& t : table) {
    const BoardGeometry g = BoardGeometry::layout(t.width, t.height, 19, 19, t.frame);
    SCOPED_TRACE(testing::Message() << t.width << "x" << t.height);
    EXPECT_EQ(g.cell(), t.cell);
    EXPECT_EQ(g.x0(), t.x0);
    EXPECT_EQ(g.y0(), t.y0);
    EXPECT_EQ(g.xLast(), t.xLast);
    EXPECT_EQ(g.yLast(), t.yLast);
  }
}

TEST(BoardGeometry, EveryPointMapsBackToItselfFromAnyPixelOfItsSquare) {
  const struct {
    int width, height, columns, rows;
    BoardGeometry::Frame frame;
  } table[] = {{760, 760, 19, 19, kRoomFrame}, {641, 480, 19, 19, kRoomFrame}, {300, 500, 9, 9, kBare},
               {200, 180, 13, 7, kRoomFrame}, {60, 60, 19, 19, kRoomFrame}};
  for (const auto& t : table) {
    const BoardGeometry g = BoardGeometry::layout(t.width, t.height, t.columns, t.rows, t.frame);
    ASSERT_GT(g.cell(), 0);
    for (Point p = 0; p < t.columns * t.rows; ++p) {
      const auto r = g.pointRect(p);
      ASSERT_TRUE(r);
      EXPECT_EQ(r->left + g.cell() / 2, g.centreX(p % t.columns));
      const int half = (g.cell() - 1) / 2;
      for (int dx : {-half, 0, half})
        for (int dy : {-half, 0, half})
          ASSERT_EQ(g.pointAt(g.centreX(p % t.columns) + dx, g.centreY(p / t.columns) + dy), p)
              << t.width << "x" << t.height << " point " << p << " offset " << dx << "," << dy;
    }
  }
}

TEST(BoardGeometry, PixelsBeyondTheGridAndPointsOffTheBoardHaveNoPoint) {
  const BoardGeometry g = BoardGeometry::layout(760, 760, 19, 19, kRoomFrame);
  const int c = g.cell();
  EXPECT_EQ(g.pointAt(g.xLast() + c, g.y0()), kNoPoint);
  EXPECT_EQ(g.pointAt(g.x0(), g.yLast() + c), kNoPoint);
  EXPECT_EQ(g.pointAt(g.x0() - 2 * c, g.y0()), kNoPoint);
  // The division truncates toward zero: the first line's band reaches a cell further out.
  EXPECT_EQ(g.pointAt(g.x0() - c + 1, g.y0()), 0);
  EXPECT_FALSE(g.pointRect(19 * 19));
  EXPECT_FALSE(g.pointRect(-1));
  const BoardGeometry none = BoardGeometry::layout(28, 28, 19, 19, kRoomFrame);
  EXPECT_EQ(none.pointAt(0, 0), kNoPoint) << "nothing is hit while the cell is 0";
  EXPECT_EQ(none.pointAt(14, 14), kNoPoint);
}

TEST(BoardGeometry, StarPointsOnlyOnTheFullBoard) {
  EXPECT_EQ(starPoints(19, 19), (PointList{60, 66, 72, 174, 180, 186, 288, 294, 300}));
  EXPECT_TRUE(starPoints(13, 13).empty());
  EXPECT_TRUE(starPoints(19, 13).empty());
}

}  // namespace
}  // namespace mh
