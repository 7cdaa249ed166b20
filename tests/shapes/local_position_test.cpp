#include "shapes/local_position.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "model/board_snapshot.h"

namespace mh {
namespace {

struct Stone {
  int x;
  int y;
  int colour;
};

Board boardWith(const std::vector<Stone>& stones, int w = 19, int h = 19) {
  Board b(w, h);
  for (const auto& s : stones) b.set(s.x + w * s.y, s.colour);
  return b;
}

// "B:1,2 W:3" per cluster, for readable failure messages.
std::string describe(const LocalPositionList& list) {
  std::string out;
  for (const auto& lp : list) {
    out += "[B:";
    for (Point p : lp.blackStones) out += std::to_string(p) + ",";
    out += " W:";
    for (Point p : lp.whiteStones) out += std::to_string(p) + ",";
    out += "]";
  }
  return out;
}

struct ClusterCase {
  const char* name;
  std::vector<Stone> stones;
  int distance;
  std::string expected;
};

TEST(LocalPositionTest, ClustersCutTheBoard) {
  const std::vector<ClusterCase> cases = {
      {"empty board", {}, 5, ""},
      {"distance six apart", {{0, 0, Black}, {6, 0, White}}, 5, "[B:0, W:][B: W:6,]"},
      {"linked by a third stone", {{0, 0, Black}, {6, 0, White}, {3, 0, Black}}, 5, "[B:0,3, W:6,]"},
      {"steps of five join", {{0, 0, Black}, {5, 0, Black}, {10, 0, White}}, 5, "[B:0,5, W:10,]"},
      {"steps of five split at four", {{0, 0, Black}, {5, 0, Black}, {10, 0, White}}, 4, "[B:0, W:][B:5, W:][B: W:10,]"},
      {"lowest point first", {{0, 1, Black}, {18, 0, White}}, 5, "[B: W:18,][B:19, W:]"},
      {"diagonal reach is Manhattan", {{3, 3, Black}, {5, 6, White}, {12, 12, Black}, {15, 15, Black}}, 5,
       "[B:60, W:119,][B:240, W:][B:300, W:]"},
      {"distance zero yields nothing", {{0, 0, Black}}, 0, ""},
      {"negative distance yields nothing", {{0, 0, Black}}, -3, ""},
      {"huge distance is one cluster", {{0, 0, Black}, {18, 18, White}}, 1000000, "[B:0, W:360,]"},
  };
  for (const auto& c : cases) {
    LocalPositionList out{LocalPosition{}};
    const int n = clusters(boardWith(c.stones), c.distance, out);
    EXPECT_EQ(describe(out), c.expected) << c.name;
    EXPECT_EQ(n, static_cast<int>(out.size())) << c.name;
    for (const auto& lp : out) EXPECT_EQ(lp.distance, c.distance) << c.name;
  }
}

TEST(LocalPositionTest, ClusterAtNeedsAStoneAndAPositiveDistance) {
  const Board b = boardWith({{2, 2, Black}, {4, 4, White}});
  LocalPosition lp;
  lp.blackStones = {99};
  EXPECT_FALSE(clusterAt(b, 0, 5, lp));
  EXPECT_TRUE(lp.blackStones.empty());
  EXPECT_FALSE(clusterAt(b, 2 + 19 * 2, 0, lp));
  EXPECT_FALSE(clusterAt(b, -1, 5, lp));
  EXPECT_FALSE(clusterAt(b, 361, 5, lp));
  ASSERT_TRUE(clusterAt(b, 4 + 19 * 4, 5, lp));
  EXPECT_EQ(lp.blackStones, PointList{40});
  EXPECT_EQ(lp.whiteStones, PointList{80});
  EXPECT_EQ(lp.width, 19);
  EXPECT_EQ(lp.distance, 5);
}

// The cut must agree with the definition: two stones share a cluster exactly when a path of
// steps no longer than the distance joins them. Checked against a naive closure on random boards,
// including a board that is not square.
TEST(LocalPositionTest, ClustersMatchNaiveClosureOnRandomBoards) {
  // Boards up to 64 wide and high use row masks, wider ones the point walk: both edges, a full
  // 64-bit row and a distance larger than the board are covered.
  struct Size {
    int w, h;
  };
  const Size sizes[] = {{19, 19}, {13, 9}, {19, 19}, {64, 64}, {65, 5}, {1, 1}, {64, 3}, {3, 70}, {52, 52}};
  std::mt19937 rng(7);
  for (int round = 0; round < 90; ++round) {
    const Size size = sizes[static_cast<size_t>(round) % std::size(sizes)];
    const int w = size.w;
    const int h = size.h;
    const int distance = round % 10 == 9 ? 200 : 1 + round % 6;
    Board b(w, h);
    const int stones = static_cast<int>(rng() % (w * h > 400 ? 160u : 40u));
    for (int i = 0; i < stones; ++i) b.set(static_cast<Point>(rng() % static_cast<unsigned>(w * h)), 1 + static_cast<int>(rng() % 2));

    PointList all;
    for (Point p = 0; p < w * h; ++p)
      if (b.get(p) != Empty) all.push_back(p);
    std::vector<int> label(all.size(), -1);
    int labels = 0;
    for (size_t i = 0; i < all.size(); ++i) {
      if (label[i] >= 0) continue;
      label[i] = labels;
      bool grew = true;
      while (grew) {
        grew = false;
        for (size_t j = 0; j < all.size(); ++j)
          for (size_t k = 0; k < all.size(); ++k)
            if (label[j] == labels && label[k] < 0 &&
                std::abs(all[j] % w - all[k] % w) + std::abs(all[j] / w - all[k] / w) <= distance) {
              label[k] = labels;
              grew = true;
            }
      }
      ++labels;
    }

    LocalPositionList out;
    ASSERT_EQ(clusters(b, distance, out), labels) << "round " << round;
    for (size_t c = 0; c < out.size(); ++c) {
      PointList expectedBlack;
      PointList expectedWhite;
      for (size_t i = 0; i < all.size(); ++i)
        if (label[i] == static_cast<int>(c)) (b.get(all[i]) == Black ? expectedBlack : expectedWhite).push_back(all[i]);
      EXPECT_EQ(out[c].blackStones, expectedBlack) << "round " << round << " cluster " << c;
      EXPECT_EQ(out[c].whiteStones, expectedWhite) << "round " << round << " cluster " << c;
      EXPECT_EQ(out[c].width, w);
      EXPECT_EQ(out[c].height, h);
    }
  }
}

// A stone limit must give the whole cluster when it fits, and more than the limit when it does not.
TEST(LocalPositionTest, StoneLimitStopsOnlyClustersThatExceedIt) {
  std::mt19937 rng(11);
  for (int round = 0; round < 200; ++round) {
    Board b;
    const int stones = static_cast<int>(rng() % 120);
    for (int i = 0; i < stones; ++i) b.set(static_cast<Point>(rng() % 361), 1 + static_cast<int>(rng() % 2));
    const Point start = b.firstStone();
    if (start < 0) continue;
    LocalPosition whole, limited;
    ASSERT_TRUE(clusterAt(b, start, 5, whole));
    const int limit = 1 + static_cast<int>(rng() % 60);
    ASSERT_TRUE(clusterAt(b, start, 5, limited, limit));
    if (whole.stoneCount() <= limit) {
      EXPECT_EQ(limited, whole) << "round " << round;
    } else {
      EXPECT_EQ(limited.stoneCount(), limit + 1) << "round " << round;
    }
  }
}

TEST(LocalPositionTest, FromPointsKeepsListOrderAndDropsEmptyPoints) {
  const Board b = boardWith({{5, 0, Black}, {1, 0, Black}, {3, 0, White}}, 9, 9);
  LocalPosition lp;
  lp.distance = 2;
  localPositionFrom(b, {5, 2, 3, 1, -4, 500}, lp);
  EXPECT_EQ(lp.blackStones, (PointList{5, 1}));
  EXPECT_EQ(lp.whiteStones, PointList{3});
  EXPECT_EQ(lp.width, 9);
  EXPECT_EQ(lp.distance, 5);
}

TEST(LocalPositionTest, BoardOfHoldsOnlyTheClusterStones) {
  const Board b = boardWith({{0, 0, Black}, {1, 1, White}, {18, 18, Black}});
  LocalPosition lp;
  ASSERT_TRUE(clusterAt(b, 0, 5, lp));
  Board out(5, 5);
  ASSERT_TRUE(boardOf(lp, out));
  EXPECT_EQ(out.width(), 19);
  const BoardSnapshot s = out.snapshot();
  EXPECT_EQ(s.points, (PointList{0, 20}));
  EXPECT_EQ(s.blackCount, 1);
}

TEST(LocalPositionTest, StoneAccessors) {
  LocalPosition lp;
  lp.blackStones = {3, 7};
  lp.whiteStones = {5};
  PointList all{42};
  lp.allStones(all);
  EXPECT_EQ(all, (PointList{3, 7, 5}));
  EXPECT_EQ(lp.stonesOf(Black), (PointList{3, 7}));
  EXPECT_EQ(lp.stonesOf(White), PointList{5});
  EXPECT_EQ(lp.stonesOf(0), PointList{5});
  EXPECT_FALSE(lp.hasSingleStone(Black));
  EXPECT_TRUE(lp.hasSingleStone(White));
}

}  // namespace
}  // namespace mh
