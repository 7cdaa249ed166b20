#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/analysis_engine.h"
#include "support/board_diagram.h"

namespace mh {
namespace {

using test::boardFromDiagram;

struct At {
  int x;
  int y;
};

struct ReadingCase {
  const char* name;
  const char* diagram;
  At target;
  // CanCapture: answered, result, and the move when it is 1 (-1, -1: none recorded).
  bool captureAnswered;
  int captureResult;
  At captureMove;
  // CanEscape: result and the saving move (-1, -1: none recorded or none expected).
  int escapeResult;
  At escapeMove;
};

Point pointAt(const Board& board, At a) { return a.x < 0 ? kNoPoint : board.point(a.x, a.y); }

TEST(TacticalReadingTest, AnswersCaptureAndEscapeQuestions) {
  const std::vector<ReadingCase> cases = {
      {"a lone stone in the open has four liberties: no capture answer, it escapes", R"(
          . . . . .
          . . . . .
          . . O . .
          . . . . .
          . . . . .)",
       {2, 2}, false, 0, {-1, -1}, 1, {-1, -1}},
      {"a stone in atari is taken at its liberty and saved by extending", R"(
          . . . . . .
          . . X . . .
          . X O . . .
          . . X . . .
          . . . . . .)",
       {2, 2}, true, 1, {3, 2}, 1, {3, 2}},
      {"a stone in atari on a point where extending is suicide cannot be saved", R"(
          . X O X .
          . . X . .
          . . . . .)",
       {2, 0}, true, 1, {-1, -1}, 0, {-1, -1}},
      {"a stone in atari saved by capturing the stone that ataris it", R"(
          . . . . . .
          . . X O . .
          . X O X O .
          . . . . . .)",
       {2, 2}, true, 1, {2, 3}, 1, {3, 3}},
      {"two diagonal liberties at the edge: the ladder works", R"(
          . . . . . . . . .
          . . . . . . . . .
          . . . . . . . . .
          . . . . . . . . .
          . . . . . . . . .
          . . . . . . . . .
          . . X . . . . . .
          . X O . . . . . .
          . . . . . . . . .)",
       {2, 7}, true, 1, {-1, -1}, 1, {-1, -1}},
      {"a net: blocking one way out leaves the other in atari", R"(
          . . . . . . .
          . . . . . . .
          . . X X . . .
          . X O . . . .
          . X . . . . .
          . . X . . . .
          . . . . . . .)",
       {2, 3}, true, 1, {3, 3}, 1, {3, 3}},
      {"two liberties that each give four: never captured, no trial needed", R"(
          . . . . . . .
          . . . . . . .
          . . . X . . .
          . . X O . . .
          . . . . . . .
          . . . . . . .
          . . . . . . .)",
       {3, 3}, true, 0, {-1, -1}, 1, {-1, -1}},
      {"a snapback: the throw-in on the edge takes the whole string back", R"(
          X X X X .
          O O O X .
          . . O X .)",
       {0, 1}, true, 1, {0, 2}, 0, {-1, -1}},
      {"a two-eyed group is neither capturable nor in need of escape", R"(
          X . X . X O
          X X X X X O
          O O O O O O)",
       {0, 0}, true, 0, {-1, -1}, 1, {-1, -1}},
  };
  for (const ReadingCase& c : cases) {
    AnalysisEngine engine;
    engine.SetBoard(boardFromDiagram(c.diagram));
    const Point p = pointAt(engine.board(), c.target);
    int captured = -1;
    EXPECT_EQ(engine.CanCapture(p, captured), c.captureAnswered) << c.name;
    EXPECT_EQ(captured, c.captureResult) << c.name;
    if (c.captureMove.x >= 0) {
      EXPECT_EQ(engine.captureMoves(p), PointList{pointAt(engine.board(), c.captureMove)}) << c.name;
    }
    engine.readingCounter().sinceReset = 0;
    int escapes = -1;
    EXPECT_TRUE(engine.CanEscape(p, escapes)) << c.name;
    EXPECT_EQ(escapes, c.escapeResult) << c.name;
    if (c.escapeMove.x >= 0) {
      const PointList moves = engine.escapeMoves(p);
      ASSERT_FALSE(moves.empty()) << c.name;
      EXPECT_EQ(moves.back(), pointAt(engine.board(), c.escapeMove)) << c.name;
    }
  }
}

TEST(TacticalReadingTest, LadderBreakerStopsTheLadder) {
  // The same shape as a working ladder on open ground, then with a white stone on its path.
  const char* ladder = R"(
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . X . . . . . .
      . X O . . . . . .
      . . . . . . . . .)";
  const char* broken = R"(
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . X . . . . . .
      . X O . . . . . .
      . . . . O . . . .)";
  for (const auto& [diagram, takes] : {std::pair{ladder, 1}, std::pair{broken, 0}}) {
    AnalysisEngine engine;
    engine.SetBoard(boardFromDiagram(diagram));
    int result = -1;
    EXPECT_TRUE(engine.CanCapture(engine.board().point(2, 7), result)) << diagram;
    EXPECT_EQ(result, takes) << diagram;
  }
}

TEST(TacticalReadingTest, AnswersAreCachedAndRepeatable) {
  AnalysisEngine engine;
  engine.SetBoard(boardFromDiagram(R"(
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . . . . . . . .
      . . X . . . . . .
      . X O . . . . . .
      . . . . . . . . .)"));
  const Point p = engine.board().point(2, 7);
  int first = -1;
  ASSERT_TRUE(engine.CanCapture(p, first));
  const PointList moves = engine.captureMoves(p);
  const std::int64_t readings = engine.readingCounter().readings;
  for (int i = 0; i < 3; ++i) {
    engine.readingCounter().sinceReset = 0;
    int again = -1;
    EXPECT_TRUE(engine.CanCapture(p, again));
    EXPECT_EQ(again, first);
    EXPECT_EQ(engine.captureMoves(p), moves);
  }
  EXPECT_EQ(engine.readingCounter().readings, readings + 3) << "each repeat is one call answered from the cache";
}

TEST(TacticalReadingTest, SpentBudgetFavoursTheDefenderWithoutCaching) {
  AnalysisEngine engine;
  engine.SetBoard(boardFromDiagram(R"(
      . . X . .
      . X O . .
      . . X . .)"));
  const Point p = engine.board().point(2, 1);
  engine.readingCounter().sinceReset = AnalysisEngine::kReadingBudget - 1;
  int escapes = -1;
  EXPECT_TRUE(engine.CanEscape(p, escapes));
  EXPECT_EQ(escapes, 1);
  int captured = -1;
  EXPECT_FALSE(engine.CanCapture(p, captured));
  EXPECT_EQ(captured, 0);
  // Nothing was cached: with a fresh budget the real answers come.
  engine.readingCounter().sinceReset = 0;
  EXPECT_TRUE(engine.CanCapture(p, captured));
  EXPECT_EQ(captured, 1);
  engine.readingCounter().sinceReset = 0;
  EXPECT_TRUE(engine.CanEscape(p, escapes));
  EXPECT_EQ(escapes, 1);
  EXPECT_EQ(engine.escapeMoves(p), PointList{engine.board().point(3, 1)});
}

TEST(TacticalReadingTest, TwoEnginesKeepTheirOwnBudgets) {
  AnalysisEngine a;
  AnalysisEngine b;
  a.readingCounter().sinceReset = AnalysisEngine::kReadingBudget;
  EXPECT_EQ(b.readingCounter().sinceReset, 0);
  b.SetBoard(boardFromDiagram(". X O X .\n. . X . ."));
  int captured = -1;
  EXPECT_TRUE(b.CanCapture(b.board().point(2, 0), captured));
  EXPECT_EQ(captured, 1);
}

TEST(TacticalReadingTest, UnsettledStringsAndTheSlowReadingLog) {
  std::vector<std::string> lines;
  AnalysisEngine engine({}, [&lines](std::string_view line) { lines.emplace_back(line); });
  // Searches this small take well under the slow-reading threshold.
  engine.SetBoard(boardFromDiagram(R"(
      . . . . . .
      . . X . . .
      . X O . . .
      . . X . . .
      . . . . . .)"));
  EXPECT_TRUE(engine.IsUnsettled(engine.board().point(2, 2)));
  EXPECT_FALSE(engine.IsUnsettled(engine.board().point(0, 0))) << "an empty point";
  EXPECT_FALSE(engine.IsUnsettled(engine.board().point(2, 1))) << "a black stone with three liberties";
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(AnalysisEngine::slowReadingEntry("CanEscape", 4, 1, 73, boardFromDiagram("X . O\n. X .")),
            "CanEscape( 4, 1 ), use tm:73\n.O.\nO.X");
}

TEST(EngineStringsTest, QueriesOnStringsAndPoints) {
  AnalysisEngine engine;
  engine.SetBoard(boardFromDiagram(R"(
      . O O . .
      O X X O .
      . O X O .
      . . O . .)"));
  const Board& b = engine.board();
  PointList heads;
  engine.StringHeads(heads);
  EXPECT_EQ(heads.front(), b.point(1, 1)) << "black strings first";
  EXPECT_EQ(heads.size(), 6u);
  int index = -1;
  Point head = kNoPoint;
  EXPECT_TRUE(engine.StringOf(b.point(2, 2), index, head));
  EXPECT_EQ(head, b.point(1, 1));
  EXPECT_EQ(engine.StringSize(b.point(2, 1)), 3);
  EXPECT_FALSE(engine.StringOf(b.point(0, 0), index, head)) << "an empty point is no string";
  EXPECT_EQ(index, -1);
  EXPECT_EQ(engine.StringSize(b.point(0, 0)), 0);
  PointList libs;
  EXPECT_FALSE(engine.Liberties(b.point(0, 0), libs));
  EXPECT_TRUE(engine.Liberties(b.point(1, 1), libs));
  EXPECT_TRUE(libs.empty());
  PointList neighbours;
  engine.NeighbourStrings(b.point(1, 1), neighbours);
  EXPECT_EQ(neighbours.size(), 5u) << "each white string once";
  int flag = -1;
  Point liberty = 7;
  EXPECT_TRUE(engine.AtariPoint(b.point(1, 1), flag, liberty)) << "no liberty is no atari";
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(liberty, kNoPoint);
  EXPECT_FALSE(engine.AtariPoint(b.point(0, 0), flag, liberty));
  EXPECT_EQ(engine.EyeValue(b.point(0, 0)), -1);
  EXPECT_EQ(engine.ColourAt(-1), -1);
  EXPECT_EQ(engine.ColourAt(b.point(1, 1)), Black);
}

TEST(EngineStringsTest, LegalityIsCachedUntilThePositionChanges) {
  AnalysisEngine engine;
  engine.SetBoard(boardFromDiagram(". X .\nX . .\n. . ."));
  EXPECT_TRUE(engine.IsIllegal(White, 0)) << "suicide";
  EXPECT_FALSE(engine.IsIllegal(Black, 0));
  EXPECT_TRUE(engine.IsIllegal(Empty, 4));
  EXPECT_TRUE(engine.IsIllegal(3, 4));
  EXPECT_TRUE(engine.IsIllegal(Black, -1));
  EXPECT_TRUE(engine.IsIllegal(Black, 1)) << "occupied";
  PointList legal;
  EXPECT_EQ(engine.FilterLegal({0, 1, 4, 8}, White, legal), 2);
  EXPECT_EQ(legal, (PointList{4, 8}));

  EXPECT_FALSE(engine.Input(White, 1)) << "an occupied point";
  PointList heads;
  engine.StringHeads(heads);
  EXPECT_EQ(heads.size(), 2u);
  EXPECT_TRUE(engine.Input(White, 4));
  EXPECT_EQ(engine.ColourAt(4), White);
  EXPECT_TRUE(engine.IsIllegal(White, 0)) << "still suicide after the move";
}

}  // namespace
}  // namespace mh
