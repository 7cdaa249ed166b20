#pragma once

#include <array>
#include <optional>
#include <string>

#include "model/board.h"
#include "model/game_info.h"
#include "model/game_settings.h"
#include "model/game_state_view.h"
#include "model/point.h"

namespace mh {

// What a count looks at. The board is the position shown; it is copied, never changed.
struct CountRequest {
  Board board;
  // Stones marked dead (points that hold no stone are ignored, repeats count once).
  PointList dead;
  int ruleType = GameSettings::NoRules;
  // Stones under Chinese rules, points under Japanese rules.
  double komi = 0.0;
  int handicap = 0;
  // Stones put on the board on the way to this position (the captures under Japanese rules are
  // these minus the stones still on the board).
  int blackPlaced = 0;
  int whitePlaced = 0;
};

// The request for the shown position of a game state with a room's rules and dead marks.
CountRequest countRequest(const GameStateView& view, const GameSettings& settings, PointList dead);

// The stones of the strings through the chosen points, each once, ascending. Chosen points that
// are empty or off the board add nothing.
PointList deadStringStones(const Board& board, const PointList& chosen);

// The words of a count report in the interface language (UTF-8).
struct CountWords {
  std::string result = "结果";
  std::string black = "黑";
  std::string white = "白";
  std::string komiStones = "贴子";
  std::string handicap = "让子";
  std::string blackWins = "黑胜";
  std::string whiteWins = "白胜";
  std::string draw = "平局";
  std::string stones = "子";
  std::string blackSide = "黑方";
  std::string whiteSide = "白方";
  std::string territory = "空";
  std::string whiteStones = "白子";
  std::string blackStones = "黑子";
  std::string komiPoints = "贴目";
  std::string points = "目";
};

// The outcome of a count.
struct CountReport {
  int ruleType = GameSettings::Chinese;
  // Chinese: black and white points (stones and territory); Japanese: territory only.
  int blackArea = 0;
  int whiteArea = 0;
  // Japanese only: the stones each side has lost (taken off, or marked dead).
  int blackCaptured = 0;
  int whiteCaptured = 0;
  double blackScore = 0.0;
  double whiteScore = 0.0;
  // Black, White, or Empty for a draw.
  int winner = Empty;
  // The report as shown, one line each, UTF-8.
  std::array<std::string, 4> lines;
  // "<winner>  <margin>", the text stored as the game's result (UTF-8).
  std::string resultText;
  // What the board shows while the report is open: mark kind 5 on these points, kind 6 on those.
  PointList blackMarks;
  PointList whiteMarks;

  // The lines joined by line feeds.
  std::string text() const;
};

// Counts the position under Chinese (area) or Japanese (territory) rules: empty regions that
// touch stones of only one colour, once the dead stones are taken off, belong to that colour.
// Nothing for any other rule type.
std::optional<CountReport> countGame(const CountRequest& request, const CountWords& words = {});

// The result stored after a count: the winner (left as it was for a draw) and the result text
// converted to GB.
void storeCountResult(const CountReport& report, GameInfo& info);

}  // namespace mh
