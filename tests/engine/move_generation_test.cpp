#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/analysis_engine.h"
#include "model/board_snapshot.h"
#include "patterns/pattern_library.h"
#include "shapes/shape_table.h"
#include "support/board_diagram.h"

namespace mh {
namespace {

struct Stone {
  int x;
  int y;
  int colour;
};

Board board19(const std::vector<Stone>& stones) {
  Board b(19, 19);
  for (const Stone& s : stones) b.set(b.point(s.x, s.y), s.colour);
  return b;
}

PointList points(const Board& b, const std::vector<std::pair<int, int>>& xy) {
  PointList out;
  for (const auto& [x, y] : xy) out.push_back(b.point(x, y));
  return out;
}

// The candidates the engine generates for colour on board.
PointList candidates(AnalysisEngine& engine, const Board& board, int colour) {
  engine.SetBoard(board);
  engine.ChooseMove(colour);
  PointList out;
  engine.GenerateMoves(out);
  return out;
}

TEST(MoveGenerationTest, OpeningSourcesInTheirOrder) {
  struct Case {
    const char* name;
    std::vector<Stone> stones;
    int colour;
    std::vector<std::pair<int, int>> expected;
  };
  const std::vector<Case> cases = {
      {"empty board: the sixteen corner points, corners in order",
       {},
       Black,
       {{3, 15}, {3, 16}, {2, 15}, {2, 16}, {15, 15}, {15, 16}, {16, 15}, {16, 16},
        {3, 3}, {3, 2}, {2, 3}, {2, 2}, {15, 3}, {15, 2}, {16, 3}, {16, 2}}},
      {"one corner taken: the three empty ones",
       {{3, 3, White}},
       Black,
       {{3, 15}, {3, 16}, {2, 15}, {2, 16}, {15, 15}, {15, 16}, {16, 15}, {16, 16}, {15, 3}, {15, 2}, {16, 3}, {16, 2}}},
      {"corners taken: the empty sides",
       {{3, 3, White}, {15, 3, White}, {3, 15, White}, {15, 15, White}, {9, 3, Black}},
       Black,
       {{9, 15}, {9, 16}, {3, 9}, {2, 9}, {15, 9}, {16, 9}}},
      {"every region taken, only the lower side open: its middle on the third line",
       {{3, 3, White}, {15, 3, White}, {3, 15, White}, {15, 15, White}, {9, 12, Black}, {9, 2, Black},
        {2, 9, Black}, {16, 9, Black}},
       Black,
       {{9, 16}}},
      {"a lone third-line stone extends three both ways",
       {{3, 3, White}, {15, 3, White}, {3, 15, White}, {15, 15, White}, {9, 16, Black}, {9, 2, White},
        {2, 9, White}, {16, 9, White}},
       Black,
       {{6, 16}, {12, 16}}},
  };
  for (const Case& c : cases) {
    AnalysisEngine engine;
    const Board b = board19(c.stones);
    EXPECT_EQ(candidates(engine, b, c.colour), points(b, c.expected)) << c.name;
  }
}

TEST(MoveGenerationTest, NothingBeforeAChoiceAndPassWithoutCandidates) {
  AnalysisEngine engine;
  PointList out{7};
  EXPECT_EQ(engine.GenerateMoves(out), 0);
  EXPECT_TRUE(out.empty());
  // A small board has no opening moves and no shapes: the engine passes instead of naming a point.
  engine.SetBoard(Board(9, 9));
  EXPECT_EQ(engine.ChooseMove(Black), kNoPoint);
}

TEST(MoveGenerationTest, LibraryMoveComesFirstUnlessIllegal) {
  const Board b = board19({{3, 3, Black}});
  for (const auto& [point, taken] : {std::pair{b.point(3, 3), false}, std::pair{b.point(16, 16), true}}) {
    PatternLibrary global;
    PatternEntry entry;
    entry.snapshot = b.snapshot();
    entry.side = White;
    entry.insertCandidate({point, 5, 3, 2});
    ASSERT_TRUE(global.add(entry));
    AnalysisEngine engine({&global, nullptr, nullptr});
    const PointList moves = candidates(engine, b, White);
    if (taken) {
      EXPECT_EQ(moves, PointList{point});
    } else {
      EXPECT_EQ(moves.size(), 12u) << "the occupied library point is ignored; the empty corners follow";
      EXPECT_EQ(std::count(moves.begin(), moves.end(), point), 0);
    }
  }
}

TEST(MoveGenerationTest, ShapeRulesOfSmallClusters) {
  // Three black stones around a white one: Black takes it; White runs out of the mouth.
  const Board mouth = board19({{3, 3, Black}, {2, 4, Black}, {4, 4, Black}, {3, 4, White}});
  AnalysisEngine engine;
  EXPECT_EQ(candidates(engine, mouth, Black), points(mouth, {{3, 5}}));
  for (Point p : candidates(engine, mouth, White)) EXPECT_EQ(engine.ColourAt(p), Empty);

  // A black stone touching a white one: the pair rule answers with the hane points.
  const Board pair = board19({{9, 9, Black}, {9, 10, White}});
  const PointList hane = candidates(engine, pair, Black);
  EXPECT_FALSE(hane.empty());
  for (Point p : hane) EXPECT_EQ(relationCode(19, 19, p, pair.point(9, 10)), 0) << "next to the white stone";
}

TEST(MoveGenerationTest, ReproducibleFromTheSeed) {
  const Board empty(19, 19);
  std::vector<Point> first;
  for (int run = 0; run < 2; ++run) {
    std::vector<Point> chosen;
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
      AnalysisEngine engine;
      engine.seed(seed);
      engine.SetBoard(empty);
      chosen.push_back(engine.ChooseMove(Black));
    }
    if (run == 0) first = chosen;
    else EXPECT_EQ(chosen, first);
  }
  // Eight seeds over sixteen equal corner points do not all agree.
  EXPECT_NE(std::count(first.begin(), first.end(), first.front()), 8);
}

TEST(MoveEvaluationTest, ScoresTheChangeInWhatEachSideThreatens) {
  // The black stone in atari is threatened before it extends and not after: the move's own pair
  // gains the threat White loses. The other pair is left at zero.
  AnalysisEngine engine;
  engine.SetBoard(test::boardFromDiagram(R"(
      . . . . .
      . O O O .
      . O X O .
      . . . . .
      . . . . .)"));
  MoveScore saving;
  engine.EvaluateMove(Black, engine.board().point(2, 3), saving);
  EXPECT_EQ(saving.own, (ScorePair{0, 2}));
  EXPECT_EQ(saving.other, ScorePair{});
  EXPECT_FLOAT_EQ(saving.value(), 1);

  MoveScore worse;
  worse.own = {2, 0};
  worse.other = {2, 2};
  EXPECT_EQ(saving.Compare(worse), 1);
  EXPECT_EQ(worse.Compare(saving), -1);
  worse.CopyFrom(saving);
  EXPECT_EQ(worse.Compare(saving), 0);
}

}  // namespace
}  // namespace mh
