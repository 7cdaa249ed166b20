#include "shell/window_tiling.h"

#include <gtest/gtest.h>

namespace mh {
namespace {

// Every tiling covers the area exactly once: no gap, no overlap, nothing outside.
TEST(WindowTiling, TilesCoverTheAreaWithoutGapsOrOverlaps) {
  for (const bool horizontally : {true, false}) {
    for (int count = 1; count <= 9; ++count) {
      SCOPED_TRACE(testing::Message() << count << (horizontally ? " horizontally" : " vertically"));
      const int width = 203, height = 117;
      const std::vector<TileRect> rects = tileWindows(count, width, height, horizontally);
      ASSERT_EQ(static_cast<int>(rects.size()), count);
      std::vector<int> cover(static_cast<size_t>(width * height), 0);
      for (const TileRect& r : rects) {
        ASSERT_GT(r.width, 0);
        ASSERT_GT(r.height, 0);
        ASSERT_GE(r.x, 0);
        ASSERT_GE(r.y, 0);
        ASSERT_LE(r.x + r.width, width);
        ASSERT_LE(r.y + r.height, height);
        for (int y = r.y; y < r.y + r.height; ++y)
          for (int x = r.x; x < r.x + r.width; ++x) ++cover[static_cast<size_t>(x + width * y)];
      }
      for (int c : cover) ASSERT_EQ(c, 1);
    }
  }
}

TEST(WindowTiling, HorizontallyStacksAndVerticallySetsSideBySide) {
  EXPECT_EQ(tileWindows(2, 100, 60, true), (std::vector<TileRect>{{0, 0, 100, 30}, {0, 30, 100, 30}}));
  EXPECT_EQ(tileWindows(2, 100, 60, false), (std::vector<TileRect>{{0, 0, 50, 60}, {50, 0, 50, 60}}));
  // Nine rooms: three columns of three, or three rows of three.
  const std::vector<TileRect> nine = tileWindows(9, 90, 60, true);
  EXPECT_EQ(nine[3], (TileRect{30, 0, 30, 20}));
  const std::vector<TileRect> five = tileWindows(5, 90, 60, false);
  EXPECT_EQ(five[3], (TileRect{45, 20, 45, 20})) << "rows of two";
  EXPECT_EQ(five[4], (TileRect{0, 40, 90, 20})) << "the last one alone fills its row";
  EXPECT_TRUE(tileWindows(0, 90, 60, true).empty());
  EXPECT_TRUE(tileWindows(3, 0, 60, true).empty());
}

}  // namespace
}  // namespace mh
