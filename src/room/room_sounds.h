#pragma once

#include <cstddef>

namespace mh {

// The sounds of the board module, by resource number.
enum RoomSound : int {
  kNoSound = -1,
  kStoneSound = 20716,           // a stone placed, nothing captured
  kCaptureOneSound = 20717,      // one stone captured
  kCaptureSomeSound = 20718,     // two to nine
  kCaptureManySound = 20719,     // ten or more
  kPassSound = 20720,            // the person at the board passed
  kEndStudySound = 20721,
  kStudySound = 20722,
  kNewGameSound = 20727,
  // A pending sound above this counts as none: a refresh that must stay silent sets it.
  kSilentRefresh = 100000,
};

// The sound of a refresh: the pending one when a command chose it (kSilentRefresh and above: none),
// otherwise, when the last move placed a stone, the one for the number of stones it captured.
int refreshSound(int pendingSound, bool lastMovePlacedStone, size_t captured);

// Whether a room's stone sound is heard under the stone sound mode (0 every room, 1 only the
// active room, 2 none).
bool stoneSoundAudible(int stoneSoundMode, bool roomActive);

}  // namespace mh
