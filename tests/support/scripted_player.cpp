#include "support/scripted_player.h"

namespace mh::test {

void ScriptedPlayer::attach(int colour, MatchDriver&) {
  std::lock_guard lock(mutex_);
  colours_.push_back(colour);
}

void ScriptedPlayer::setPosition(const Board& board) {
  std::lock_guard lock(mutex_);
  positions_.push_back(board);
}

void ScriptedPlayer::movePlayed(int colour, Point point) {
  std::lock_guard lock(mutex_);
  moves_.emplace_back(colour, point);
}

Point ScriptedPlayer::getMove() {
  std::unique_lock lock(mutex_);
  ++asks_;
  if (holding_) {
    held_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !holding_ || (honourInterrupt_ && interrupted_); });
    held_ = false;
    if (holding_) {
      interrupted_ = false;
      return kAskAgain;
    }
  }
  return next_ < answers_.size() ? answers_[next_++] : afterLast_;
}

void ScriptedPlayer::interrupt() {
  std::lock_guard lock(mutex_);
  interrupted_ = true;
  changed_.notify_all();
}

void ScriptedPlayer::hold(bool honourInterrupt) {
  std::lock_guard lock(mutex_);
  holding_ = true;
  honourInterrupt_ = honourInterrupt;
  interrupted_ = false;
}

void ScriptedPlayer::release() {
  std::lock_guard lock(mutex_);
  holding_ = false;
  changed_.notify_all();
}

bool ScriptedPlayer::waitUntilHeld(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return held_; });
}

int ScriptedPlayer::asks() const {
  std::lock_guard lock(mutex_);
  return asks_;
}

std::vector<int> ScriptedPlayer::attachedColours() const {
  std::lock_guard lock(mutex_);
  return colours_;
}

std::vector<Board> ScriptedPlayer::positions() const {
  std::lock_guard lock(mutex_);
  return positions_;
}

std::vector<std::pair<int, Point>> ScriptedPlayer::movesPlayed() const {
  std::lock_guard lock(mutex_);
  return moves_;
}

}  // namespace mh::test
