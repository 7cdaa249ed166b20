#include "room/board_annotations.h"

#include <algorithm>

namespace mh {

void BoardAnnotations::clear() {
  labels_.clear();
  marks_.clear();
}

bool BoardAnnotations::addLabel(Point point, std::uint32_t rgb, std::string_view text) {
  if (text.size() > kMaxLabelBytes) return false;
  labels_.push_back({point, rgb, std::string(text)});
  return true;
}

void BoardAnnotations::addMark(Point point, int kind) { marks_.push_back({point, kind}); }

bool BoardAnnotations::hasMark(Point point, int kind) const {
  return std::find(marks_.begin(), marks_.end(), BoardMark{point, kind}) != marks_.end();
}

void BoardAnnotations::removeMark(Point point, int kind) { std::erase(marks_, BoardMark{point, kind}); }

PointList BoardAnnotations::marksOfKind(int kind) const {
  PointList points;
  for (const BoardMark& m : marks_)
    if (m.kind == kind) points.push_back(m.point);
  return points;
}

void BoardAnnotations::toggleDeadString(const Board& board, Point point) {
  if (!isStoneColour(board.get(point))) return;
  Group string;
  if (!board.groupAt(point, string)) return;
  const bool unmark = hasMark(point, kMarkDead);
  for (Point p : string.points) {
    if (unmark) removeMark(p, kMarkDead);
    else if (!hasMark(p, kMarkDead)) addMark(p, kMarkDead);
  }
}

int gbCharacterCount(std::string_view gb) {
  int count = 0;
  for (size_t i = 0; i < gb.size(); ++i, ++count)
    if (static_cast<unsigned char>(gb[i]) & 0x80) ++i;
  return count;
}

Point stepCursor(Point cursor, int dColumn, int dRow, int columns, int rows) {
  if (columns <= 0 || rows <= 0) return 0;
  if (cursor < 0 || cursor >= columns * rows) cursor = 0;
  int column = cursor % columns + dColumn;
  int row = cursor / columns + dRow;
  if (column < 0) column = columns - 1;
  else if (column >= columns) column = 0;
  if (row < 0) row = rows - 1;
  else if (row >= rows) row = 0;
  return row * columns + column;
}

}  // namespace mh
