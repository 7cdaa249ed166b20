#include "room/board_geometry.h"

#include <gtest/gtest.h>

namespace mh {
namespace {

TEST(BoardGeometry, EveryIntersectionMapsBackToItself) {
  const int sizes[][4] = {{400, 400, 19, 19}, {640, 480, 19, 19}, {300, 500, 9, 9}, {200, 200, 13, 7}, {50, 50, 19, 19}};
  for (const auto& s : sizes) {
    const BoardGeometry g(s[0], s[1], s[2], s[3]);
    for (int y = 0; y < s[3]; ++y) {
      for (int x = 0; x < s[2]; ++x) {
        Coord c;
        ASSERT_TRUE(g.pointAt(g.centreX(x), g.centreY(y), c)) << x << "," << y;
        EXPECT_EQ(c, (Coord{x, y}));
      }
    }
  }
}

TEST(BoardGeometry, PixelsFarOutsideTheGridAreNoPoint) {
  const BoardGeometry g(400, 400, 19, 19);
  Coord c;
  EXPECT_FALSE(g.pointAt(g.centreX(0) - g.cell(), g.centreY(0), c));
  EXPECT_FALSE(g.pointAt(g.centreX(18) + g.cell(), g.centreY(18), c));
  EXPECT_FALSE(g.pointAt(g.centreX(3), g.centreY(18) + g.cell(), c));
  EXPECT_TRUE(g.pointAt(g.centreX(0) - g.cell() / 3, g.centreY(0) - g.cell() / 3, c));
}

TEST(BoardGeometry, GridFitsInsideTheView) {
  const BoardGeometry g(640, 480, 19, 19);
  EXPECT_GE(g.centreX(0) - g.cell() / 2, 0);
  EXPECT_LE(g.centreY(18) + g.cell() / 2, 480);
  EXPECT_EQ(g.cell(), 480 / 20);
}

TEST(BoardGeometry, StarPointsOfTheUsualSizes) {
  EXPECT_EQ(BoardGeometry::starPoints(19, 19).size(), 9u);
  EXPECT_EQ(BoardGeometry::starPoints(19, 19)[4], (Coord{9, 9}));
  EXPECT_EQ(BoardGeometry::starPoints(13, 13).size(), 9u);
  EXPECT_EQ(BoardGeometry::starPoints(13, 13)[0], (Coord{3, 3}));
  const CoordList nine = BoardGeometry::starPoints(9, 9);
  EXPECT_EQ(nine, (CoordList{{2, 2}, {6, 2}, {2, 6}, {6, 6}, {4, 4}}));
  EXPECT_TRUE(BoardGeometry::starPoints(5, 5).empty());
  EXPECT_EQ(BoardGeometry::starPoints(19, 13).size(), 9u);
}

}  // namespace
}  // namespace mh
