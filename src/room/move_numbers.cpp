#include "room/move_numbers.h"

#include <string>
#include <unordered_set>

namespace mh {

int nextMoveNumberMode(int mode) { return mode >= 0 && mode < kNumbersAll ? mode + 1 : kNumbersOff; }

std::vector<BoardLabel> moveNumberLabels(const Board& board, const std::vector<ViewMove>& moves, int mode,
                                         bool studying) {
  std::vector<BoardLabel> labels;
  if (studying) mode = kNumbersAll;
  const int count = static_cast<int>(moves.size());
  const int span = mode == kNumbersLast ? 1 : mode == kNumbersLastFive ? 5 : mode == kNumbersAll ? count : 0;
  std::unordered_set<Point> numbered;
  for (int i = count - 1; i >= 0 && i >= count - span; --i) {
    const ViewMove& m = moves[static_cast<size_t>(i)];
    if (m.point < 0 || !isStoneColour(m.colour) || board.get(m.point) != m.colour) continue;
    if (!numbered.insert(m.point).second) continue;
    labels.push_back({m.point, m.colour == Black ? kWhiteRgb : kBlackRgb, std::to_string(i + 1)});
  }
  return labels;
}

}  // namespace mh
