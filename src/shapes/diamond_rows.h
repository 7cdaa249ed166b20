#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace mh {

// Calls f(row, mask) for every row of a board at most 64 points wide that holds points within
// Manhattan distance `distance` of (x, y): mask has a bit set for each such point of the row
// (bit x for column x). The rows and columns are clipped to the board, so any distance is safe.
template <class F>
void forEachDiamondRow(int x, int y, int distance, int width, int height, F&& f) {
  const std::int64_t d = distance;
  const int rowLow = static_cast<int>(std::max<std::int64_t>(y - d, 0));
  const int rowHigh = static_cast<int>(std::min<std::int64_t>(y + d, height - 1));
  for (int r = rowLow; r <= rowHigh; ++r) {
    const std::int64_t reach = d - std::abs(r - y);
    const auto lo = static_cast<int>(std::max<std::int64_t>(x - reach, 0));
    const auto hi = static_cast<int>(std::min<std::int64_t>(x + reach, width - 1));
    f(r, (~std::uint64_t{0} >> (63 - (hi - lo))) << lo);
  }
}

}  // namespace mh
