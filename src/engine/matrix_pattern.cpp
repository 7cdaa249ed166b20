#include "engine/matrix_pattern.h"

#include <algorithm>

#include "engine/match_record.h"

namespace mh {

bool matrixCellMatches(char pattern, char window) {
  switch (pattern) {
    case '.': return window == '.';
    case 'O': return window == 'O';
    case 'X': return window == 'X';
    case '-':
    case '|': return window == '-';
    case '*': return window == '.';
    case '?': return window == '.' || window == 'O' || window == 'X';
    case 'S': return window == 'O' || window == 'X';
    case 'o': return window == 'O' || window == '.';
    case 'x': return window == 'X' || window == '.';
    default: return false;
  }
}

void MatrixPattern::reset() {
  name.clear();
  width = height = 0;
  cells.clear();
  originColumn = originRow = -1;
}

void MatrixPattern::resize(int newWidth, int newHeight) {
  newWidth = std::max(newWidth, 0);
  newHeight = std::max(newHeight, 0);
  if (newWidth == width && newHeight == height) {
    std::fill(cells.begin(), cells.end(), 0);
    return;
  }
  width = newWidth;
  height = newHeight;
  cells.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  originColumn = originRow = -1;
}

bool MatrixPattern::cut(const Board& board, int firstColumn, int firstRow, int lastColumn, int lastRow, int colour) {
  if (lastColumn < firstColumn || lastRow < firstRow) return false;
  resize(lastColumn - firstColumn + 1, lastRow - firstRow + 1);
  originColumn = firstColumn;
  originRow = firstRow;
  const int other = opponent(colour);
  size_t i = 0;
  for (int y = firstRow; y <= lastRow; ++y) {
    for (int x = firstColumn; x <= lastColumn; ++x, ++i) {
      char c = '-';
      if (x >= 0 && x < board.width() && y >= 0 && y < board.height()) {
        const int v = board.get(board.point(x, y));
        c = v == colour ? 'O' : v == other ? 'X' : v == Empty ? '.' : '-';
      }
      cells[i] = c;
    }
  }
  return true;
}

MatrixPattern MatrixPattern::mirrorColumns() const {
  MatrixPattern m = *this;
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) m.cells[static_cast<size_t>(c + width * r)] = cell(width - 1 - c, r);
  return m;
}

MatrixPattern MatrixPattern::mirrorRows() const {
  MatrixPattern m = *this;
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) m.cells[static_cast<size_t>(c + width * r)] = cell(c, height - 1 - r);
  return m;
}

MatrixPattern MatrixPattern::transpose() const {
  MatrixPattern m;
  m.name = name;
  m.width = height;
  m.height = width;
  m.cells.resize(cells.size());
  for (int r = 0; r < m.height; ++r)
    for (int c = 0; c < m.width; ++c) m.cells[static_cast<size_t>(c + m.width * r)] = cell(r, c);
  return m;
}

bool MatrixPattern::matches(const MatrixPattern& window) const {
  if (width != window.width || height != window.height || cells.size() != window.cells.size()) return false;
  for (size_t i = 0; i < cells.size(); ++i)
    if (!matrixCellMatches(cells[i], window.cells[i])) return false;
  return true;
}

int MatrixPattern::hintPoints(const MatchRecord& record, const Board& board, PointList& out) const {
  out.clear();
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) {
      if (cell(c, r) != '*') continue;
      const int x = record.originColumn + c, y = record.originRow + r;
      if (x < 0 || x >= board.width() || y < 0 || y >= board.height()) continue;
      out.push_back(board.point(x, y));
    }
  }
  return static_cast<int>(out.size());
}

}  // namespace mh
