#include "engine/matrix_matcher.h"

#include <algorithm>

namespace mh {

int MatrixMatcher::record(const Board& board, int colour, const MatrixLibrary& library, NameMap& map,
                          int firstColumn, int firstRow, int lastColumn, int lastRow) {
  if (!window_.cut(board, firstColumn, firstRow, lastColumn, lastRow, colour)) return -1;
  const int i = library.find(window_, 0);
  if (i >= 0)
    map[library.at(i)->name].push_back({window_.originColumn, window_.originRow, window_.width, window_.height, i});
  return i;
}

void MatrixMatcher::run(const Board& board, int colour, const MatrixLibraries& libraries) {
  for (auto& m : maps_) m.clear();
  cornerMatches_.clear();
  if (!board.usable()) return;
  const int bw = board.width(), bh = board.height();

  for (int h = 1; h <= 20; ++h)
    for (int w = 1; w <= 20; ++w) {
      if (!libraries.interior.hasSize(w, h)) continue;
      for (int y = 0; y <= bh - h; ++y)
        for (int x = 0; x <= bw - w; ++x) record(board, colour, libraries.interior, maps_[0], x, y, x + w - 1, y + h - 1);
    }

  for (int h = 1; h <= 20; ++h)
    for (int w = 1; w <= 20; ++w) {
      if (!libraries.edge.hasSize(w, h)) continue;
      if (h > 1)
        for (int x = 0; x <= bw - w; ++x) {
          record(board, colour, libraries.edge, maps_[1], x, -1, x + w - 1, h - 2);
          record(board, colour, libraries.edge, maps_[1], x, bh - h + 1, x + w - 1, bh);
        }
      if (w > 1)
        for (int y = 0; y <= bh - h; ++y) {
          record(board, colour, libraries.edge, maps_[1], -1, y, w - 2, y + h - 1);
          record(board, colour, libraries.edge, maps_[1], bw - w + 1, y, bw, y + h - 1);
        }
    }

  const MatrixLibrary& corner = libraries.corner;
  for (int h = 1; h <= 21; ++h)
    for (int w = 1; w <= 21; ++w) {
      if (!corner.hasSize(w, h)) continue;
      const int windows[4][4] = {{-1, -1, w - 2, h - 2},
                                 {bw - w + 1, -1, bw, h - 2},
                                 {-1, bh - h + 1, w - 2, bh},
                                 {bw - w + 1, bh - h + 1, bw, bh}};
      for (const auto& win : windows) {
        if (record(board, colour, corner, maps_[2], win[0], win[1], win[2], win[3]) < 0) continue;
        for (int i = corner.find(window_, 0); i >= 0; i = corner.find(window_, i + 1))
          cornerMatches_.push_back({window_.originColumn, window_.originRow, window_.width, window_.height, i});
      }
    }
}

int MatrixMatcher::MatchesByName(int library, const std::string& name, std::vector<MatchRecord>& out) const {
  out.clear();
  if (library < 0 || library > 2) return 0;
  const auto it = maps_[static_cast<size_t>(library)].find(name);
  if (it != maps_[static_cast<size_t>(library)].end()) out = it->second;
  return static_cast<int>(out.size());
}

PointList cornerHintPoints(const MatrixMatcher& matcher, const MatrixLibrary& corner, const Board& board) {
  PointList all, points;
  for (const MatchRecord& r : matcher.cornerMatches()) {
    const MatrixPattern* p = corner.at(r.patternIndex);
    if (!p) continue;
    p->hintPoints(r, board, points);
    for (Point q : points)
      if (std::find(all.begin(), all.end(), q) == all.end()) all.push_back(q);
  }
  return all;
}

}  // namespace mh
