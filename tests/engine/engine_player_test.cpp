#include <gtest/gtest.h>

#include <memory>

#include "engine/engine_move_chooser.h"
#include "model/game_state.h"
#include "model/random_player.h"
#include "process/headless_match.h"
#include "room/counting.h"
#include "support/board_diagram.h"

namespace mh {
namespace {

using test::boardFromDiagram;

const auto kAnyPoint = [](Point) { return true; };

TEST(EngineCompletionTest, PlainMovesInOrderOfUse) {
  struct Case {
    const char* name;
    const char* diagram;
    int colour;
    int x;  // -1: pass
    int y;
  };
  const std::vector<Case> cases = {
      {"takes a stone in atari", R"(
          . . . . .
          . X O X .
          . . X . .
          . . . . .
          . . . . .)",
       Black, 2, 0},
      {"saves its own stone in atari", R"(
          . . . . .
          . . O . .
          . O X O .
          . . . . .
          . . . . .)",
       Black, 2, 3},
      {"passes when every region belongs to one side", R"(
          . X O . .
          X X O O .
          X O O . O
          . X O O .
          X . X O O)",
       Black, -1, -1},
      {"never fills its own eyes nor throws a stone into atari for nothing", R"(
          . X O O O
          X X O . O
          X O O O O
          . X O . O
          X . X O O)",
       Black, -1, -1},
  };
  for (const Case& c : cases) {
    EngineMoveChooser chooser({}, {}, 1);
    const Board board = boardFromDiagram(c.diagram);
    const Point expected = c.x < 0 ? kNoPoint : board.point(c.x, c.y);
    EXPECT_EQ(chooser.completionMove(board, c.colour, kAnyPoint), expected) << c.name;
  }
}

TEST(EngineCompletionTest, AMoveTheGameRefusesIsReplaced) {
  // The engine's opening choice on an empty board is a corner point; with every corner point
  // refused (as ko would refuse one) the chooser still finds a move.
  const Board empty(19, 19);
  EngineMoveChooser chooser({}, {}, 3);
  const Point free = chooser.choose(empty, Black, [&](Point p) {
    int x = 0, y = 0;
    empty.coordinates(p, x, y);
    return !((x == 2 || x == 3 || x == 15 || x == 16) && (y == 2 || y == 3 || y == 15 || y == 16));
  });
  EXPECT_GE(free, 0);
  EXPECT_FALSE(chooser.lastFromEngine());
}

TEST(EngineMatchTest, BeatsTheRandomPlayer) {
  // A few fixed-seed games of the hundred the figures program plays (moonhaven_engine_figures
  // --games 100), both colours.
  for (std::uint32_t seed = 1; seed <= 4; ++seed) {
    const bool engineBlack = seed % 2 == 1;
    auto engine = std::make_shared<EngineMatchPlayer>(EngineLibraries{}, EngineLog{}, seed);
    auto random = std::make_shared<RandomPlayer>(seed * 7919u + 1);
    const HeadlessMatchResult result = runHeadlessMatch(
        GameSettings{}, engineBlack ? std::shared_ptr<Player>(engine) : random,
        engineBlack ? std::shared_ptr<Player>(random) : engine, 1000, nullptr);
    EXPECT_FALSE(result.limitReached) << "seed " << seed;
    GameState state;
    state.load(result.record);
    CountRequest request;
    request.board = state.board();
    request.ruleType = GameSettings::Chinese;
    const CountReport count = *countGame(request);  // area counting, every stone alive
    const int own = engineBlack ? count.blackArea : count.whiteArea;
    const int theirs = engineBlack ? count.whiteArea : count.blackArea;
    EXPECT_GT(own, theirs) << "seed " << seed << " after " << result.moves << " moves";
  }
}

}  // namespace
}  // namespace mh
