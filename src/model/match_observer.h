#pragma once

namespace mh {

// Receives a match driver's notifications. The calls come from the driver's thread (and, for the
// first position, from the thread that starts the match), so an implementation only hands them
// on (the desktop program queues them to its window thread) and never blocks.
class MatchObserver {
 public:
  virtual ~MatchObserver() = default;
  // The position or the side to move changed: redraw.
  virtual void positionChanged() = 0;
  // The game has ended: two passes in a row, or a player gave up.
  virtual void gameOver() = 0;
};

}  // namespace mh
