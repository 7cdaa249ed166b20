#include "support/board_diagram.h"

#include <vector>

namespace mh::test {

namespace {
std::vector<std::string> rowsOf(std::string_view diagram) {
  std::vector<std::string> rows;
  std::string row;
  auto flush = [&] {
    if (!row.empty()) rows.push_back(row);
    row.clear();
  };
  for (char c : diagram) {
    if (c == '\n') flush();
    else if (c == '.' || c == '+') row += '.';
    else if (c == 'X' || c == 'O') row += c;
  }
  flush();
  return rows;
}
}  // namespace

Board boardFromDiagram(std::string_view diagram) {
  const auto rows = rowsOf(diagram);
  size_t width = 0;
  for (const auto& r : rows) width = std::max(width, r.size());
  Board board(static_cast<int>(width), static_cast<int>(rows.size()));
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x)
      board.set(board.point(static_cast<int>(x), static_cast<int>(y)),
                rows[y][x] == 'X' ? Black : rows[y][x] == 'O' ? White : Empty);
  return board;
}

std::string diagramOf(const Board& board) {
  std::string out;
  for (int y = 0; y < board.height(); ++y) {
    if (y) out += '\n';
    for (int x = 0; x < board.width(); ++x) {
      const int v = board.get(board.point(x, y));
      out += v == Black ? 'X' : v == White ? 'O' : '.';
    }
  }
  return out;
}

std::string normalizeDiagram(std::string_view diagram) {
  std::string out;
  for (const auto& r : rowsOf(diagram)) {
    if (!out.empty()) out += '\n';
    out += r;
  }
  return out;
}

}  // namespace mh::test
