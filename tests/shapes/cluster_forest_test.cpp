#include "shapes/cluster_forest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "shapes/local_position.h"

namespace mh {
namespace {

// The cluster of the stone at p as the forest holds it, sorted.
PointList forestCluster(ClusterForest& forest, Point p) {
  PointList members;
  forest.membersOf(forest.rootOf(p), members);
  std::sort(members.begin(), members.end());
  return members;
}

// The cluster of the stone at p as a walk over the board cuts it, sorted.
PointList walkedCluster(const Board& board, Point p, int distance) {
  LocalPosition cluster;
  EXPECT_TRUE(clusterAt(board, p, distance, cluster));
  PointList members(cluster.blackStones.begin(), cluster.blackStones.end());
  members.insert(members.end(), cluster.whiteStones.begin(), cluster.whiteStones.end());
  std::sort(members.begin(), members.end());
  return members;
}

void expectSameClusters(ClusterForest& forest, const Board& board, int distance, const std::string& name) {
  for (Point p = 0; p < board.width() * board.height(); ++p) {
    if (!isStoneColour(board.get(p))) continue;
    const PointList walked = walkedCluster(board, p, distance);
    ASSERT_EQ(forestCluster(forest, p), walked) << name << " at " << p;
    ASSERT_EQ(forest.sizeOf(forest.rootOf(p)), static_cast<int>(walked.size())) << name << " at " << p;
  }
}

// A forest cut from a board holds the clusters a walk finds, and stones added one by one after
// it keep them so: on boards of several sizes and densities, at distances up to beyond the
// board's longest.
TEST(ClusterForestTest, RebuiltAndGrownForestsHoldTheWalkedClusters) {
  struct Case {
    int width, height, distance, stones, added;
  };
  const Case cases[] = {
      {19, 19, 5, 40, 30}, {19, 19, 5, 150, 20}, {19, 19, 1, 120, 40}, {19, 19, 2, 60, 60},
      {9, 9, 5, 10, 10},   {13, 7, 3, 20, 15},   {64, 64, 5, 200, 50}, {1, 1, 5, 1, 0},
      {19, 19, 100, 3, 5}, {13, 7, 17, 4, 4},    {19, 19, 5, 40, 30},
  };
  // One forest serves every board, as it does a build's games of all sizes.
  ClusterForest forest;
  std::mt19937 rng(17);
  for (const Case& c : cases) {
    for (int round = 0; round < 5; ++round) {
      const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height) + " d" +
                               std::to_string(c.distance) + " round " + std::to_string(round);
      Board board(c.width, c.height);
      const auto cells = static_cast<unsigned>(c.width * c.height);
      for (int i = 0; i < c.stones; ++i) board.set(static_cast<Point>(rng() % cells), 1 + static_cast<int>(rng() % 2));
      ASSERT_TRUE(forest.rebuild(board, c.distance)) << name;
      expectSameClusters(forest, board, c.distance, name);
      std::vector<Point> near;
      for (int i = 0; i < c.added; ++i) {
        const auto p = static_cast<Point>(rng() % cells);
        if (isStoneColour(board.get(p))) continue;
        board.set(p, 1 + static_cast<int>(rng() % 2));
        forest.rootsNear(p, near);
        forest.add(p, near);
      }
      expectSameClusters(forest, board, c.distance, name + " grown");
    }
  }
}

// Taking stones out re-cuts only the clusters they were in; the forest must then hold what a
// walk over the board finds, whether the removed stones split a cluster, emptied it, or were
// spread over several, and stones added afterwards must join the clusters as they now are.
TEST(ClusterForestTest, RemovedStonesLeaveTheWalkedClusters) {
  struct Case {
    const char* name;
    int width, height, distance, stones, removed;
  };
  const Case cases[] = {
      {"a few from a crowd", 19, 19, 5, 120, 3},  {"many from a crowd", 19, 19, 5, 150, 60},
      {"sparse, short reach", 19, 19, 2, 40, 10}, {"all of them", 9, 9, 3, 30, 30},
      {"one from a pair", 5, 5, 1, 2, 1},         {"wide board", 64, 20, 5, 200, 40},
  };
  std::mt19937 rng(23);
  ClusterForest forest;
  for (const Case& c : cases) {
    for (int round = 0; round < 5; ++round) {
      const std::string name = std::string(c.name) + " round " + std::to_string(round);
      Board board(c.width, c.height);
      const auto cells = static_cast<unsigned>(c.width * c.height);
      for (int i = 0; i < c.stones; ++i) board.set(static_cast<Point>(rng() % cells), 1 + static_cast<int>(rng() % 2));
      ASSERT_TRUE(forest.rebuild(board, c.distance)) << name;
      std::vector<Point> stones;
      for (Point p = 0; p < static_cast<Point>(cells); ++p)
        if (isStoneColour(board.get(p))) stones.push_back(p);
      std::shuffle(stones.begin(), stones.end(), rng);
      stones.resize(std::min(stones.size(), static_cast<size_t>(c.removed)));
      for (const Point p : stones) board.set(p, Empty);
      forest.removeStones(board, stones);
      expectSameClusters(forest, board, c.distance, name);
      std::vector<Point> near;
      for (int i = 0; i < 10; ++i) {
        const auto p = static_cast<Point>(rng() % cells);
        if (isStoneColour(board.get(p))) continue;
        board.set(p, Black);
        forest.rootsNear(p, near);
        forest.add(p, near);
      }
      expectSameClusters(forest, board, c.distance, name + " grown");
    }
  }
}

}  // namespace
}  // namespace mh
