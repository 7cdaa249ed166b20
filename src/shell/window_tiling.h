#pragma once

#include <vector>

namespace mh {

// A window's place inside the area the rooms share, in pixels.
struct TileRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const TileRect&) const = default;
};

// The places of count windows tiled over an area of width x height, in the windows' order, with
// no gap and no overlap. Tiled horizontally, the windows lie one above the other (in several
// columns from four windows on); tiled vertically, side by side (in several rows from four on).
// The last row or column stretches to fill the area. Empty for no window or an empty area.
std::vector<TileRect> tileWindows(int count, int width, int height, bool horizontally);

}  // namespace mh
