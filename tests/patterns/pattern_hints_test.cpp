#include "patterns/pattern_hints.h"

#include <gtest/gtest.h>

#include "model/board_transform.h"
#include "support/board_diagram.h"
#include "support/pattern_entries.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

std::vector<std::string> labelsOf(const HintList& list) {
  std::vector<std::string> labels;
  for (const Hint& h : list.hints) labels.push_back(h.label);
  return labels;
}

TEST(PatternHints, LettersRunThroughBothAlphabetsAndWrap) {
  const struct {
    int n;
    const char* letter;
  } table[] = {{0, "A"}, {25, "Z"}, {26, "a"}, {51, "z"}, {52, "A"}, {53, "B"}, {104, "A"}};
  for (const auto& row : table) EXPECT_EQ(hintLetter(row.n), row.letter) << row.n;
}

TEST(PatternHints, GlobalHintsSkipPassesAndColourByOutcome) {
  PatternLibrary lib;
  const Board empty;
  ASSERT_TRUE(lib.add(test::patternEntry(empty, Black, {{kNoPoint, 9, 5, 4}, {72, 4, 2, 2}, {288, 3, 1, 2}})));
  const HintList list = globalHints(lib, empty, Black);
  ASSERT_EQ(list.hints.size(), 2u);
  EXPECT_EQ(list.hints[0].label, "A") << "the pass takes no letter";
  EXPECT_EQ(list.hints[0].point, 72);
  EXPECT_TRUE(list.hints[0].red()) << "wins equal to losses is red";
  EXPECT_EQ(list.hints[0].rgb(), 0xFF0000u);
  EXPECT_EQ(list.hints[1].label, "B");
  EXPECT_FALSE(list.hints[1].red());
  EXPECT_EQ(list.hints[1].rgb(), 0x0000FFu);
  EXPECT_EQ(list.detailText(), "A, 总:4, 赢:2, 输:2\r\nB, 总:3, 赢:1, 输:2\r\n");

  EXPECT_TRUE(globalHints(lib, empty, White).empty()) << "the side to move is part of the position";
  EXPECT_TRUE(localHints(lib, empty, Black).empty()) << "an empty board has no clusters";
}

TEST(PatternHints, ManyCandidatesWrapTheLetters) {
  PatternLibrary lib;
  const Board empty;
  std::vector<PatternCandidate> many;
  for (int i = 0; i < 60; ++i) many.push_back({i, 60 - i, 0, 0});
  ASSERT_TRUE(lib.add(test::patternEntry(empty, White, many)));
  const auto labels = labelsOf(globalHints(lib, empty, White));
  ASSERT_EQ(labels.size(), 60u);
  EXPECT_EQ(labels[26], "a");
  EXPECT_EQ(labels[52], "A");
}

TEST(PatternHints, AMirroredPositionGivesPointsOnTheQueriedBoard) {
  const Board stored = test::boardFromDiagram(R"(
    . . . . .
    . X . . .
    . . . O .
    . . . . .
    . . . . .)");
  PatternLibrary lib;
  const Point a = stored.point(3, 1), b = stored.point(1, 3);
  ASSERT_TRUE(lib.add(test::patternEntry(stored, Black, {{a, 2, 2, 0}, {b, 1, 0, 1}}, {{7, 12, static_cast<std::int16_t>(a)}})));
  for (int kind = 0; kind < 7; ++kind) {
    const BoardTransform t(kind, 5, 5);
    Board query;
    ASSERT_TRUE(t.mapBoard(stored, query));
    const HintList list = globalHints(lib, query, Black);
    ASSERT_EQ(list.hints.size(), 2u) << kind;
    EXPECT_EQ(list.hints[0].point, t.mapPoint(a)) << kind;
    EXPECT_EQ(list.hints[1].point, t.mapPoint(b)) << kind;
    const auto occ = occurrencesOf(list, list.hints[0]);
    ASSERT_EQ(occ.size(), 1u) << kind;
    EXPECT_EQ(occ[0].game, 7);
    EXPECT_EQ(occ[0].move, 12);
    EXPECT_TRUE(occurrencesOf(list, list.hints[1]).empty());
  }
}

TEST(PatternHints, LocalHintsKeepTheClusterNumberOfEveryCluster) {
  const Board board = test::boardFromDiagram(R"(
    X O . . . . . . . . . . .
    . . . . . . . . . . . . .
    . . . . . . . . . . . . .
    . . . . . . . . . . . . .
    . . . . . . . . . . . . .
    . . . . . . . . . . . . .
    . . . . . . . . . . . . .
    . . . . . . . . . . . . .
    . . . . . . . . . . X . .
    . . . . . . . . . . O X .
    . . . . . . . . . . . . .
    . . . . . . . . . . . . .
    . . . . . . . . . . . . .)");
  Board second(13, 13);
  for (Point p : {board.point(10, 8), board.point(11, 9)}) second.set(p, Black);
  second.set(board.point(10, 9), White);
  PatternLibrary lib;
  ASSERT_TRUE(lib.add(test::patternEntry(second, White, {{board.point(11, 8), 5, 3, 2}, {board.point(9, 9), 2, 0, 2}})));
  const HintList list = localHints(lib, board, White);
  EXPECT_EQ(labelsOf(list), (std::vector<std::string>{"A2", "B2"}));
  EXPECT_EQ(list.hints[0].cluster, 2);
  EXPECT_EQ(list.detailText(), "A2, 总:5, 赢:3, 输:2\r\nB2, 总:2, 赢:0, 输:2\r\n");
}

TEST(PatternHints, WordsFollowTheInterfaceLanguage) {
  PatternLibrary lib;
  const Board empty;
  ASSERT_TRUE(lib.add(test::patternEntry(empty, Black, {{60, 1, 1, 0}})));
  EXPECT_EQ(globalHints(lib, empty, Black, {"total", "won", "lost"}).detailText(), "A, total:1, won:1, lost:0\r\n");
}

// Writes a memory library's data file and the index file made by scanning it.
void writeLibrary(PatternLibrary& memory, const std::string& data, const std::string& index) {
  ASSERT_TRUE(memory.writeData(data));
  PatternLibrary scanned;
  ASSERT_TRUE(scanned.openData(data));
  ASSERT_TRUE(scanned.writeIndex(index));
}

// Library files copied from two pattern bases and mixed up: every answer is the true one or none.
TEST(PatternHints, SwappedLibraryFilesGiveRightHintsOrNone) {
  test::ScratchDir dir;
  PatternLibrary a, b;
  std::vector<Board> positions;
  for (int i = 0; i < 40; ++i) {
    Board board;
    board.set(i, Black);
    board.set(360 - i, White);
    positions.push_back(board);
    ASSERT_TRUE(a.add(test::patternEntry(board, Black, {{100 + i, 3, 2, 1}})));
    Board other = board;
    other.set(180, Black);
    ASSERT_TRUE(b.add(test::patternEntry(other, Black, {{200, 1, 0, 1}})));
    ASSERT_TRUE(b.add(test::patternEntry(board, White, {{201, 1, 0, 1}})));
  }
  writeLibrary(a, dir.file("a.wp2"), dir.file("a.wp2_"));
  writeLibrary(b, dir.file("b.wp2"), dir.file("b.wp2_"));

  PatternLibrary mixed;
  ASSERT_TRUE(mixed.openIndex(dir.file("a.wp2_"), dir.file("b.wp2")));
  for (size_t i = 0; i < positions.size(); ++i) {
    const HintList right = globalHints(a, positions[i], Black);
    const HintList got = globalHints(mixed, positions[i], Black);
    ASSERT_EQ(right.hints.size(), 1u);
    if (!got.empty()) {
      ASSERT_EQ(got.hints.size(), 1u) << i;
      EXPECT_EQ(got.hints[0].point, right.hints[0].point) << i;
    }
  }
}

}  // namespace
}  // namespace mh
