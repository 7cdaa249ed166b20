#include "model/random_player.h"

#include "model/match_driver.h"

namespace mh {

namespace {

// True when every neighbour of the empty point p holds a stone of colour.
bool isOwnEye(const Board& board, Point p, int colour) {
  PointList neighbours;
  board.allNeighbours(p, neighbours);
  for (Point q : neighbours)
    if (board.get(q) != colour) return false;
  return !neighbours.empty();
}

}  // namespace

void RandomPlayer::attach(int colour, MatchDriver& driver) {
  colour_ = colour;
  driver_ = &driver;
  madePositions_.clear();
}

Point RandomPlayer::getMove() {
  if (!driver_) return kNoPoint;
  const GameState& state = driver_->gameState();
  const Board& board = state.board();
  PointList choices;
  for (Point p = 0; p < static_cast<Point>(board.cells().size()); ++p)
    if (board.get(p) == Empty && !state.isIllegal(colour_, p) && !isOwnEye(board, p, colour_)) choices.push_back(p);
  while (!choices.empty()) {
    const size_t i = random_() % choices.size();
    Board after = board;
    (void)after.play(colour_, choices[i]);
    if (madePositions_.insert(std::string(after.cells().begin(), after.cells().end())).second) return choices[i];
    choices[i] = choices.back();
    choices.pop_back();
  }
  return kNoPoint;
}

}  // namespace mh
