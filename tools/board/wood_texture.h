#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <cstdint>

namespace mh::boardart {

// How a piece of board wood looks: its average colour, how many growth rings cross one tile,
// how far they sway sideways (in ring widths) and how strongly the grain stands out (0 plain,
// 1 the default).
struct WoodLook {
  QColor mean;
  int rings = 20;
  double sway = 0.5;
  double contrast = 1.0;
  std::uint32_t seed = 1;
};

// A straight-grained board of the given size, opaque, tiling without a seam in both directions,
// whose average colour is within a few levels of look.mean (a channel asked at 255 comes out a
// little below it, since no pixel can exceed 255).
QImage drawWood(QSize size, const WoodLook& look);

}  // namespace mh::boardart
