#include "engine/area_count.h"

namespace mh {

std::vector<int> regionBorders(const Board& board) {
  std::vector<int> borders(board.cells().size(), 0);
  GroupList regions;
  board.emptyRegions(regions);
  PointList ring;
  for (const Group& region : regions) {
    board.outline(region.points, ring);
    int mask = 0;
    for (Point q : ring) mask |= board.get(q) == Black ? kBordersBlack : board.get(q) == White ? kBordersWhite : 0;
    for (Point p : region.points) borders[static_cast<size_t>(p)] = mask;
  }
  return borders;
}

AreaCount areaCount(const Board& board) {
  AreaCount count;
  const std::vector<int> borders = regionBorders(board);
  for (Point p = 0; p < static_cast<Point>(board.cells().size()); ++p) {
    const int v = board.get(p);
    const int mask = borders[static_cast<size_t>(p)];
    if (v == Black || (v == Empty && mask == kBordersBlack)) ++count.black;
    if (v == White || (v == Empty && mask == kBordersWhite)) ++count.white;
  }
  return count;
}

}  // namespace mh
