#include "support/walking_local_adder.h"

#include <algorithm>

#include "patterns/library_adders.h"
#include "shapes/local_position.h"

namespace mh::test {

void addByWalkingClusters(PatternLibrary& library, const GameRecord& record, int winner, int game) {
  const int k = std::min(record.entryCount(), 150);
  if (k <= 1) return;
  auto applySetup = [](const MoveEntry& e, Board& b) {
    if (!e.hasSetup()) return;
    b.setPoints(e.blackSetup, Black);
    b.setPoints(e.whiteSetup, White);
  };
  Board now = record.initialPosition();
  const MoveEntry& first = record.entries().front();
  applySetup(first, now);
  if (first.hasMove() && first.point >= 0) now.place(first.colour, first.point);
  LocalPosition after, joined;
  for (int i = 1; i < k; ++i) {
    const MoveEntry& e = record.entries()[static_cast<size_t>(i)];
    applySetup(e, now);
    const Board before = now;
    if (!e.hasMove() || e.point < 0) continue;
    now.place(e.colour, e.point);
    const int n = clusterAt(now, e.point, 5, after) ? after.stoneCount() : 0;
    if (n < 2 || n > 50) continue;
    PointList all;
    after.allStones(all);
    const Point q = *std::find_if(all.begin(), all.end(), [&](Point s) { return s != e.point; });
    const int nBefore = clusterAt(before, q, 5, joined) ? joined.stoneCount() : 0;
    if (nBefore > 0 && nBefore + 1 == n) {
      Board only(19, 19);
      only.setPoints(joined.blackStones, Black);
      only.setPoints(joined.whiteStones, White);
      if (!recordMove(library, only.snapshot(), e.colour, e.point, game, i, winner)) return;
    }
  }
}

}  // namespace mh::test
