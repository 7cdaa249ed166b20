#pragma once

#include <vector>

#include "model/board.h"

namespace mh {

// The region rule of area and territory counting: an empty region belongs to a colour when
// stones of that colour, and of no other, border it. A region bordered by both colours, or by
// no stone at all, belongs to nobody.

// Bits of the colours that border an empty region.
inline constexpr int kBordersBlack = 1;
inline constexpr int kBordersWhite = 2;

// For every point of the board, the colours bordering its empty region (0 for stones and for a
// region that touches no stone).
std::vector<int> regionBorders(const Board& board);

// The colour that owns a region with these bordering colours: Black, White, or Empty for nobody.
constexpr int regionOwner(int borders) {
  return borders == kBordersBlack ? Black : borders == kBordersWhite ? White : Empty;
}

// Area counting as is, with every stone alive: each side's stones plus the empty regions it owns.
struct AreaCount {
  int black = 0;
  int white = 0;
};
AreaCount areaCount(const Board& board);

}  // namespace mh
