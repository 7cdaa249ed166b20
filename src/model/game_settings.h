#pragma once

#include <string>

namespace mh {

// What a room sets up for a game: who plays each colour, the rules and the handicap. Names are
// GB byte strings. A value-initialised block is "all zero": no players, no rules, no handicap.
struct GameSettings {
  enum PlayerType : int { NoPlayer = 0, GnuGo = 1, Person = 2 };
  enum RuleType : int { NoRules = 0, Chinese = 1, Japanese = 2 };

  int blackType = NoPlayer;
  std::string blackName;
  int whiteType = NoPlayer;
  std::string whiteName;
  int ruleType = NoRules;
  // Compensation stones under Chinese rules, points under Japanese rules.
  double komi = 0.0;
  // 0, or 2 to 9 handicap stones.
  int handicap = 0;
};

}  // namespace mh
