#include "engine/engine_move_chooser.h"

#include <algorithm>

#include "model/area_count.h"
#include "model/match_driver.h"

namespace mh {

namespace {

// For every point, the steps through empty points to the nearest stone of colour (a large number
// when none can be reached).
std::vector<int> distancesTo(const Board& board, int colour) {
  const int far = 1 << 20;
  std::vector<int> distance(board.cells().size(), far);
  PointList frontier;
  for (Point p = 0; p < static_cast<Point>(board.cells().size()); ++p)
    if (board.get(p) == colour) {
      distance[static_cast<size_t>(p)] = 0;
      frontier.push_back(p);
    }
  PointList next;
  PointList around;
  for (int step = 1; !frontier.empty(); ++step) {
    next.clear();
    for (Point p : frontier) {
      board.allNeighbours(p, around);
      for (Point q : around)
        if (board.get(q) == Empty && distance[static_cast<size_t>(q)] > step) {
          distance[static_cast<size_t>(q)] = step;
          next.push_back(q);
        }
    }
    frontier.swap(next);
  }
  return distance;
}

int libertiesOf(const Board& board, Point p, Group& group) {
  PointList libs;
  if (!board.groupAt(p, group)) return 0;
  return board.liberties(group, libs);
}

}  // namespace

EngineMoveChooser::EngineMoveChooser(EngineLibraries libraries, EngineLog log, std::uint32_t seed)
    : engine_(libraries, std::move(log)), random_(seed) {
  engine_.seed(seed);
}

Point EngineMoveChooser::choose(const Board& board, int colour, const std::function<bool(Point)>& allowed) {
  engine_.SetBoard(board);
  engine_.readingCounter() = {};  // a new search
  const Point choice = engine_.ChooseMove(colour);
  lastFromEngine_ = choice >= 0 && !board.isIllegal(colour, choice) && allowed(choice);
  if (lastFromEngine_) return choice;
  return completionMove(board, colour, allowed);
}

Point EngineMoveChooser::completionMove(const Board& board, int colour,
                                        const std::function<bool(Point)>& allowed) {
  const int other = opponent(colour);
  const std::vector<int> borders = regionBorders(board);
  const std::vector<int> theirDistance = distancesTo(board, other);
  const int ownBit = colour == Black ? kBordersBlack : kBordersWhite;
  const int otherBit = other == Black ? kBordersBlack : kBordersWhite;
  int theirStones = 0;
  for (std::uint8_t v : board.cells()) theirStones += v == other ? 1 : 0;

  PointList best;
  double bestScore = 1;  // below this nothing is worth a move: pass
  PointList around;
  Group group;
  for (Point p = 0; p < static_cast<Point>(board.cells().size()); ++p) {
    if (board.get(p) != Empty || board.isIllegal(colour, p) || !allowed(p)) continue;
    board.allNeighbours(p, around);
    const bool ownEye = std::all_of(around.begin(), around.end(), [&](Point q) { return board.get(q) == colour; });
    if (ownEye) continue;

    Board after = board;
    after.place(colour, p);
    int theirStonesAfter = 0;
    for (std::uint8_t v : after.cells()) theirStonesAfter += v == other ? 1 : 0;
    const int captured = theirStones - theirStonesAfter;
    const int libs = libertiesOf(after, p, group);
    if (libs <= 1 && captured == 0) continue;

    double score = 10.0 * captured;
    std::vector<Point> seen;
    for (Point q : around) {
      const int v = board.get(q);
      if (!isStoneColour(v)) continue;
      Group before;
      const int libsBefore = libertiesOf(board, q, before);
      if (std::find(seen.begin(), seen.end(), before.points.front()) != seen.end()) continue;
      seen.push_back(before.points.front());
      if (v == colour && libsBefore == 1 && libs >= 2) score += 8.0 * before.size();
      if (v == other && after.get(q) == other && libs >= 2) {
        Group theirs;
        if (libertiesOf(after, q, theirs) == 1) score += 3.0 * theirs.size();
      }
    }
    const int mask = borders[static_cast<size_t>(p)];
    // Open ground: no one's yet, contested, or the other side's only in name (three steps or more
    // from its stones). A region only this side borders is its own.
    const bool open = mask == 0 || mask == (ownBit | otherBit) ||
                      (mask == otherBit && theirDistance[static_cast<size_t>(p)] >= 3);
    if (open) score += 1.0;
    // Among equals, prefer pressing on the other side and keeping close to one's own stones.
    for (Point q : around) score += board.get(q) == other ? 0.2 : board.get(q) == colour ? 0.1 : 0.0;
    score += 0.05 * std::min(board.edgeLine(p), 4);  // and the third and fourth lines to the edge

    if (score < bestScore - 1e-9) continue;
    if (score > bestScore + 1e-9) {
      bestScore = score;
      best.clear();
    }
    best.push_back(p);
  }
  if (best.empty()) return kNoPoint;
  return best[random_() % best.size()];
}

void EngineMatchPlayer::attach(int colour, MatchDriver& driver) {
  colour_ = colour;
  driver_ = &driver;
}

Point EngineMatchPlayer::getMove() {
  if (!driver_) return kNoPoint;
  const GameState& state = driver_->gameState();
  return chooser_.choose(state.board(), colour_, [&](Point p) { return !state.isIllegal(colour_, p); });
}

}  // namespace mh
