#pragma once

#include <string>
#include <vector>

#include "model/board.h"
#include "patterns/pattern_hints.h"

namespace mh {

class GameIndex;
class Wpb;

// The words of the hint details rows in the interface language (UTF-8).
struct HintDetailWords {
  HintWords counts;
  std::string black = "黑";
  std::string white = "白";
  std::string result = "结果";
  std::string totalMoves = "总手";
  std::string moveNumber = "手数";
};

// One row of the hint details list: a hint (with its games as children) or one game where the
// hint's move was played from this position. Texts are UTF-8.
struct HintDetailRow {
  std::string position;  // "A", "A1"; for a game "A(3)": the index among the entry's occurrences
  std::string text;
  // A game's record file (file system bytes) and the index of the move played there; empty and
  // -1 for a hint row and for a game the index does not know.
  std::string path;
  int move = -1;
  // The game was won by the side to move.
  bool wonBySideToMove = false;
  std::vector<HintDetailRow> children;
};

// The rows for a position: the global hints, or, when the global library knows none, the local
// ones; under each hint the games it was played in, read from the game index (names, ranks and
// result shown through the BIG5 conversion when displayInBig5 holds).
std::vector<HintDetailRow> hintDetailRows(const PatternLibrary& global, const PatternLibrary& local,
                                          const GameIndex& games, const Board& board, int sideToMove,
                                          const HintDetailWords& words, bool displayInBig5);

}  // namespace mh
