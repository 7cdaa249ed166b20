#include "room/counting.h"

#include <gtest/gtest.h>

#include <string>

#include "model/area_count.h"
#include "model/game_state.h"
#include "support/board_diagram.h"

namespace mh {
namespace {

using test::boardFromDiagram;

// A full 19 x 19 board: the first `black` points black, the rest white, so the area counts are
// exactly black and 361 - black.
Board filledBoard(int black) {
  Board board;
  for (Point p = 0; p < 361; ++p) board.set(p, p < black ? Black : White);
  return board;
}

// A one-row board "<blackTerritory empty>XO<whiteTerritory empty>": each side owns the empty run
// on its side, and has one stone on the board.
Board strip(int blackTerritory, int whiteTerritory) {
  Board board(blackTerritory + 2 + whiteTerritory, 1);
  board.set(blackTerritory, Black);
  board.set(blackTerritory + 1, White);
  return board;
}

CountRequest request(Board board, int ruleType, double komi, int handicap = 0) {
  CountRequest q;
  q.board = std::move(board);
  q.ruleType = ruleType;
  q.komi = komi;
  q.handicap = handicap;
  return q;
}

std::string joined(const CountReport& r) { return r.lines[0] + "/" + r.lines[1] + "/" + r.lines[2] + "/" + r.lines[3]; }

TEST(CountReport, LinesAndWinnerUnderBothRules) {
  struct Case {
    const char* name;
    CountRequest request;
    const char* lines;
    int winner;
  };
  CountRequest japanese = request(strip(60, 55), GameSettings::Japanese, 6.5);
  japanese.blackPlaced = 1 + 3;  // the stone on the board and three taken off
  japanese.whitePlaced = 1 + 5;
  CountRequest japaneseDraw = request(strip(10, 4), GameSettings::Japanese, 6.0);
  japaneseDraw.blackPlaced = japaneseDraw.whitePlaced = 1;
  const Case cases[] = {
      {"chinese", request(filledBoard(185), GameSettings::Chinese, 3.75),
       "结果:/黑: 185-3.75(贴子)=181.25/白: 176+3.75(贴子)=179.75/黑胜  0.75 子", Black},
      {"chineseNoKomi", request(filledBoard(180), GameSettings::Chinese, 0),
       "结果:/黑: 180-0.00(贴子)=180.00/白: 181+0.00(贴子)=181.00/白胜  0.50 子", White},
      {"handicapOneGivesNothingBack", request(filledBoard(185), GameSettings::Chinese, 3.75, 1),
       "结果:/黑: 185-3.75(贴子)=181.25/白: 176+3.75(贴子)=179.75/黑胜  0.75 子", Black},
      {"handicapFourGivesThreeBack", request(filledBoard(185), GameSettings::Chinese, 0, 4),
       "结果:/黑: 185-0.00(贴子)-3(让子)=182.00/白: 176+0.00(贴子)=176.00/黑胜  3.00 子", Black},
      {"chineseDraw", request(filledBoard(181), GameSettings::Chinese, 0.5),
       "结果:/黑: 181-0.50(贴子)=180.50/白: 180+0.50(贴子)=180.50/平局  ", Empty},
      {"japanese", japanese, "结果:/黑方: 60(空)+5(白子)=65/白方: 55(空)+3(黑子)+6.5(贴目)=64.5/黑胜  0.5目", Black},
      {"japaneseDraw", japaneseDraw, "结果:/黑方: 10(空)+0(白子)=10/白方: 4(空)+0(黑子)+6.0(贴目)=10.0/平局  ",
       Empty},
      {"emptyBoardChinese", request(Board(), GameSettings::Chinese, 3.75),
       "结果:/黑: 0-3.75(贴子)=-3.75/白: 0+3.75(贴子)=3.75/白胜  3.75 子", White},
      {"emptyBoardJapanese", request(Board(), GameSettings::Japanese, 6.5),
       "结果:/黑方: 0(空)+0(白子)=0/白方: 0(空)+0(黑子)+6.5(贴目)=6.5/白胜  6.5目", White},
  };
  for (const Case& c : cases) {
    const auto report = countGame(c.request);
    ASSERT_TRUE(report) << c.name;
    EXPECT_EQ(joined(*report), c.lines) << c.name;
    EXPECT_EQ(report->winner, c.winner) << c.name;
    EXPECT_EQ(report->resultText, report->lines[3]) << c.name;
  }
}

TEST(CountReport, OnlyTheTwoRuleTypesCount) {
  for (int type : {0, 3, -1}) EXPECT_FALSE(countGame(request(filledBoard(185), type, 3.75))) << type;
}

TEST(CountReport, WordsComeFromTheCaller) {
  CountWords words;
  words.result = "Result";
  words.black = "B";
  words.white = "W";
  words.komiStones = "komi";
  words.whiteWins = "W+";
  words.stones = "stones";
  const auto report = countGame(request(filledBoard(180), GameSettings::Chinese, 0), words);
  ASSERT_TRUE(report);
  EXPECT_EQ(joined(*report), "Result:/B: 180-0.00(komi)=180.00/W: 181+0.00(komi)=181.00/W+  0.50 stones");
}

// ---- Regions and dead stones ----------------------------------------------------------------

// Black owns the left, White the right; the middle column touches both. The lone black stone at
// the top right sits in White's area.
constexpr const char* kSplitBoard = R"(
    . . X . O . X
    . . X . O . .
    . . X . O . .
    . . X . O . .)";

TEST(CountRegions, ARegionTouchingBothColoursIsNobodysTerritory) {
  const Board board = boardFromDiagram(kSplitBoard);
  const auto chinese = countGame(request(board, GameSettings::Chinese, 0));
  ASSERT_TRUE(chinese);
  EXPECT_EQ(chinese->blackArea, areaCount(board).black);
  EXPECT_EQ(chinese->whiteArea, areaCount(board).white);

  CountRequest japanese = request(board, GameSettings::Japanese, 0);
  japanese.blackPlaced = 5;
  japanese.whitePlaced = 4;
  const auto territory = countGame(japanese);
  ASSERT_TRUE(territory);
  EXPECT_EQ(territory->blackArea, 8);
  EXPECT_EQ(territory->whiteArea, 0);
  EXPECT_EQ(territory->blackMarks.size(), 8u);
  EXPECT_TRUE(territory->whiteMarks.empty());
}

TEST(CountRegions, ADeadStoneIsTerritoryAndACapture) {
  const Board board = boardFromDiagram(kSplitBoard);
  const Point lone = board.point(6, 0);
  CountRequest q = request(board, GameSettings::Japanese, 0);
  q.dead = {lone, lone, board.point(1, 1)};  // repeated, and an empty point: neither counts again
  q.blackPlaced = 5 + 2;                     // two more black stones were taken off earlier
  q.whitePlaced = 4;
  const auto report = countGame(q);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->whiteArea, 8) << "the dead stone's point joins White's area";
  EXPECT_EQ(report->blackCaptured, 3) << "two taken off plus the dead one";
  EXPECT_EQ(report->whiteScore, 11);
  EXPECT_TRUE(std::binary_search(report->whiteMarks.begin(), report->whiteMarks.end(), lone));

  q.ruleType = GameSettings::Chinese;
  const auto area = countGame(q);
  ASSERT_TRUE(area);
  EXPECT_EQ(area->blackArea, 12);
  EXPECT_EQ(area->whiteArea, 12);
}

TEST(CountRegions, ChineseMarksEveryPointJapaneseOnlyTerritory) {
  const Board board = boardFromDiagram(R"(
    . X O .
    . X O .)");
  CountRequest q = request(board, GameSettings::Chinese, 0);
  const auto area = countGame(q);
  ASSERT_TRUE(area);
  EXPECT_EQ(area->blackMarks, (PointList{0, 1, 4, 5}));
  EXPECT_EQ(area->whiteMarks, (PointList{2, 3, 6, 7}));
  q.ruleType = GameSettings::Japanese;
  q.blackPlaced = q.whitePlaced = 2;
  const auto territory = countGame(q);
  ASSERT_TRUE(territory);
  EXPECT_EQ(territory->blackMarks, (PointList{0, 4}));
  EXPECT_EQ(territory->whiteMarks, (PointList{3, 7}));
}

TEST(CountRegions, CountingLeavesTheBoardAsItWas) {
  const Board board = boardFromDiagram(kSplitBoard);
  CountRequest q = request(board, GameSettings::Chinese, 0);
  q.dead = {board.point(6, 0)};
  ASSERT_TRUE(countGame(q));
  EXPECT_EQ(q.board, board);
}

TEST(CountRegions, DeadStringsCoverWholeStringsOnce) {
  const Board board = boardFromDiagram(R"(
    X X . O
    . X . O
    . . . .)");
  // Two points of one string, an empty point and a point off the board.
  EXPECT_EQ(deadStringStones(board, {0, 5, 2, 99}), (PointList{0, 1, 5}));
  EXPECT_EQ(deadStringStones(board, {7}), (PointList{3, 7}));
  EXPECT_TRUE(deadStringStones(board, {}).empty());
}

// ---- The position a room counts -------------------------------------------------------------

// Black captures a white stone at move 4; counting earlier must not report it.
TEST(CountPosition, CapturesAreThoseUpToTheShownPosition) {
  GameState game;
  game.startEmpty();
  const Board& b = game.board();
  // White b1 is surrounded by a1 (black), c1, b2 (black last).
  const Coord moves[] = {{0, 0}, {1, 0}, {2, 0}, {10, 10}, {1, 1}};
  for (const Coord& m : moves) ASSERT_TRUE(game.play(game.sideToMove(), b.point(m.x, m.y)));
  GameSettings settings;
  settings.ruleType = GameSettings::Japanese;
  settings.komi = 0;

  const auto atEnd = countGame(countRequest(game.view(), settings, {}));
  ASSERT_TRUE(atEnd);
  EXPECT_EQ(atEnd->whiteCaptured, 1);

  ASSERT_TRUE(game.goTo(4));
  const auto before = countGame(countRequest(game.view(), settings, {}));
  ASSERT_TRUE(before);
  EXPECT_EQ(before->whiteCaptured, 0);
  EXPECT_EQ(before->blackCaptured, 0);
}

// ---- The stored result ------------------------------------------------------------------------

TEST(CountResult, StoredAsGbAndADrawKeepsTheWinner) {
  GameInfo info;
  info.setWinner(GameInfo::WhiteWins);
  const auto win = countGame(request(filledBoard(185), GameSettings::Chinese, 3.75));
  ASSERT_TRUE(win);
  storeCountResult(*win, info);
  EXPECT_EQ(info.winner(), GameInfo::BlackWins);
  EXPECT_EQ(info.resultText(), "\xBA\xDA\xCA\xA4  0.75 \xD7\xD3");  // 黑胜  0.75 子

  const auto draw = countGame(request(filledBoard(181), GameSettings::Chinese, 0.5));
  ASSERT_TRUE(draw);
  storeCountResult(*draw, info);
  EXPECT_EQ(info.winner(), GameInfo::BlackWins) << "a draw leaves the winner as it was";
  EXPECT_EQ(info.resultText(), "\xC6\xBD\xBE\xD6  ");  // 平局
}

}  // namespace
}  // namespace mh
