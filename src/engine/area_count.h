#pragma once

#include <vector>

#include "model/board.h"

namespace mh {

// Bits of the colours that border an empty region.
inline constexpr int kBordersBlack = 1;
inline constexpr int kBordersWhite = 2;

// For every point of the board, the colours bordering its empty region (0 for stones and for a
// region that touches no stone).
std::vector<int> regionBorders(const Board& board);

// Area counting as is, with every stone alive: each side's stones plus the empty regions that
// only its stones border. Regions touching both colours or none count for nobody.
struct AreaCount {
  int black = 0;
  int white = 0;
};
AreaCount areaCount(const Board& board);

}  // namespace mh
