#include "process/headless_match.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/match_driver.h"
#include "model/random_player.h"
#include "support/scripted_player.h"
#include "support/watchdog.h"

namespace {

using namespace std::chrono_literals;
using mh::PlayedMove;
using mh::RandomPlayer;
using mh::test::Watchdog;

constexpr mh::Point P(int x, int y) { return x + 19 * y; }

std::vector<PlayedMove> collect(mh::HeadlessMatchResult& result, mh::GameSettings settings, std::uint32_t seed,
                                int maxMoves) {
  std::vector<PlayedMove> moves;
  result = mh::runHeadlessMatch(settings, std::make_shared<RandomPlayer>(seed), std::make_shared<RandomPlayer>(seed + 1),
                                maxMoves, [&](const PlayedMove& m) { moves.push_back(m); });
  return moves;
}

TEST(HeadlessMatch, RandomPlayersFinishAGameWithTwoPasses) {
  Watchdog dog(60s);
  mh::HeadlessMatchResult result;
  mh::GameSettings settings;
  settings.blackName = "left";
  settings.whiteName = "right";
  const auto moves = collect(result, settings, 11, 0);
  EXPECT_FALSE(result.limitReached);
  ASSERT_EQ(static_cast<int>(moves.size()), result.moves);
  ASSERT_GT(moves.size(), 50u);
  int passes = 0;
  for (size_t i = 0; i < moves.size(); ++i) {
    EXPECT_EQ(moves[i].number, static_cast<int>(i) + 1);
    EXPECT_EQ(moves[i].colour, i % 2 == 0 ? mh::Black : mh::White) << "move " << i + 1;
    if (moves[i].point == mh::kNoPoint) ++passes;
  }
  EXPECT_EQ(moves.back().point, mh::kNoPoint) << "the first of the two passes is played, the second ends the game";
  EXPECT_EQ(result.record.entryCount(), result.moves) << "every pass is a record entry";
  EXPECT_GT(passes, 0);
  EXPECT_EQ(result.record.info().blackName(), "left");
  EXPECT_EQ(result.record.info().whiteName(), "right");
}

TEST(HeadlessMatch, StopsAtTheMoveLimitAndStartsWithWhiteAfterAHandicap) {
  Watchdog dog(60s);
  mh::HeadlessMatchResult result;
  mh::GameSettings settings;
  settings.handicap = 3;
  const auto moves = collect(result, settings, 5, 12);
  EXPECT_TRUE(result.limitReached);
  EXPECT_EQ(result.moves, 12);
  ASSERT_EQ(moves.size(), 12u);
  EXPECT_EQ(moves.front().colour, mh::White);
  EXPECT_EQ(result.record.initialPosition().get(P(3, 3)), mh::Black) << "the handicap stones stay in the record";
}

TEST(HeadlessMatch, APlayerThatGivesUpEndsTheGame) {
  Watchdog dog(60s);
  auto black = std::make_shared<mh::test::ScriptedPlayer>(std::vector<mh::Point>{P(3, 3), P(4, 4)});
  auto white = std::make_shared<mh::test::ScriptedPlayer>(std::vector<mh::Point>{P(15, 15)});
  std::vector<std::string> lines;
  const auto result = mh::runHeadlessMatch({}, black, white, 100,
                                           [&](const PlayedMove& m) { lines.push_back(mh::playedMoveLine(m)); });
  EXPECT_FALSE(result.limitReached);
  EXPECT_EQ(lines, (std::vector<std::string>{"1 b D16", "2 w Q4", "3 b E15"}));
}

TEST(HeadlessMatch, WritesMoveLines) {
  EXPECT_EQ(mh::playedMoveLine({1, mh::Black, P(3, 15)}), "1 b D4");
  EXPECT_EQ(mh::playedMoveLine({27, mh::White, P(8, 3)}), "27 w J16");
  EXPECT_EQ(mh::playedMoveLine({28, mh::Black, mh::kNoPoint}), "28 b pass");
}

TEST(RandomPlayer, PassesRatherThanFillItsOwnEyesOrRepeatAPosition) {
  // Black everywhere but one-point eyes at every (3i+1, 3j+1).
  mh::Board board;
  for (int y = 0; y < 19; ++y)
    for (int x = 0; x < 19; ++x)
      if (x % 3 != 1 || y % 3 != 1) board.set(P(x, y), mh::Black);
  auto driver = mh::MatchDriver::create();
  driver->gameState().startFrom(board, mh::Black);
  for (int colour : {mh::Black, mh::White}) {  // White may not play there at all: suicide
    RandomPlayer player(1);
    player.attach(colour, *driver);
    EXPECT_EQ(player.getMove(), mh::kNoPoint) << "colour " << colour;
  }
  board.set(P(2, 1), mh::Empty);  // now (1,1) and (2,1) are no eyes
  driver->gameState().startFrom(board, mh::Black);
  RandomPlayer player(2);
  player.attach(mh::Black, *driver);
  // Asked again in the same position, it never makes the same position twice.
  const mh::Point first = player.getMove(), second = player.getMove();
  EXPECT_TRUE((first == P(1, 1) && second == P(2, 1)) || (first == P(2, 1) && second == P(1, 1)))
      << first << " " << second;
  EXPECT_EQ(player.getMove(), mh::kNoPoint);
}

}  // namespace
