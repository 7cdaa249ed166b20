#pragma once

#include <string>
#include <string_view>

#include "model/game_settings.h"

namespace mh {

// The rules and komi a new game starts with, kept in rule.ini in the program's directory:
//   [SETTING] RULETYPE=<1 Chinese, 2 Japanese>  KOMI=<"%.2f" under Chinese rules, else "%.1f">
struct RuleSettings {
  static constexpr const char* kFileName = "rule.ini";
  // The komi that goes with each rule type: stones under Chinese rules, points under Japanese.
  static constexpr double kChineseKomi = 3.75;
  static constexpr double kJapaneseKomi = 6.5;

  int ruleType = GameSettings::Japanese;
  double komi = kJapaneseKomi;

  // 3.75 for Chinese rules, 6.5 for any other type.
  static double defaultKomi(int ruleType);
  // The KOMI value as written for the rule type.
  static std::string komiText(int ruleType, double komi);

  // Reads rule.ini from directory (ending with "/", as programDirectory gives it). A missing
  // file or key gives the defaults (Japanese rules, 6.5); a rule type is kept whatever its value;
  // a komi that does not start with a number gives 0.
  static RuleSettings read(const std::string& directory);
  // Writes both keys to rule.ini in directory, keeping the file's other lines. False when the
  // file cannot be written.
  [[nodiscard]] bool write(const std::string& directory) const;

  friend bool operator==(const RuleSettings&, const RuleSettings&) = default;
};

}  // namespace mh
