#include "model/game_record.h"

#include <gtest/gtest.h>

#include <cstring>

namespace mh {
namespace {

TEST(GameInfo, FieldsSitAtTheirFixedOffsets) {
  static_assert(sizeof(GameInfo) == GameInfo::kSize);
  GameInfo info;
  EXPECT_TRUE(info.setText(GameInfo::kGameName, "Final"));
  EXPECT_TRUE(info.setText(GameInfo::kBlackName, "\xC0\xEE"));  // GB bytes are stored as they are
  EXPECT_TRUE(info.setText(GameInfo::kBlackRank, "9d"));
  EXPECT_TRUE(info.setText(GameInfo::kWhiteName, "W"));
  EXPECT_TRUE(info.setText(GameInfo::kWhiteRank, "8d"));
  EXPECT_TRUE(info.setText(GameInfo::kRules, "Chinese"));
  info.setWinner(GameInfo::WhiteWins);
  EXPECT_TRUE(info.setText(GameInfo::kResultText, "W+R", GameInfo::kResultTextLimit));

  const auto& b = info.bytes();
  auto at = [&](size_t offset) { return std::string(reinterpret_cast<const char*>(b.data() + offset)); };
  EXPECT_EQ(at(0), "Final");
  EXPECT_EQ(at(100), "\xC0\xEE");
  EXPECT_EQ(at(150), "9d");
  EXPECT_EQ(at(160), "W");
  EXPECT_EQ(at(210), "8d");
  EXPECT_EQ(at(220), "Chinese");
  EXPECT_EQ(b[320], 2);
  EXPECT_EQ(b[321] | b[322] | b[323], 0);
  EXPECT_EQ(at(324), "W+R");
  EXPECT_EQ(info.winner(), 2);
  EXPECT_EQ(info.whiteRank(), "8d");
}

TEST(GameInfo, TooLongTextsLeaveTheFieldEmpty) {
  GameInfo info;
  ASSERT_TRUE(info.setText(GameInfo::kBlackName, "old"));
  EXPECT_FALSE(info.setText(GameInfo::kBlackName, std::string(50, 'x')));
  EXPECT_EQ(info.blackName(), "");
  EXPECT_TRUE(info.setText(GameInfo::kBlackName, std::string(49, 'x')));
  EXPECT_EQ(info.blackName().size(), 49u);
  EXPECT_EQ(info.bytes()[149], 0) << "the NUL stays inside the field";
  EXPECT_EQ(info.bytes()[150], 0) << "the next field is untouched";
  EXPECT_FALSE(info.setText(GameInfo::kResultText, std::string(30, 'r'), GameInfo::kResultTextLimit));
  EXPECT_TRUE(info.setText(GameInfo::kResultText, std::string(29, 'r'), GameInfo::kResultTextLimit));
  EXPECT_FALSE(info.setText(GameInfo::kGameName, std::string("a\0b", 3)));
}

TEST(GameRecord, StartsAs19x19AndEmpty) {
  GameRecord r;
  EXPECT_EQ(r.width(), 19);
  EXPECT_EQ(r.height(), 19);
  EXPECT_EQ(r.entryCount(), 0);
  EXPECT_TRUE(r.initialPosition().isEmpty());
  EXPECT_EQ(r.info(), GameInfo());
  int colour = 5;
  Point p = 5;
  EXPECT_FALSE(r.lastMove(colour, p));
  EXPECT_EQ(colour, 0);
  EXPECT_EQ(p, 0);
}

TEST(GameRecord, AppendMoveAtTurnsOffBoardCoordinatesIntoPasses) {
  GameRecord r;
  SgfNode props;
  props.setValue("C", "hello");
  r.appendMoveAt(Black, 19, 0);
  r.appendMoveAt(White, 3, 3, &props);
  r.appendMoveAt(Black, 0, 19);
  r.appendMoveAt(White, -1, 2);
  ASSERT_EQ(r.entryCount(), 4);
  EXPECT_EQ(r.entries()[0].point, kNoPoint);
  EXPECT_TRUE(r.entries()[0].isPass());
  EXPECT_EQ(r.entries()[1].point, 60);
  EXPECT_EQ(r.entries()[1].properties.comment(), "hello");
  EXPECT_EQ(r.entries()[2].point, kNoPoint) << "a row below the board is a pass, not an invalid point";
  EXPECT_EQ(r.entries()[3].point, kNoPoint);
  int colour = 0;
  Point p = 0;
  EXPECT_TRUE(r.lastMove(colour, p));
  EXPECT_EQ(colour, White);
  EXPECT_EQ(p, kNoPoint);
}

TEST(GameRecord, RemoveLastKeepsSizeInitialPositionAndInformation) {
  GameRecord r;
  ASSERT_TRUE(r.setSize(13, 13));
  r.initialPosition().set(10, Black);
  r.info().setWinner(1);
  for (int i = 0; i < 5; ++i) r.appendMove(i % 2 ? White : Black, i);
  r.removeLast(0);
  r.removeLast(-3);
  EXPECT_EQ(r.entryCount(), 5);
  r.removeLast(2);
  EXPECT_EQ(r.entryCount(), 3);
  EXPECT_EQ(r.entries().back().point, 2);
  r.removeLast(99);
  EXPECT_EQ(r.entryCount(), 0);
  EXPECT_EQ(r.width(), 13);
  EXPECT_EQ(r.initialPosition().get(10), Black);
  EXPECT_EQ(r.info().winner(), 1);
}

TEST(GameRecord, StonesPlacedCountsSetupAndMovesButNotPasses) {
  GameRecord r;
  placeHandicap(4, r.initialPosition());
  for (int i = 0; i < 10; ++i) r.appendMove(i % 2 ? Black : White, 100 + i);
  r.appendMove(White, kNoPoint);
  MoveEntry setup;
  setup.flags = MoveEntry::kSetup;
  setup.blackSetup = {1, 2};
  setup.whiteSetup = {3};
  r.append(setup);
  int black = 0, white = 0;
  r.stonesPlaced(black, white);
  EXPECT_EQ(black, 4 + 5 + 2);
  EXPECT_EQ(white, 5 + 1);
}

TEST(GameRecord, CopiesAreDeepAndClearKeepsTheSize) {
  GameRecord r;
  ASSERT_TRUE(r.setSize(9, 9));
  SgfNode props;
  props.setValue("C", "a");
  r.appendMove(Black, 40, &props);
  r.info().setText(GameInfo::kGameName, "g");
  GameRecord copy;
  copy.copyFrom(r);
  EXPECT_EQ(copy, r);
  copy.entries()[0].properties.setValue("C", "b");
  EXPECT_EQ(r.entries()[0].properties.comment(), "a");

  r.clear();
  EXPECT_EQ(r.width(), 9);
  EXPECT_EQ(r.entryCount(), 0);
  EXPECT_EQ(r.info().gameName(), "");
  r.resetTo19();
  EXPECT_EQ(r.width(), 19);
  EXPECT_EQ(r.initialPosition().width(), 19);
}

}  // namespace
}  // namespace mh
