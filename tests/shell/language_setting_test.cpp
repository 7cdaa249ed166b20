#include "shell/language_setting.h"

#include <gtest/gtest.h>

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

}  // namespace
