#include "shell/window_tiling.h"

#include <cmath>

namespace mh {

namespace {

// Splits length into parts pieces whose sizes differ by at most one; piece i starts at the return.
int pieceStart(int length, int parts, int i) { return static_cast<int>(static_cast<long long>(length) * i / parts); }

}  // namespace

std::vector<TileRect> tileWindows(int count, int width, int height, bool horizontally) {
  std::vector<TileRect> rects;
  if (count <= 0 || width <= 0 || height <= 0) return rects;
  // Lines: columns when tiled horizontally (windows stacked inside each), rows when vertically.
  const int lines = count < 4 ? 1 : static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
  const int perLine = (count + lines - 1) / lines;
  for (int line = 0; line < lines; ++line) {
    const int first = line * perLine;
    const int inLine = std::min(perLine, count - first);
    if (inLine <= 0) break;
    for (int k = 0; k < inLine; ++k) {
      TileRect r;
      if (horizontally) {
        r.x = pieceStart(width, lines, line);
        r.width = pieceStart(width, lines, line + 1) - r.x;
        r.y = pieceStart(height, inLine, k);
        r.height = pieceStart(height, inLine, k + 1) - r.y;
      } else {
        r.y = pieceStart(height, lines, line);
        r.height = pieceStart(height, lines, line + 1) - r.y;
        r.x = pieceStart(width, inLine, k);
        r.width = pieceStart(width, inLine, k + 1) - r.x;
      }
      rects.push_back(r);
    }
  }
  return rects;
}

}  // namespace mh
