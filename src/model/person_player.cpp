#include "model/person_player.h"

namespace mh {

Point PersonPlayer::getMove() {
  waiting_.store(true);
  moveEvent_.wait();
  waiting_.store(false);
  return chosenPoint_.load();
}

void PersonPlayer::choose(Point point) {
  // From here on the driver owns the game state, until it waits again: a second command from the
  // window must not find it "waiting" before the driver has even woken.
  waiting_.store(false);
  chosenPoint_.store(point);
  moveEvent_.set();
}

}  // namespace mh
