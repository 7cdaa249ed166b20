#include "room/room_sounds.h"

namespace mh {

int refreshSound(int pendingSound, bool lastMovePlacedStone, size_t captured) {
  if (pendingSound >= kSilentRefresh) return kNoSound;
  if (pendingSound != kNoSound) return pendingSound;
  if (!lastMovePlacedStone) return kNoSound;
  if (captured == 0) return kStoneSound;
  if (captured == 1) return kCaptureOneSound;
  return captured <= 9 ? kCaptureSomeSound : kCaptureManySound;
}

bool stoneSoundAudible(int stoneSoundMode, bool roomActive) {
  return stoneSoundMode == 0 || (stoneSoundMode == 1 && roomActive);
}

}  // namespace mh
