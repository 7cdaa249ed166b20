#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "engine/match_record.h"
#include "engine/matrix_library.h"
#include "model/board.h"

namespace mh {

// Cuts windows out of a board for the colour to move and records which library patterns match:
// interior windows everywhere inside the board, edge windows reaching one line beyond a side,
// corner windows reaching beyond two sides. A value object: filled by one run, read afterwards.
class MatrixMatcher {
 public:
  // Empties the results, then matches the interior, edge and corner libraries in that order.
  void run(const Board& board, int colour, const MatrixLibraries& libraries);

  // Records stored under a pattern name in library 0 (interior), 1 (edge) or 2 (corner): one per
  // window, for its first matching pattern. Returns their number.
  int MatchesByName(int library, const std::string& name, std::vector<MatchRecord>& out) const;
  // Every corner-library match, all matching patterns of every window, in the order found.
  const std::vector<MatchRecord>& cornerMatches() const { return cornerMatches_; }

 private:
  using NameMap = std::map<std::string, std::vector<MatchRecord>>;

  // Cuts the window and records its first match in map; returns that pattern index or -1.
  int record(const Board& board, int colour, const MatrixLibrary& library, NameMap& map, int firstColumn,
             int firstRow, int lastColumn, int lastRow);

  std::array<NameMap, 3> maps_;
  std::vector<MatchRecord> cornerMatches_;
  MatrixPattern window_;
};

// The room's "*" hints: the board points under the "*" cells of every corner match, each once,
// in first-seen order.
PointList cornerHintPoints(const MatrixMatcher& matcher, const MatrixLibrary& corner, const Board& board);

}  // namespace mh
