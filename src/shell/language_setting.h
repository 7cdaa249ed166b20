#pragma once

#include <string>
#include <string_view>

namespace mh {

// The interface language and whether record text is shown in BIG5, decided once at start-up
// from lang.ini and the system's code page.
struct LanguageSetting {
  enum Language : int { English = 0, SimplifiedChinese = 1, TraditionalChinese = 2 };

  static constexpr int kDefaultLang = 1;    // LANG when lang.ini or the key is missing
  static constexpr int kLangChinese = 0;    // LANG the 中文 menu item writes: Chinese by the locale
  static constexpr int kLangEnglish = 1;    // LANG the 英文 menu item writes
  static constexpr int kGbCodePage = 936;
  static constexpr int kBig5CodePage = 950;

  int language = English;
  bool big5System = false;

  // Record text (names, comments, hints) is converted to BIG5 before it is shown.
  bool displayInBig5() const { return language == TraditionalChinese || big5System; }
  // The interface is Simplified or Traditional Chinese (the language menu's check mark).
  bool isChinese() const { return language != English; }

  // The decision at start-up: LANG from lang.ini in the program's directory and the code page of
  // the process's locale.
  static LanguageSetting load(const std::string& programDirectory);
  // lang.ini in the program's directory (which ends with "/").
  static std::string langIniPath(const std::string& programDirectory);

  // LANG 0 chooses from the code page (936 Simplified, 950 Traditional, else English); 1..9999
  // is English; 10000 + n is language n, English when n > 2. Negative values count as English.
  static int languageFor(int lang, int codePage);
  // The decision from a LANG value and the system's code page.
  static LanguageSetting decide(int lang, int codePage);
  // LANG from section SETTING of the given lang.ini (1 when the file or key is missing).
  static int readLang(const std::string& iniPath);
  // Writes LANG (0 for Chinese by code page, 1 for English); false when the file cannot be written.
  [[nodiscard]] static bool writeLang(const std::string& iniPath, int lang);
};

// The code page a locale name (as in LC_ALL, LC_CTYPE or LANG, e.g. "zh_TW.Big5") stands for:
// 950 for a BIG5 character set, 936 for GB2312, GBK or GB18030; for other character sets
// (UTF-8 above all) 950 for Chinese of Taiwan, Hong Kong and Macau, 936 for Chinese of the
// mainland and Singapore, and 0 for everything else.
int codePageOfLocale(std::string_view localeName);
// codePageOfLocale of the first non-empty of LC_ALL, LC_CTYPE and LANG.
int systemCodePage();

}  // namespace mh
