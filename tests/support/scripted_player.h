#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "model/player.h"

namespace mh::test {

// A player for driver tests: answers getMove from a list (then with afterLast), records what the
// driver tells it, and can hold getMove until released, as a slow program or a person would.
class ScriptedPlayer : public Player {
 public:
  explicit ScriptedPlayer(std::vector<Point> answers, Point afterLast = -2)
      : answers_(std::move(answers)), afterLast_(afterLast) {}

  void attach(int colour, MatchDriver& driver) override;
  void setPosition(const Board& board) override;
  void movePlayed(int colour, Point point) override;
  Point getMove() override;
  void interrupt() override;

  // Makes the next getMove calls wait until release(). With honourInterrupt an interrupt ends
  // the wait (getMove then answers kAskAgain); without, only release() does.
  void hold(bool honourInterrupt = true);
  void release();
  // Waits until a getMove is waiting in a hold.
  bool waitUntilHeld(std::chrono::milliseconds timeout);

  int asks() const;
  std::vector<int> attachedColours() const;
  std::vector<Board> positions() const;
  std::vector<std::pair<int, Point>> movesPlayed() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Point> answers_;
  Point afterLast_;
  size_t next_ = 0;
  int asks_ = 0;
  bool holding_ = false;
  bool honourInterrupt_ = true;
  bool held_ = false;
  bool interrupted_ = false;
  std::vector<int> colours_;
  std::vector<Board> positions_;
  std::vector<std::pair<int, Point>> moves_;
};

}  // namespace mh::test
