#include "room/board_annotations.h"

#include <gtest/gtest.h>

#include "support/board_diagram.h"

namespace mh {
namespace {

using test::boardFromDiagram;

TEST(BoardAnnotations, LabelsUpToFourBytesAndMarksInListOrder) {
  BoardAnnotations a;
  EXPECT_TRUE(a.addLabel(3, kRed, "A"));
  EXPECT_TRUE(a.addLabel(4, kBlue, "A12"));
  EXPECT_TRUE(a.addLabel(5, kBlue, "\xB0\xA1\xB0\xA2")) << "two GB characters fill four bytes";
  EXPECT_FALSE(a.addLabel(6, kRed, "12345"));
  EXPECT_EQ(a.labelCount(), 3);

  a.addMark(10, kMarkTriangle);
  a.addMark(7, kMarkTriangle);
  a.addMark(10, kMarkCircle);
  a.addMark(10, kMarkTriangle);
  EXPECT_EQ(a.marksOfKind(kMarkTriangle), (PointList{10, 7, 10}));
  a.removeMark(10, kMarkTriangle);
  EXPECT_EQ(a.marksOfKind(kMarkTriangle), (PointList{7})) << "every equal entry goes";
  EXPECT_TRUE(a.hasMark(10, kMarkCircle));
  a.clear();
  EXPECT_EQ(a.labelCount() + a.markCount(), 0);
}

TEST(BoardAnnotations, DeadStringToggleActsOnTheWholeString) {
  const Board board = boardFromDiagram(R"(
    X X X . O
    . . X . O
    . . . . .
    . . . . .
    . . . . .
  )");
  BoardAnnotations a;
  a.toggleDeadString(board, board.point(0, 0));
  EXPECT_EQ(a.marksOfKind(kMarkDead).size(), 4u);
  // Unmark single stones one by one (as counting may), then toggle the string again: it clears.
  a.removeMark(board.point(1, 0), kMarkDead);
  a.removeMark(board.point(2, 1), kMarkDead);
  a.toggleDeadString(board, board.point(0, 0));
  EXPECT_TRUE(a.marksOfKind(kMarkDead).empty());
  // From an unmarked stone of a partly marked string, the whole string is marked once.
  a.toggleDeadString(board, board.point(0, 0));
  a.removeMark(board.point(1, 0), kMarkDead);
  a.toggleDeadString(board, board.point(1, 0));
  EXPECT_EQ(a.marksOfKind(kMarkDead).size(), 4u);
  a.toggleDeadString(board, board.point(3, 0));
  a.toggleDeadString(board, -1);
  EXPECT_EQ(a.markCount(), 4) << "empty and invalid points change nothing";
  a.toggleDeadString(board, board.point(4, 1));
  EXPECT_EQ(a.marksOfKind(kMarkDead).size(), 6u) << "another string adds its own";
}

TEST(BoardAnnotations, CursorStepsWrapToTheOppositeEdge) {
  const struct {
    int column, row, dColumn, dRow, wantColumn, wantRow;
  } table[] = {
      {17, 4, 3, 0, 0, 4},   // Ctrl+Right from column 17 of 19 gives 0, not 1
      {1, 4, -3, 0, 18, 4},  // Ctrl+Left from 1 gives the last column
      {0, 0, -1, 0, 18, 0},  {18, 0, 1, 0, 0, 0}, {5, 0, 0, -1, 5, 18},
      {5, 18, 0, 1, 5, 0},   {5, 16, 0, 3, 5, 0}, {9, 9, 1, 0, 10, 9}, {9, 9, 0, -3, 9, 6},
  };
  for (const auto& t : table) {
    const Point got = stepCursor(t.row * 19 + t.column, t.dColumn, t.dRow, 19, 19);
    EXPECT_EQ(got, t.wantRow * 19 + t.wantColumn)
        << "from " << t.column << "," << t.row << " by " << t.dColumn << "," << t.dRow;
  }
  EXPECT_EQ(stepCursor(-1, 1, 0, 19, 19), 1) << "a cursor off the board starts at point 0";
}

TEST(BoardAnnotations, CharacterCountOfGbText) {
  EXPECT_EQ(gbCharacterCount(""), 0);
  EXPECT_EQ(gbCharacterCount("A"), 1);
  EXPECT_EQ(gbCharacterCount("A1"), 2);
  EXPECT_EQ(gbCharacterCount("\xB0\xA1"), 1);
  EXPECT_EQ(gbCharacterCount("\xB0\xA1z"), 2);
}

}  // namespace
}  // namespace mh
