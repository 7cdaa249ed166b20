#include "room/move_numbers.h"

#include <gtest/gtest.h>

#include "room/record_annotations.h"
#include "support/board_diagram.h"

namespace mh {
namespace {

using test::boardFromDiagram;

std::string numbers(const std::vector<BoardLabel>& labels, const Board& board) {
  std::string out;
  for (const BoardLabel& l : labels) {
    int x = 0, y = 0;
    (void)board.coordinates(l.point, x, y);
    out += l.text + "@" + std::to_string(x) + std::to_string(y) + (l.rgb == kWhiteRgb ? "w " : "b ");
  }
  return out;
}

TEST(MoveNumbers, ModesWalkBackFromTheShownMove) {
  // Eight moves on a 4 x 4 board: move 4 is a pass, the white stone of move 6 is gone, and the
  // point of move 2 holds Black's move 8.
  const Board board = boardFromDiagram(R"(
    X X X .
    X . . .
    . X . .
    . . . .
  )");
  const std::vector<ViewMove> moves{{Black, 0},  {White, 1}, {Black, 2}, {White, kNoPoint},
                                    {Black, 4},  {White, 5}, {Black, 9}, {Black, 1}};
  const struct {
    int mode;
    bool studying;
    std::string want;
  } table[] = {
      {kNumbersOff, false, ""},
      {kNumbersLast, false, "8@10w "},
      // The last five are moves 4..8: the pass and the captured stone carry nothing.
      {kNumbersLastFive, false, "8@10w 7@12w 5@01w "},
      // Move 2's point now holds move 8's black stone: only the later number shows.
      {kNumbersAll, false, "8@10w 7@12w 5@01w 3@20w 1@00w "},
      {kNumbersOff, true, "8@10w 7@12w 5@01w 3@20w 1@00w "},
  };
  for (const auto& t : table)
    EXPECT_EQ(numbers(moveNumberLabels(board, moves, t.mode, t.studying), board), t.want) << "mode " << t.mode;

  const Board white = boardFromDiagram(". O");
  EXPECT_EQ(numbers(moveNumberLabels(white, {{White, 1}}, kNumbersLast, false), white), "1@10b ");
}

TEST(MoveNumbers, ButtonCyclesOffLastFiveAll) {
  int mode = kNumbersOff;
  std::vector<int> seen;
  for (int i = 0; i < 5; ++i) seen.push_back(mode = nextMoveNumberMode(mode));
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 0, 1}));
  EXPECT_EQ(nextMoveNumberMode(7), kNumbersOff);
}

TEST(RecordAnnotations, MarksLabelsAndTheComment) {
  SgfNode node;
  node.addProperty({"TR", "aa", {"bb"}});
  node.addProperty({"CR", "cc", {}});
  node.addProperty({"SQ", "dd", {"zz"}});  // off the board: left out
  node.addProperty({"MA", "ab", {}});
  node.addProperty({"LB", "ee:A", {"ff:12", "gg:toolong"}});
  node.addProperty({"C", "a note", {}});
  BoardAnnotations a;
  EXPECT_EQ(addRecordAnnotations(node, 19, 19, a), "a note");
  EXPECT_EQ(a.marks(), (std::vector<BoardMark>{{0, kMarkTriangle}, {20, kMarkTriangle}, {40, kMarkCircle},
                                               {60, kMarkSquare}, {19, kMarkCross}}));
  EXPECT_EQ(a.labels(), (std::vector<BoardLabel>{{80, kBlue, "A"}, {100, kBlue, "12"}}))
      << "a label longer than four bytes is refused";

  BoardAnnotations none;
  EXPECT_EQ(addRecordAnnotations(SgfNode(), 19, 19, none), "");
  EXPECT_EQ(none.markCount() + none.labelCount(), 0);
}

TEST(RecordAnnotations, CommentFollowsTheHintsAfterASeparator) {
  EXPECT_EQ(appendComment("A, x\r\n", "note"), "A, x\r\n\r\n---------------\r\n\r\nnote");
  EXPECT_EQ(appendComment("", "note"), "note");
  EXPECT_EQ(appendComment("A, x\r\n", ""), "A, x\r\n");
}

}  // namespace
}  // namespace mh
