#include "shell/language_setting.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ascii_text.h"
#include "platform/ini_file.h"

namespace mh {

int LanguageSetting::languageFor(int lang, int codePage) {
  if (lang == 0) {
    if (codePage == kGbCodePage) return SimplifiedChinese;
    if (codePage == kBig5CodePage) return TraditionalChinese;
    return English;
  }
  if (lang < 10000) return English;
  const int n = lang - 10000;
  return n > TraditionalChinese ? English : n;
}

LanguageSetting LanguageSetting::decide(int lang, int codePage) {
  LanguageSetting s;
  s.language = languageFor(lang, codePage);
  s.big5System = codePage == kBig5CodePage;
  return s;
}

LanguageSetting LanguageSetting::load(const std::string& programDirectory) {
  return decide(readLang(langIniPath(programDirectory)), systemCodePage());
}

std::string LanguageSetting::langIniPath(const std::string& programDirectory) { return programDirectory + "lang.ini"; }

int LanguageSetting::readLang(const std::string& iniPath) {
  return IniFile(iniPath).readInt("SETTING", "LANG", kDefaultLang);
}

bool LanguageSetting::writeLang(const std::string& iniPath, int lang) {
  return IniFile(iniPath).writeInt("SETTING", "LANG", lang);
}

int codePageOfLocale(std::string_view localeName) {
  const std::string name = ascii::toUpper(localeName);
  const size_t dot = name.find('.');
  const size_t at = name.find('@');
  const std::string territory = name.substr(0, std::min(dot, at));
  std::string charset;
  if (dot != std::string::npos) charset = name.substr(dot + 1, at == std::string::npos || at < dot ? std::string::npos : at - dot - 1);
  if (charset.rfind("BIG5", 0) == 0 || charset.rfind("BIG-5", 0) == 0) return LanguageSetting::kBig5CodePage;
  if (charset == "GB2312" || charset == "GBK" || charset == "GB18030" || charset == "EUC-CN" || charset == "EUCCN")
    return LanguageSetting::kGbCodePage;
  if (territory == "ZH_TW" || territory == "ZH_HK" || territory == "ZH_MO") return LanguageSetting::kBig5CodePage;
  if (territory == "ZH_CN" || territory == "ZH_SG") return LanguageSetting::kGbCodePage;
  return 0;
}

int systemCodePage() {
  for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(var);
    if (value && *value) return codePageOfLocale(value);
  }
  return 0;
}

}  // namespace mh
