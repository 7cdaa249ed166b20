#include "model/person_player.h"

namespace mh {

Point PersonPlayer::getMove() {
  waiting_.store(true);
  moveEvent_.wait();
  waiting_.store(false);
  return chosenPoint_.load();
}

void PersonPlayer::choose(Point point) {
  chosenPoint_.store(point);
  moveEvent_.set();
}

}  // namespace mh
