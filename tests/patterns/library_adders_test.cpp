#include "patterns/library_adders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace mh {
namespace {

using ::testing::ElementsAre;

Point at(int x, int y) { return x + 19 * y; }

// A record of moves at the given points, colours alternating from black.
GameRecord gameOf(const std::vector<Point>& moves) {
  GameRecord r;
  for (size_t i = 0; i < moves.size(); ++i) r.appendMove(i % 2 == 0 ? Black : White, moves[i]);
  return r;
}

// n moves on even points: no stone ever touches another, so nothing is captured, and every stone
// lies within distance 2 of an earlier one (one growing cluster).
GameRecord spacedGame(int n) {
  std::vector<Point> moves;
  for (int i = 0; i < n; ++i) moves.push_back(2 * i);
  return gameOf(moves);
}

PatternEntry entryFor(const PatternLibrary& library, const Board& board, int side) {
  PatternEntry e;
  EXPECT_TRUE(library.findWithSymmetries(board.snapshot(), side, e));
  return e;
}

TEST(GlobalAdderTest, DecidedGameAddsItsFirstFiftyPositionsWithOutcome) {
  PatternLibrary library;
  const GameRecord game = spacedGame(120);
  EXPECT_EQ(addRecordToGlobalLibrary(library, game, GameInfo::WhiteWins, 7), 50);
  ASSERT_EQ(library.entryCount(), 50);
  Board board;
  for (int i = 0; i < 50; ++i) {
    const MoveEntry& m = game.entries()[static_cast<size_t>(i)];
    PatternEntry e = entryFor(library, board, m.colour);
    ASSERT_EQ(e.candidates.size(), 1u) << i;
    const PatternCandidate expected{m.point, 1, m.colour == White ? 1 : 0, m.colour == Black ? 1 : 0};
    EXPECT_EQ(e.candidates[0], expected) << i;
    EXPECT_THAT(e.occurrences, ElementsAre(PatternOccurrence{7, static_cast<std::int16_t>(i),
                                                             static_cast<std::int16_t>(m.point)}));
    ASSERT_TRUE(board.play(m.colour, m.point));
  }
}

TEST(GlobalAdderTest, SkipsUndecidedAndOtherSizedGames) {
  PatternLibrary library;
  EXPECT_EQ(addRecordToGlobalLibrary(library, spacedGame(10), GameInfo::NoWinner, 0), 0);
  GameRecord small = spacedGame(10);
  ASSERT_TRUE(small.setSize(9, 9));
  EXPECT_EQ(addRecordToGlobalLibrary(library, small, GameInfo::BlackWins, 0), 0);
  EXPECT_EQ(library.entryCount(), 0);
}

TEST(GlobalAdderTest, MirroredGamesShareOneEntryInItsStoredOrientation) {
  PatternLibrary library;
  // The second game is the first flipped left to right.
  ASSERT_EQ(addRecordToGlobalLibrary(library, gameOf({at(3, 3), at(15, 15)}), GameInfo::BlackWins, 0), 2);
  ASSERT_EQ(addRecordToGlobalLibrary(library, gameOf({at(15, 3), at(3, 15)}), GameInfo::WhiteWins, 1), 2);
  EXPECT_EQ(library.entryCount(), 2);

  Board one;
  ASSERT_TRUE(one.play(Black, at(3, 3)));
  PatternEntry e;
  ASSERT_EQ(library.find(one.snapshot(), White), 1);
  ASSERT_TRUE(library.readEntry(1, e));
  EXPECT_THAT(e.candidates, ElementsAre(PatternCandidate{at(15, 15), 2, 1, 1}));
  EXPECT_THAT(e.occurrences, ElementsAre(PatternOccurrence{0, 1, static_cast<std::int16_t>(at(15, 15))},
                                         PatternOccurrence{1, 1, static_cast<std::int16_t>(at(15, 15))}));
  // The empty board is its own mirror image, so both first moves are kept as played.
  ASSERT_TRUE(library.readEntry(0, e));
  EXPECT_THAT(e.candidates, ElementsAre(PatternCandidate{at(3, 3), 1, 1, 0}, PatternCandidate{at(15, 3), 1, 0, 1}));
}

TEST(GlobalAdderTest, SetupStonesArePlacedBeforeTheMoveOfTheirEntry) {
  GameRecord game;
  MoveEntry setup;
  setup.flags = MoveEntry::kSetup;
  setup.blackSetup = {at(3, 3), at(15, 15)};
  game.append(setup);
  MoveEntry both;
  both.flags = MoveEntry::kSetup | MoveEntry::kMove;
  both.whiteSetup = {at(9, 9)};
  both.colour = White;
  both.point = at(15, 3);
  game.append(both);
  PatternLibrary library;
  EXPECT_EQ(addRecordToGlobalLibrary(library, game, GameInfo::WhiteWins, 3), 1);
  Board board;
  board.setPoints({at(3, 3), at(15, 15)}, Black);
  board.setPoints({at(9, 9)}, White);
  PatternEntry e = entryFor(library, board, White);
  EXPECT_THAT(e.occurrences, ElementsAre(PatternOccurrence{3, 1, static_cast<std::int16_t>(at(15, 3))}));
}

TEST(LocalAdderTest, CountsMovesThatJoinOneClusterOfUpToFiftyStones) {
  PatternLibrary library;
  // Move i makes a cluster of i + 1 stones: moves 1..49 are recorded, from move 50 on it is too big.
  EXPECT_EQ(addRecordToLocalLibrary(library, spacedGame(120), GameInfo::NoWinner, 0), 49);
  ASSERT_EQ(library.entryCount(), 49);
  PatternEntry e;
  ASSERT_TRUE(library.readEntry(0, e));
  EXPECT_EQ(e.snapshot.blackCount, 1);
  EXPECT_EQ(e.side, White);
  // Without a winner only played counts.
  EXPECT_THAT(e.candidates, ElementsAre(PatternCandidate{2, 1, 0, 0}));
  PatternLibrary global;
  EXPECT_EQ(addRecordToGlobalLibrary(global, spacedGame(120), GameInfo::NoWinner, 0), 0);
}

TEST(LocalAdderTest, RecordsOnlyMovesThatAddOneStoneToOneCluster) {
  struct Case {
    const char* what;
    std::vector<Point> moves;
    int recorded;
  } cases[] = {
      {"joins a cluster", {at(3, 3), at(5, 3)}, 1},
      {"lone stone", {at(3, 3), at(15, 15)}, 0},
      // Black's last move takes the white stone at (1,1): the cluster before it had that stone.
      {"captures", {at(1, 0), at(1, 1), at(0, 1), at(18, 18), at(2, 1), at(10, 18), at(1, 2)}, 3},
      // (5,0) reaches both the stone at (0,0) and the one at (10,0).
      {"merges two clusters", {at(0, 0), at(18, 18), at(10, 0), at(10, 18), at(5, 0)}, 0},
      {"first move alone is not enough", {at(3, 3)}, 0},
  };
  for (const auto& c : cases) {
    PatternLibrary library;
    EXPECT_EQ(addRecordToLocalLibrary(library, gameOf(c.moves), GameInfo::BlackWins, 0), c.recorded) << c.what;
  }
}

TEST(LocalAdderTest, StoresTheClusterAsItWasBeforeTheMove) {
  PatternLibrary library;
  ASSERT_EQ(addRecordToLocalLibrary(library, gameOf({at(3, 3), at(15, 15), at(4, 5)}), GameInfo::BlackWins, 4), 1);
  Board before;
  before.setPoints({at(3, 3)}, Black);
  PatternEntry e = entryFor(library, before, Black);
  EXPECT_THAT(e.candidates, ElementsAre(PatternCandidate{at(4, 5), 1, 1, 0}));
  EXPECT_THAT(e.occurrences, ElementsAre(PatternOccurrence{4, 2, static_cast<std::int16_t>(at(4, 5))}));
}

TEST(RecordMoveTest, LibraryThatCannotStoreEndsTheGameAndSaysSo) {
  test::ScratchDir dir;
  PatternLibrary empty;
  ASSERT_TRUE(empty.writeData(dir.file("empty.wp2")));
  PatternLibrary readOnly;
  ASSERT_TRUE(readOnly.openData(dir.file("empty.wp2")));
  bool failed = false;
  EXPECT_EQ(addRecordToGlobalLibrary(readOnly, spacedGame(10), GameInfo::BlackWins, 0, 50, &failed), 0);
  EXPECT_TRUE(failed);
  failed = false;
  EXPECT_EQ(addRecordToLocalLibrary(readOnly, spacedGame(10), GameInfo::BlackWins, 0, 150, &failed), 0);
  EXPECT_TRUE(failed);
  failed = false;
  PatternLibrary memory;
  EXPECT_EQ(addRecordToGlobalLibrary(memory, spacedGame(10), GameInfo::BlackWins, 0, 50, &failed), 10);
  EXPECT_FALSE(failed);
}

TEST(RecordMoveTest, WarehouseLibraryMatchesMemoryLibrary) {
  test::ScratchDir dir;
  PatternLibrary memory;
  PatternLibrary warehouse;
  ASSERT_TRUE(warehouse.createWarehouse(dir.file("w.aos")));
  const std::vector<GameRecord> games = {spacedGame(60), gameOf({at(3, 3), at(15, 15), at(4, 5)}),
                                         gameOf({at(15, 3), at(3, 15), at(14, 5)}), spacedGame(30)};
  for (size_t g = 0; g < games.size(); ++g) {
    const int winner = g % 2 == 0 ? GameInfo::BlackWins : GameInfo::WhiteWins;
    EXPECT_EQ(addRecordToGlobalLibrary(memory, games[g], winner, static_cast<int>(g)),
              addRecordToGlobalLibrary(warehouse, games[g], winner, static_cast<int>(g)));
    EXPECT_EQ(addRecordToLocalLibrary(memory, games[g], winner, static_cast<int>(g)),
              addRecordToLocalLibrary(warehouse, games[g], winner, static_cast<int>(g)));
  }
  ASSERT_EQ(memory.entryCount(), warehouse.entryCount());
  for (int n = 0; n < memory.entryCount(); ++n) {
    PatternEntry a;
    PatternEntry b;
    ASSERT_TRUE(memory.readEntry(n, a));
    ASSERT_TRUE(warehouse.readEntry(n, b));
    EXPECT_EQ(a, b) << n;
  }
}

}  // namespace
}  // namespace mh
