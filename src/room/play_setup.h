#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/game_settings.h"

namespace mh {

// One side in the play dialog.
struct PlayerPane {
  bool gnuGo = false;
  std::string name;  // as typed (UTF-8)
  std::string program = "gnugo";
  int level = 10;
  bool assist = true;

  friend bool operator==(const PlayerPane&, const PlayerPane&) = default;
};

// What the play dialog holds, decided without a window.
struct PlaySetup {
  // The name fields hold at most this many characters.
  static constexpr int kNameCharacters = 90;
  // A name keeps at most this many GB bytes in the game settings.
  static constexpr size_t kNameBytes = 99;

  int ruleType = GameSettings::Chinese;
  double komi = 3.75;
  int handicap = 0;
  PlayerPane black;
  PlayerPane white;

  // The dialog as it opens: the given rules with their komi, no handicap, GNU Go (level 10,
  // assist on) as Black under the black name and a person as White under the white name.
  static PlaySetup defaults(int ruleType, std::string blackName, std::string whiteName);
  // Chooses the rules and sets the komi that goes with them: 3.75 stones for Chinese rules,
  // 6.5 points for Japanese.
  void chooseRule(int type);
  void swapPlayers();

  friend bool operator==(const PlaySetup&, const PlaySetup&) = default;
};

// How a GNU Go side is to be set up.
struct GnuGoSetup {
  std::string program;
  int level = 10;
  bool assist = true;
};

// The game a confirmed dialog starts.
struct PlayChoice {
  GameSettings settings;
  std::optional<GnuGoSetup> blackGnuGo;
  std::optional<GnuGoSetup> whiteGnuGo;
};

// The settings of a confirmed dialog: player types, names as record text, rules, komi and a
// handicap of 0..9 (clamped).
PlayChoice playChoice(const PlaySetup& setup, bool displayInBig5);

// A typed name as record text: at most kNameCharacters characters, converted to GB (through BIG5
// when the interface shows BIG5) and cut to kNameBytes without splitting a character.
std::string playerNameForRecord(std::string_view typed, bool displayInBig5);

// The first n characters of UTF-8 text (all of it when it has fewer).
std::string firstUtf8Characters(std::string_view utf8, int n);

}  // namespace mh
