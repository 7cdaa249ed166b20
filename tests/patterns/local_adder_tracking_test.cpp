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

// A capture can leave the moved stone's cluster made of what is left of one cluster and the
// whole of another: which of them the cluster as it was is taken from decides whether the move
// counts. Here the captured stone and the far cluster are one stone each, so only the cluster
// holding the lowest other black stone (on the edge, at 5) is one stone short of the new one.
TEST(LocalAdderTrackingTest, ACaptureJoiningTwoClustersCountsAsWalkingDoes) {
  const auto at = [](int x, int y) { return static_cast<Point>(x + 19 * y); };
  struct Move {
    int colour;
    Point point;
  };
  const Move moves[] = {{Black, at(1, 0)}, {White, at(0, 0)}, {Black, at(5, 0)},
                        {White, at(2, 0)}, {Black, at(1, 6)}, {White, at(1, 1)}};
  GameRecord record;
  for (const Move& m : moves) {
    MoveEntry e;
    e.colour = static_cast<std::uint8_t>(m.colour);
    e.point = m.point;
    record.append(e);
  }
  PatternLibrary tracked, walked;
  const int recorded = addRecordToLocalLibrary(tracked, record, 1, 0);
  test::addByWalkingClusters(walked, record, 1, 0);
  ASSERT_EQ(tracked.entryCount(), walked.entryCount());
  for (int n = 0; n < tracked.entryCount(); ++n) EXPECT_EQ(*tracked.entryAt(n), *walked.entryAt(n)) << "entry " << n;
  bool capturingMoveCounted = false;
  for (int n = 0; n < walked.entryCount(); ++n)
    for (const PatternOccurrence& o : walked.entryAt(n)->occurrences) capturingMoveCounted |= o.move == 5;
  EXPECT_TRUE(capturingMoveCounted) << recorded << " moves recorded";
}

// The global adder as it reads: every position's stone lists taken from the board itself.
int addGlobalTakingListsFromTheBoard(PatternLibrary& library, const GameRecord& record, int winner, int game,
                                     int maxMoves) {
  Board board = record.initialPosition();
  int recorded = 0;
  for (int i = 0; i < std::min(record.entryCount(), maxMoves); ++i) {
    const MoveEntry& e = record.entries()[static_cast<size_t>(i)];
    if (e.hasSetup()) {
      board.setPoints(e.blackSetup, Black);
      board.setPoints(e.whiteSetup, White);
    }
    if (!e.hasMove()) continue;
    if (!recordMove(library, board.snapshot(), e.colour, e.point, game, i, winner)) break;
    ++recorded;
    if (e.point >= 0) board.place(e.colour, e.point);
  }
  return recorded;
}

// The global adder follows the stone lists from move to move; through captures, setup stones,
// moves onto occupied points and off the board it must record what taking them afresh records.
TEST(GlobalAdderTrackingTest, RecordsWhatTakingTheListsAfreshRecords) {
  std::mt19937 rng(77);
  int total = 0;
  for (int round = 0; round < 60; ++round) {
    const int style = round % 3;
    PatternLibrary followed, taken;
    for (int game = 0; game < 4; ++game) {
      const GameRecord record = randomGame(rng, style);
      const int winner = 1 + game % 2;
      const int a = addRecordToGlobalLibrary(followed, record, winner, game, 200);
      const int b = addGlobalTakingListsFromTheBoard(taken, record, winner, game, 200);
      ASSERT_EQ(a, b) << "round " << round << " game " << game;
    }
    ASSERT_EQ(followed.entryCount(), taken.entryCount()) << "round " << round << " style " << style;
    for (int n = 0; n < followed.entryCount(); ++n)
      ASSERT_EQ(*followed.entryAt(n), *taken.entryAt(n)) << "round " << round << " entry " << n;
    total += followed.entryCount();
  }
  EXPECT_GT(total, 1000);
}

}  // namespace
}  // namespace mh
