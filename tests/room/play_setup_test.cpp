#include "room/play_setup.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"

namespace mh {
namespace {

TEST(PlaySetup, DefaultsRulesAndSwap) {
  PlaySetup s = PlaySetup::defaults(GameSettings::Japanese, "东方不败", "蜘蛛侠");
  EXPECT_EQ(s.ruleType, GameSettings::Japanese);
  EXPECT_EQ(s.komi, 6.5);
  EXPECT_TRUE(s.black.gnuGo);
  EXPECT_FALSE(s.white.gnuGo);
  EXPECT_EQ(s.black.program, "gnugo");
  EXPECT_EQ(s.black.level, 10);
  EXPECT_TRUE(s.black.assist);
  s.chooseRule(GameSettings::Chinese);
  EXPECT_EQ(s.komi, 3.75);
  s.komi = 7.0;
  s.chooseRule(GameSettings::Japanese);
  EXPECT_EQ(s.komi, 6.5) << "choosing rules resets the komi";

  const PlayerPane black = s.black, white = s.white;
  s.swapPlayers();
  EXPECT_EQ(s.black, white);
  EXPECT_EQ(s.white, black);
}

TEST(PlaySetup, ChoiceCarriesTypesNamesRulesAndClampedHandicap) {
  PlaySetup s = PlaySetup::defaults(GameSettings::Chinese, "东方不败", "蜘蛛侠");
  s.handicap = 12;
  s.black.level = 0;
  s.black.program = "";
  const PlayChoice c = playChoice(s, false);
  EXPECT_EQ(c.settings.blackType, GameSettings::GnuGo);
  EXPECT_EQ(c.settings.whiteType, GameSettings::Person);
  EXPECT_EQ(c.settings.blackName, text::utf8ToGb("东方不败"));
  EXPECT_EQ(c.settings.whiteName, text::utf8ToGb("蜘蛛侠"));
  EXPECT_EQ(c.settings.ruleType, GameSettings::Chinese);
  EXPECT_EQ(c.settings.komi, 3.75);
  EXPECT_EQ(c.settings.handicap, 9);
  ASSERT_TRUE(c.blackGnuGo);
  EXPECT_EQ(c.blackGnuGo->program, "gnugo") << "an empty path means the default program";
  EXPECT_EQ(c.blackGnuGo->level, 1);
  EXPECT_FALSE(c.whiteGnuGo);
}

TEST(PlaySetup, NamesAreCutByCharactersThenBytesWithoutSplittingOne) {
  const std::string hundredHan = [] {
    std::string s;
    for (int i = 0; i < 100; ++i) s += "围";
    return s;
  }();
  const struct {
    const char* name;
    std::string typed;
    bool big5;
    std::string want;
  } table[] = {
      {"short", "Lee", false, "Lee"},
      // 90 characters are kept, 180 GB bytes, then cut at 99 bytes: 49 whole characters.
      {"long Chinese", hundredHan, false, text::utf8ToGb(hundredHan).substr(0, 98)},
      {"long Latin", std::string(120, 'x'), false, std::string(90, 'x')},
      // A name typed in traditional characters comes back in simplified GB.
      {"typed in BIG5", "圍棋", true, text::utf8ToGb("围棋")},
      {"empty", "", false, ""},
  };
  for (const auto& t : table) EXPECT_EQ(playerNameForRecord(t.typed, t.big5), t.want) << t.name;
  EXPECT_EQ(firstUtf8Characters("a围b", 2), "a围");
  EXPECT_EQ(firstUtf8Characters("a围b", 9), "a围b");
}

}  // namespace
}  // namespace mh
