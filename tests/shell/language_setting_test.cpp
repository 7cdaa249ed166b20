#include "shell/language_setting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "support/scratch_dir.h"

namespace {

using mh::LanguageSetting;

TEST(LanguageSettingTest, DecidesLanguageFromLangAndCodePage) {
  struct Case {
    int lang;
    int codePage;
    int language;
    bool big5;
  };
  const Case cases[] = {
      {1, 936, LanguageSetting::English, false},  // the default LANG
      {0, 936, LanguageSetting::SimplifiedChinese, false},
      {0, 950, LanguageSetting::TraditionalChinese, true},
      {0, 0, LanguageSetting::English, false},
      {9999, 950, LanguageSetting::English, true},
      {10000, 950, LanguageSetting::English, true},
      {10001, 950, LanguageSetting::SimplifiedChinese, true},
      {10002, 936, LanguageSetting::TraditionalChinese, false},
      {10003, 936, LanguageSetting::English, false},
      {-5, 936, LanguageSetting::English, false},
  };
  for (const auto& c : cases) {
    const LanguageSetting s = LanguageSetting::decide(c.lang, c.codePage);
    EXPECT_EQ(s.language, c.language) << c.lang << " " << c.codePage;
    EXPECT_EQ(s.big5System, c.big5) << c.lang << " " << c.codePage;
    EXPECT_EQ(s.displayInBig5(), c.big5 || c.language == LanguageSetting::TraditionalChinese);
  }
}

TEST(LanguageSettingTest, CodePageComesFromTheLocale) {
  struct Case {
    const char* locale;
    int codePage;
  };
  const Case cases[] = {
      {"zh_TW.Big5", 950},    {"zh_HK.BIG5-HKSCS", 950}, {"zh_CN.GB2312", 936}, {"zh_CN.gbk", 936},
      {"zh_SG.GB18030", 936}, {"zh_CN.UTF-8", 936},      {"zh_TW.UTF-8", 950},  {"en_US.UTF-8", 0},
      {"C", 0},               {"", 0},                   {"POSIX", 0},          {"de_DE.UTF-8@euro", 0},
      {"zh_SG.UTF-8", 936},   {"zh_MO.UTF-8", 950},      {"zh_CN", 936},        {"zh.UTF-8", 0},
      {"en_US.GB18030", 936}, {"ja_JP.UTF-8", 0},        {"zh_TW.UTF-8@radical", 950}, {"ZH_hk", 950},
  };
  for (const auto& c : cases) EXPECT_EQ(mh::codePageOfLocale(c.locale), c.codePage) << c.locale;
}

TEST(LanguageSettingTest, LangIsReadFromAndWrittenToLangIni) {
  const mh::test::ScratchDir dir;
  const std::string path = dir.file("lang.ini");
  EXPECT_EQ(LanguageSetting::readLang(path), 1);  // no lang.ini: English
  std::ofstream(path) << "[setting]\nlang=10001\n";
  EXPECT_EQ(LanguageSetting::readLang(path), 10001);
  ASSERT_TRUE(LanguageSetting::writeLang(path, 0));
  EXPECT_EQ(LanguageSetting::readLang(path), 0);
}

// The whole start-up decision: lang.ini in the program's directory and the locale of the process.
TEST(LanguageSettingTest, LoadsFromTheProgramDirectoryAndTheLocale) {
  struct Case {
    const char* langIni;  // nullptr: no lang.ini
    const char* locale;
    int language;
  };
  const Case cases[] = {
      {nullptr, "zh_CN.UTF-8", LanguageSetting::English},
      {"[SETTING]\nLANG=10001\n", "en_US.UTF-8", LanguageSetting::SimplifiedChinese},
      {"[SETTING]\nLANG=10002\n", "en_US.UTF-8", LanguageSetting::TraditionalChinese},
      {"[SETTING]\nLANG=0\n", "zh_CN.UTF-8", LanguageSetting::SimplifiedChinese},
      {"[SETTING]\nLANG=0\n", "zh_HK.UTF-8", LanguageSetting::TraditionalChinese},
      {"[SETTING]\nLANG=0\n", "fr_FR.UTF-8", LanguageSetting::English},
      {"[SETTING]\nLANG=1\n", "zh_TW.Big5", LanguageSetting::English},
      {"[OTHER]\nLANG=10001\n", "zh_CN.UTF-8", LanguageSetting::English},
  };
  const char* saved = std::getenv("LC_ALL");
  const std::string savedAll = saved ? saved : "";
  for (const auto& c : cases) {
    const mh::test::ScratchDir dir;
    if (c.langIni) std::ofstream(dir.file("lang.ini")) << c.langIni;
    setenv("LC_ALL", c.locale, 1);
    EXPECT_EQ(LanguageSetting::load(dir.path() + "/").language, c.language) << (c.langIni ? c.langIni : "none") << c.locale;
  }
  if (saved) setenv("LC_ALL", savedAll.c_str(), 1);
  else unsetenv("LC_ALL");
}

// The language menu writes what the next start reads back.
TEST(LanguageSettingTest, MenuChoiceTakesEffectAtTheNextLoad) {
  const mh::test::ScratchDir dir;
  setenv("LC_ALL", "zh_TW.UTF-8", 1);
  ASSERT_TRUE(LanguageSetting::writeLang(LanguageSetting::langIniPath(dir.path() + "/"), LanguageSetting::kLangChinese));
  EXPECT_EQ(LanguageSetting::load(dir.path() + "/").language, LanguageSetting::TraditionalChinese);
  ASSERT_TRUE(LanguageSetting::writeLang(LanguageSetting::langIniPath(dir.path() + "/"), LanguageSetting::kLangEnglish));
  EXPECT_FALSE(LanguageSetting::load(dir.path() + "/").isChinese());
  unsetenv("LC_ALL");
}

}  // namespace
