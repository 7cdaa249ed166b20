#include "room/rule_settings.h"

#include "platform/decimal_text.h"
#include "platform/ini_file.h"

namespace mh {

namespace {

constexpr const char* kSection = "SETTING";
constexpr const char* kRuleTypeKey = "RULETYPE";
constexpr const char* kKomiKey = "KOMI";
constexpr const char* kDefaultKomiText = "6.5";

IniFile ruleFile(const std::string& directory) { return IniFile(directory + RuleSettings::kFileName); }

}  // namespace

double RuleSettings::defaultKomi(int ruleType) {
  return ruleType == GameSettings::Chinese ? kChineseKomi : kJapaneseKomi;
}

std::string RuleSettings::komiText(int ruleType, double komi) {
  return fixedDecimal(komi, ruleType == GameSettings::Chinese ? 2 : 1);
}

RuleSettings RuleSettings::read(const std::string& directory) {
  const IniFile file = ruleFile(directory);
  RuleSettings settings;
  settings.ruleType = file.readInt(kSection, kRuleTypeKey, GameSettings::Japanese);
  settings.komi = leadingDecimal(file.readString(kSection, kKomiKey, kDefaultKomiText));
  return settings;
}

bool RuleSettings::write(const std::string& directory) const {
  IniFile file = ruleFile(directory);
  const bool typeWritten = file.writeInt(kSection, kRuleTypeKey, ruleType);
  const bool komiWritten = file.writeString(kSection, kKomiKey, komiText(ruleType, komi));
  return typeWritten && komiWritten;
}

}  // namespace mh
