#include "model/area_count.h"

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
    const int owner = v == Empty ? regionOwner(borders[static_cast<size_t>(p)]) : v;
    if (owner == Black) ++count.black;
    if (owner == White) ++count.white;
  }
  return count;
}

}  // namespace mh
