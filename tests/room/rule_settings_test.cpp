#include "room/rule_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scratch_dir.h"

namespace mh {
namespace {

std::string fileText(const std::string& path) {
  const auto bytes = test::readFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

void writeText(const std::string& path, const std::string& text) {
  ASSERT_TRUE(test::writeFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end())));
}

TEST(RuleSettings, KomiIsWrittenWithTheDigitsOfItsRule) {
  struct Case {
    int ruleType;
    double komi;
    const char* line;
  } cases[] = {
      {GameSettings::Chinese, 3.75, "KOMI=3.75"},
      {GameSettings::Japanese, 6.5, "KOMI=6.5"},
      {GameSettings::Japanese, 7.0, "KOMI=7.0"},
      {GameSettings::Chinese, 7.0, "KOMI=7.00"},
  };
  for (const Case& c : cases) {
    test::ScratchDir dir;
    const RuleSettings written{c.ruleType, c.komi};
    ASSERT_TRUE(written.write(dir.path() + "/"));
    const std::string text = fileText(dir.file("rule.ini"));
    EXPECT_NE(text.find("[SETTING]"), std::string::npos) << text;
    EXPECT_NE(text.find("RULETYPE=" + std::to_string(c.ruleType)), std::string::npos) << text;
    EXPECT_NE(text.find(c.line), std::string::npos) << text;
    EXPECT_EQ(RuleSettings::read(dir.path() + "/"), written) << c.line;
  }
}

TEST(RuleSettings, ReadingKeepsWhatTheFileSaysAndDefaultsTheRest) {
  struct Case {
    const char* name;
    const char* text;  // nullptr: no file
    RuleSettings expected;
  } cases[] = {
      {"noFile", nullptr, {GameSettings::Japanese, 6.5}},
      {"noKeys", "[SETTING]\n", {GameSettings::Japanese, 6.5}},
      {"chinese", "[setting]\nruletype = 1\nkomi = 3.75\n", {GameSettings::Chinese, 3.75}},
      {"komiNotANumber", "[SETTING]\nRULETYPE=2\nKOMI=abc\n", {GameSettings::Japanese, 0.0}},
      {"komiWithTrailingText", "[SETTING]\nKOMI=5.5 points\n", {GameSettings::Japanese, 5.5}},
      {"komiNan", "[SETTING]\nKOMI=nan\n", {GameSettings::Japanese, 0.0}},
      {"otherRuleTypeKept", "[SETTING]\nRULETYPE=3\nKOMI=6.5\n", {3, 6.5}},
  };
  for (const Case& c : cases) {
    test::ScratchDir dir;
    if (c.text) writeText(dir.file("rule.ini"), c.text);
    EXPECT_EQ(RuleSettings::read(dir.path() + "/"), c.expected) << c.name;
  }
}

TEST(RuleSettings, WritingKeepsTheFilesOtherLines) {
  test::ScratchDir dir;
  writeText(dir.file("rule.ini"), "; saved by hand\n[SETTING]\nRULETYPE=2\nKOMI=6.5\n[OTHER]\nX=1\n");
  ASSERT_TRUE((RuleSettings{GameSettings::Chinese, 3.75}.write(dir.path() + "/")));
  EXPECT_EQ(fileText(dir.file("rule.ini")), "; saved by hand\n[SETTING]\nRULETYPE=1\nKOMI=3.75\n[OTHER]\nX=1\n");
}

TEST(RuleSettings, AFolderThatCannotBeWrittenIsReported) {
  EXPECT_FALSE((RuleSettings{GameSettings::Chinese, 3.75}.write("/nonexistent-folder/")));
}

}  // namespace
}  // namespace mh
