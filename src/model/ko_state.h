#pragma once

#include "model/point.h"

namespace mh {

// The ko left by the last move: the point of the single stone it captured and the point of the
// stone that captured it. Both are -1 when there is no ko.
struct KoState {
  Point koPoint = kNoPoint;
  Point capturingPoint = kNoPoint;

  bool active() const { return koPoint != kNoPoint; }
  void clear() { koPoint = capturingPoint = kNoPoint; }

  friend bool operator==(const KoState&, const KoState&) = default;
};

}  // namespace mh
