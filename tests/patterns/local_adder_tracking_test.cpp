#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "patterns/library_adders.h"
#include "support/walking_local_adder.h"

namespace mh {
namespace {

// Games that a real record rarely holds all at once: dense play with many captures, setup stones
// in the middle (also over stones), passes, moves onto occupied points, moves off the board and
// colours that are not stones.
GameRecord randomGame(std::mt19937& rng, int style) {
  GameRecord r;
  const int moves = 60 + static_cast<int>(rng() % 120);
  // Dense games crowd a corner so that groups touch and die; sparse ones spread out.
  const unsigned span = style == 0 ? 7 : 19;
  for (int i = 0; i < moves; ++i) {
    const Point p = static_cast<Point>((rng() % span) + 19 * (rng() % span));
    MoveEntry e;
    e.colour = static_cast<std::uint8_t>(i % 2 == 0 ? Black : White);
    e.point = p;
    const unsigned roll = static_cast<unsigned>(rng() % 100);
    if (style == 2 && roll < 6) {
      e.flags = MoveEntry::kSetup | (roll < 3 ? MoveEntry::kMove : 0);
      for (int s = 0; s < 3; ++s) {
        e.blackSetup.push_back(static_cast<Point>(rng() % 361));
        e.whiteSetup.push_back(static_cast<Point>(rng() % 361));
      }
    } else if (style == 2 && roll < 9) {
      e.point = kNoPoint;
    } else if (style == 2 && roll < 11) {
      e.point = 361 + static_cast<Point>(rng() % 50);
    } else if (style == 2 && roll < 12) {
      e.colour = 3;
    }
    r.append(e);
  }
  return r;
}

TEST(LocalAdderTrackingTest, RecordsWhatWalkingTheClustersRecords) {
  std::mt19937 rng(2024);
  int total = 0;
  for (int round = 0; round < 90; ++round) {
    const int style = round % 3;
    PatternLibrary tracked, walked;
    for (int game = 0; game < 4; ++game) {
      const GameRecord record = randomGame(rng, style);
      const int winner = game % 3;
      (void)addRecordToLocalLibrary(tracked, record, winner, game);
      test::addByWalkingClusters(walked, record, winner, game);
    }
    ASSERT_EQ(tracked.entryCount(), walked.entryCount()) << "round " << round << " style " << style;
    for (int n = 0; n < tracked.entryCount(); ++n)
      ASSERT_EQ(*tracked.entryAt(n), *walked.entryAt(n)) << "round " << round << " entry " << n;
    total += tracked.entryCount();
  }
  EXPECT_GT(total, 1000);
}

}  // namespace
}  // namespace mh
