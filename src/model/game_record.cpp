#include "model/game_record.h"

#include <algorithm>

namespace mh {

bool GameRecord::setSize(int width, int height) {
  width_ = width;
  height_ = height;
  return initial_.resize(width, height);
}

void GameRecord::clear() {
  info_.clear();
  entries_.clear();
  initial_.clear();
}

void GameRecord::resetTo19() {
  // The initial position follows the record's size, so it is resized too.
  (void)setSize(19, 19);
  clear();
}

void GameRecord::appendMove(int colour, Point p, const SgfNode* properties) {
  MoveEntry e;
  e.flags = MoveEntry::kMove;
  e.colour = static_cast<std::uint8_t>(colour);
  e.point = p;
  if (properties) e.properties.copyProperties(*properties);
  entries_.push_back(std::move(e));
}

void GameRecord::appendMoveAt(int colour, int x, int y, const SgfNode* properties) {
  Point p = kNoPoint;
  if (x >= 0 && x < width_ && y >= 0 && y < height_) p = x + width_ * y;
  appendMove(colour, p, properties);
}

void GameRecord::removeLast(int n) {
  if (n <= 0) return;
  if (n >= entryCount()) {
    entries_.clear();
    return;
  }
  entries_.resize(entries_.size() - static_cast<size_t>(n));
}

bool GameRecord::lastMove(int& colour, Point& p) const {
  colour = 0;
  p = 0;
  if (entries_.empty() || !entries_.back().hasMove()) return false;
  colour = entries_.back().colour;
  p = entries_.back().point;
  return true;
}

void GameRecord::stonesPlaced(int& black, int& white, size_t entryCount) const {
  PointList pts;
  black = initial_.pointsOfValue(Black, pts);
  white = initial_.pointsOfValue(White, pts);
  entryCount = std::min(entryCount, entries_.size());
  for (size_t i = 0; i < entryCount; ++i) {
    const MoveEntry& e = entries_[i];
    if (e.hasSetup()) {
      black += static_cast<int>(e.blackSetup.size());
      white += static_cast<int>(e.whiteSetup.size());
    }
    if (e.hasMove() && e.point >= 0) {
      if (e.colour == Black) ++black;
      else if (e.colour == White) ++white;
    }
  }
}

}  // namespace mh
