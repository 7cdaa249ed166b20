#include "room/room_title.h"

#include <gtest/gtest.h>

#include "room/room_sounds.h"

namespace mh {
namespace {

GameInfo infoWith(const char* black, const char* blackRank, const char* white, const char* whiteRank,
                  const char* result) {
  GameInfo info;
  info.setText(GameInfo::kBlackName, black);
  info.setText(GameInfo::kBlackRank, blackRank);
  info.setText(GameInfo::kWhiteName, white);
  info.setText(GameInfo::kWhiteRank, whiteRank);
  info.setText(GameInfo::kResultText, result);
  return info;
}

// The title and the information box's lines of the same record.
TEST(RoomTitle, FileNamePlayersAndMoveNumber) {
  GameInfo named = infoWith("b", "", "", "2d", "");
  named.setText(GameInfo::kGameName, "\xB1\xAD\xC8\xFC");  // 杯赛
  const struct {
    const char* name;
    int number;
    std::string path;
    GameInfo info;
    int move;
    bool big5;
    std::string want;
    std::string wantInfo;
  } table[] = {
      {"a new game", 100, "", GameInfo(), 0, false, "100棋室( 无名文件 -- 无比赛信息 -- 手数:0 )", ""},
      {"a record", 101, "/home/me/go/game one.SGF", infoWith("\xBA\xDA\xD7\xD3", "9\xB6\xCE", "bob", "", "W+R"), 57,
       false, "101棋室( game one.SGF -- 黑子 9段(黑) VS bob (白)(结果: W+R) -- 手数:57 )",
       "黑: 黑子 9段\r\n白: bob\r\n结果: W+R"},
      {"a result alone is information", 102, "x.sgf", infoWith("", "", "", "", "B+"), 3, false,
       "102棋室( x.sgf --  (黑) VS  (白)(结果: B+) -- 手数:3 )", "结果: B+"},
      // 这 becomes 這 in BIG5; 为 maps to a traditional form BIG5 lacks and shows "?".
      {"shown in BIG5", 103, "", infoWith("\xD5\xE2\xCE\xAA", "", "w", "", ""), 1, true,
       "103棋室( 无名文件 -- 這? (黑) VS w (白)(结果: ) -- 手数:1 )", "黑: 這?\r\n白: w"},
      {"the game's name, a rank alone", 104, "y.gib", named, 0, false,
       "104棋室( y.gib -- b (黑) VS  2d(白)(结果: ) -- 手数:0 )", "杯赛\r\n黑: b\r\n白: 2d"},
  };
  for (const auto& t : table) {
    EXPECT_EQ(roomTitle(t.number, t.path, t.info, t.move, t.big5), t.want) << t.name;
    EXPECT_EQ(gameInfoText(t.info, t.big5), t.wantInfo) << t.name;
  }
  EXPECT_EQ(roomTabText(104), "104棋室");
  mh::RoomTitleWords english;
  english.room = "Room %1";
  EXPECT_EQ(roomTabText(104, english), "Room 104");
  english.room = " room";  // no place for the number: in front, as the Chinese name has it
  EXPECT_EQ(roomTabText(7, english), "7 room");
}

TEST(RoomTitle, RoomNumbersContinueFromTheHighestOpenRoom) {
  EXPECT_EQ(nextRoomNumber({}), 100);
  EXPECT_EQ(nextRoomNumber({100}), 101);
  EXPECT_EQ(nextRoomNumber({101}), 102) << "room 100 closed while 101 is open";
  EXPECT_EQ(nextRoomNumber({105, 101}), 106);
  EXPECT_EQ(nextRoomNumber({7}), 100);
}

TEST(RoomSounds, ChoiceByCapturesPendingAndMode) {
  const struct {
    int pending;
    bool placed;
    size_t captured;
    int want;
  } table[] = {
      {kNoSound, true, 0, kStoneSound},         {kNoSound, true, 1, kCaptureOneSound},
      {kNoSound, true, 2, kCaptureSomeSound},   {kNoSound, true, 9, kCaptureSomeSound},
      {kNoSound, true, 10, kCaptureManySound},  {kNoSound, false, 3, kNoSound},
      {kStoneSound, false, 0, kStoneSound},     {kSilentRefresh, true, 1, kNoSound},
      {kSilentRefresh + 5, true, 0, kNoSound},  {kStudySound, true, 4, kStudySound},
  };
  for (const auto& t : table)
    EXPECT_EQ(refreshSound(t.pending, t.placed, t.captured), t.want) << t.pending << " " << t.captured;
  EXPECT_TRUE(stoneSoundAudible(0, false));
  EXPECT_TRUE(stoneSoundAudible(1, true));
  EXPECT_FALSE(stoneSoundAudible(1, false));
  EXPECT_FALSE(stoneSoundAudible(2, true));
}

}  // namespace
}  // namespace mh
