#include "records/position_report.h"

#include <gtest/gtest.h>

#include "records/sgf_conversion.h"
#include "records/sgf_file.h"

namespace {

using namespace mh;

GameRecord recordOf(const std::string& sgf) {
  GameRecord record;
  const auto root = SgfFile::parse(sgf, false);
  EXPECT_TRUE(root && sgfToRecord(*root, record)) << sgf;
  return record;
}

TEST(PositionReportTest, PrintsInformationAndBoardInUtf8) {
  const GameRecord record = recordOf(
      "(;SZ[5:3]PB[\xBA\xDA\xC6\xE5]BR[9\xB6\xCE]PW[white]RE[W+R]GN[final]RU[Japanese]AB[aa]"
      ";W[ba];B[tt];W[cc])");
  std::string text;
  ASSERT_TRUE(showRecord(record, std::nullopt, text));
  EXPECT_EQ(text,
            "size 5x3\n"
            "black 黑棋 9段\n"
            "white white\n"
            "result 2 W+R\n"
            "game final\n"
            "rules Japanese\n"
            "moves 3\n"
            "position 3 of 3\n"
            "to-move b\n"
            "XO...\n"
            ".....\n"
            "..O..\n");
}

TEST(PositionReportTest, ReplaysToTheChosenPosition) {
  // White starts; a pass hands the move to the other side; setup leaves the side to move alone.
  const GameRecord record = recordOf("(;SZ[3];W[aa];B[];W[bb];AB[cc];B[ab])");
  struct Case {
    int move;
    const char* toMove;
    const char* board;
  };
  const Case cases[] = {
      {0, "w", "...\n...\n...\n"},
      {1, "b", "O..\n...\n...\n"},
      {2, "w", "O..\n...\n...\n"},
      {3, "b", "O..\n.O.\n...\n"},
      {4, "b", "O..\n.O.\n..X\n"},
      {5, "w", "O..\nXO.\n..X\n"},
  };
  for (const auto& c : cases) {
    std::string text;
    ASSERT_TRUE(showRecord(record, c.move, text)) << c.move;
    EXPECT_NE(text.find("position " + std::to_string(c.move) + " of 5\nto-move " + c.toMove + "\n" + c.board),
              std::string::npos)
        << c.move << "\n" << text;
  }
  std::string text;
  EXPECT_FALSE(showRecord(record, 6, text));
  EXPECT_FALSE(showRecord(record, -1, text));
}

}  // namespace
