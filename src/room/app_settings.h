#pragma once

#include "room/rule_settings.h"

namespace mh {

// The application-wide settings that every room reads, one instance for the whole program.
// Start-up fills it from the settings files; the settings and rules dialogs change it; a room reads
// it at each refresh and each new game. The switches are not stored: every start begins with these
// values.
struct AppSettings {
  // Where the stone sounds play.
  enum StoneSoundMode : int { EveryRoom = 0, ActiveRoomOnly = 1, NoStoneSound = 2 };

  bool globalHints = true;
  bool localHints = true;
  bool matrixHints = true;
  // The chimes of starting and ending study.
  bool studySound = true;
  int stoneSoundMode = EveryRoom;

  // The rules and komi of a new game (rule.ini).
  RuleSettings defaultRules;

  // Record text is shown through the GB to BIG5 conversion, and typed names come back through
  // BIG5 to GB (a Traditional Chinese interface or a BIG5 system).
  bool displayInBig5 = false;
  // The pattern base a new room selects (its number in the pattern-base list).
  int defaultPatternBase = 0;
};

}  // namespace mh
