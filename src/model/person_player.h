#pragma once

#include <atomic>

#include "model/player.h"
#include "platform/event.h"

namespace mh {

// The person at the board as a player. The window thread hands a chosen point over with
// choose(); the driver's thread waits for it in getMove. choose(kAskAgain) after the window has
// changed the game state itself (navigation, study, take-back) makes the driver read the side to
// move afresh.
class PersonPlayer : public Player {
 public:
  void attach(int, MatchDriver&) override {}
  void setPosition(const Board&) override {}
  void movePlayed(int, Point) override {}
  // Waits for choose() and returns its point.
  Point getMove() override;
  void interrupt() override { choose(kAskAgain); }

  // Hands a point (or kAskAgain) to the waiting driver. A point chosen while nobody waits is
  // returned by the next getMove.
  void choose(Point point);
  // True while the driver's thread waits in getMove; then only the window thread changes the
  // game state.
  bool isWaiting() const { return waiting_.load(); }

 private:
  std::atomic<int> chosenPoint_{kNoPoint};
  Event moveEvent_{Event::Mode::AutoReset};
  std::atomic<bool> waiting_{false};
};

}  // namespace mh
