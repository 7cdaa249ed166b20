#pragma once

#include <cstddef>
#include <cstdint>

#include "model/point.h"

namespace mh {

// A move played from a stored position with the outcome counts of the games that played it.
// Games without a known winner count in played only, so played >= wins + losses. Stored as four
// little-endian signed 32-bit values (16 bytes) in every file form.
struct PatternCandidate {
  Point point = kNoPoint;  // -1 is a pass
  std::int32_t played = 0;
  std::int32_t wins = 0;
  std::int32_t losses = 0;

  static constexpr size_t kBytes = 16;
  friend bool operator==(const PatternCandidate&, const PatternCandidate&) = default;
};

}  // namespace mh
