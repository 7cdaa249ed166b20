#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <vector>

#include "process/gnu_go_player.h"
#include "process/headless_match.h"

namespace mh {
namespace {

// moonhaven-engine, started as a room starts GNU Go ("--mode gtp --quiet", "level", "boardsize",
// "play", "reg_genmove"), plays a whole game against GNU Go at level 1 until both pass. The engine's default seed is fixed,
// so the game is the same on every run.
TEST(EngineGtpGameTest, PlaysGnuGoToTwoPasses) {
  const std::string engine = std::string(MOONHAVEN_BINARY_DIR) + "/apps/moonhaven-engine";
  auto black = std::make_shared<GnuGoPlayer>();
  black->setProgramPath(engine);
  auto white = std::make_shared<GnuGoPlayer>();
  white->setLevel(1);
  GameSettings settings;
  settings.komi = 7.5;
  std::vector<PlayedMove> moves;
  const HeadlessMatchResult result =
      runHeadlessMatch(settings, black, white, 800, [&moves](const PlayedMove& m) { moves.push_back(m); });
  // The driver ends a game on the second pass without playing it; a program that died would
  // have ended it too, so both must still run.
  EXPECT_TRUE(black->isRunning());
  EXPECT_TRUE(white->isRunning());
  black->destroy();
  white->destroy();
  ASSERT_FALSE(result.limitReached) << "no end after " << result.moves << " moves";
  ASSERT_GE(moves.size(), 40u) << "both sides played a game, not an early pass";
  EXPECT_EQ(moves[moves.size() - 1].point, kNoPoint) << "the game ends with a pass";
  int engineStones = 0;
  for (const PlayedMove& m : moves) engineStones += m.colour == Black && m.point >= 0 ? 1 : 0;
  EXPECT_GT(engineStones, 20);
}

}  // namespace
}  // namespace mh
