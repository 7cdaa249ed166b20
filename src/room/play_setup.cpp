#include "room/play_setup.h"

#include <algorithm>
#include <utility>

#include "model/match_driver.h"
#include "room/rule_settings.h"
#include "platform/text_codec.h"

namespace mh {

PlaySetup PlaySetup::defaults(int ruleType, std::string blackName, std::string whiteName) {
  PlaySetup s;
  s.chooseRule(ruleType);
  s.black.gnuGo = true;
  s.black.name = std::move(blackName);
  s.white.gnuGo = false;
  s.white.name = std::move(whiteName);
  return s;
}

void PlaySetup::chooseRule(int type) {
  ruleType = type == GameSettings::Japanese ? GameSettings::Japanese : GameSettings::Chinese;
  komi = RuleSettings::defaultKomi(ruleType);
}

void PlaySetup::swapPlayers() { std::swap(black, white); }

std::string firstUtf8Characters(std::string_view utf8, int n) {
  size_t end = 0;
  for (int count = 0; end < utf8.size() && count < n; ++count) {
    ++end;
    while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) ++end;
  }
  return std::string(utf8.substr(0, end));
}

std::string playerNameForRecord(std::string_view typed, bool displayInBig5) {
  const std::string gb = text::typedText(firstUtf8Characters(typed, PlaySetup::kNameCharacters), displayInBig5);
  return truncateGbText(gb, PlaySetup::kNameBytes);
}

PlayChoice playChoice(const PlaySetup& setup, bool displayInBig5) {
  PlayChoice choice;
  GameSettings& s = choice.settings;
  s.blackType = setup.black.gnuGo ? GameSettings::GnuGo : GameSettings::Person;
  s.whiteType = setup.white.gnuGo ? GameSettings::GnuGo : GameSettings::Person;
  s.blackName = playerNameForRecord(setup.black.name, displayInBig5);
  s.whiteName = playerNameForRecord(setup.white.name, displayInBig5);
  s.ruleType = setup.ruleType == GameSettings::Japanese ? GameSettings::Japanese : GameSettings::Chinese;
  s.komi = setup.komi;
  s.handicap = std::clamp(setup.handicap, 0, 9);
  const auto gnuGo = [](const PlayerPane& pane) -> std::optional<GnuGoSetup> {
    if (!pane.gnuGo) return std::nullopt;
    return GnuGoSetup{pane.program.empty() ? std::string("gnugo") : pane.program, std::clamp(pane.level, 1, 10),
                      pane.assist};
  };
  choice.blackGnuGo = gnuGo(setup.black);
  choice.whiteGnuGo = gnuGo(setup.white);
  return choice;
}

}  // namespace mh
