#pragma once

#include <cstddef>
#include <cstdint>

namespace mh {

// Where a stored position was met: game number in the pattern base's game index, index of the
// move in that game's move list, and the move's point in the orientation of the stored entry.
// Stored as 8 bytes: signed 32-bit game, signed 16-bit move, signed 16-bit point.
struct PatternOccurrence {
  std::int32_t game = 0;
  std::int16_t move = 0;
  std::int16_t point = -1;

  static constexpr size_t kBytes = 8;
  friend bool operator==(const PatternOccurrence&, const PatternOccurrence&) = default;
};

}  // namespace mh
