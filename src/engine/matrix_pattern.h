#pragma once

#include <string>
#include <vector>

#include "model/board.h"

namespace mh {

struct MatchRecord;

// A small named rectangle of cell characters laid over a board. A window cut from a board holds
// "-" (off the board), "." (empty), "O" (a stone of the colour to move) and "X" (the other
// colour); library patterns may also use "|" (edge), "*" (suggested empty point), "?" (any
// point on the board), "S" (any stone), "o" (own stone or empty) and "x" (other stone or empty).
class MatrixPattern {
 public:
  std::string name;
  int width = 0;   // columns
  int height = 0;  // rows
  int originColumn = -1;
  int originRow = -1;
  std::vector<char> cells;  // cell (c, r) at c + width * r

  // Name empty, size 0 x 0, no cells, origin unset.
  void reset();
  // Same size: cells zeroed. New size: width x height zero cells and the origin unset.
  void resize(int newWidth, int newHeight);
  // The window of columns firstColumn..lastColumn and rows firstRow..lastRow of the board, seen
  // by colour; off-board cells are "-". False (pattern unchanged) for an empty range.
  bool cut(const Board& board, int firstColumn, int firstRow, int lastColumn, int lastRow, int colour);

  char cell(int column, int row) const { return cells[static_cast<size_t>(column + width * row)]; }

  // Images with the same name: each row reversed; row order reversed; width and height
  // exchanged (origin unset).
  MatrixPattern mirrorColumns() const;
  MatrixPattern mirrorRows() const;
  MatrixPattern transpose() const;

  // True when both have the same size and every cell of this pattern matches the window's.
  bool matches(const MatrixPattern& window) const;
  // Same size and cells; name and origin take no part.
  bool sameShape(const MatrixPattern& other) const {
    return width == other.width && height == other.height && cells == other.cells;
  }

  // The board points under this pattern's "*" cells when laid at the record's origin; points off
  // the board are skipped. Returns the count.
  int hintPoints(const MatchRecord& record, const Board& board, PointList& out) const;
};

// Whether a pattern cell character accepts a window cell character.
bool matrixCellMatches(char pattern, char window);

}  // namespace mh
