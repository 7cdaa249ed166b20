#pragma once

#include <string>
#include <vector>

#include "model/board.h"
#include "patterns/pattern_entry.h"
#include "patterns/pattern_library.h"

namespace mh {

// The words of a detail line (UTF-8), replaceable by the interface language.
struct HintWords {
  std::string total = "总";
  std::string won = "赢";
  std::string lost = "输";
};

// One labelled move from a pattern library.
struct Hint {
  Point point = kNoPoint;
  std::string label;   // "A".."Z", "a".."z", "A"...; local hints carry the cluster number: "A2"
  int cluster = 0;     // 0 for a global hint, else the local cluster's number from 1
  std::int32_t played = 0;
  std::int32_t wins = 0;
  std::int32_t losses = 0;
  int entry = -1;      // index of the matched entry in HintList::entries
  std::string detail;  // "<label>, 总:<played>, 赢:<wins>, 输:<losses>\r\n"

  // Red (255, 0, 0) when the games that played it were won at least as often as lost; else blue.
  bool red() const { return wins >= losses; }
  unsigned rgb() const { return red() ? 0xFF0000u : 0x0000FFu; }
};

// The answer of one query: the hints in order and the matched entries they came from, turned
// into the orientation of the queried board.
struct HintList {
  std::vector<Hint> hints;
  std::vector<PatternEntry> entries;

  // The detail lines joined in order.
  std::string detailText() const;
  bool empty() const { return hints.empty(); }
};

// The label letter for the n-th labelled candidate of a query (from 0): A..Z, a..z, then again.
std::string hintLetter(int n);

// Candidates of the whole-board position (any of its eight symmetries) for the side to move,
// in stored order (played, then wins, descending). Passes take no letter. Labels alone need no
// occurrences: with EntryParts::WithoutOccurrences the entries may come without them, and
// occurrencesOf then finds none.
HintList globalHints(const PatternLibrary& library, const Board& board, int colour, const HintWords& words = {},
                     EntryParts parts = EntryParts::Whole);

// Candidates of each local cluster (stones within Manhattan distance 5), clusters numbered from 1
// in the order the board splits into them; a cluster without a match keeps its number.
HintList localHints(const PatternLibrary& library, const Board& board, int colour, const HintWords& words = {},
                    EntryParts parts = EntryParts::Whole);

// The occurrences of the hint's entry whose point is the hint's point: the games and move
// indexes where that move was played from this position.
std::vector<PatternOccurrence> occurrencesOf(const HintList& list, const Hint& hint);

}  // namespace mh
