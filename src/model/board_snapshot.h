#pragma once

#include <cstdint>
#include <vector>

#include "model/point.h"
#include "platform/byte_io.h"

namespace mh {

// Compact copy of a position: the black stones ascending, then the white stones ascending.
// The pattern-library files store it in its binary form: width, height, black count, white
// count, then the points, all 32-bit little-endian, no header and no padding.
struct BoardSnapshot {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t blackCount = 0;
  std::int32_t whiteCount = 0;
  PointList points;  // blackCount black points, then whiteCount white points

  // Size of the binary form.
  size_t byteSize() const { return 16 + 4 * points.size(); }

  // Reads the binary form. On failure (a short header, fewer points than the counts claim, or a
  // negative count) the header values read so far are kept and there are no points.
  [[nodiscard]] bool read(ByteReader& in);
  // Appends the binary form. Fails, writing nothing, when the counts do not match the points.
  [[nodiscard]] bool write(ByteWriter& out) const;
  // Whether write succeeds: the counts add up to the points.
  bool writable() const {
    return blackCount >= 0 && whiteCount >= 0 &&
           static_cast<std::int64_t>(blackCount) + whiteCount == static_cast<std::int64_t>(points.size());
  }
  std::vector<std::uint8_t> toBytes() const;

  // Equal in every field: a snapshot whose points were not read (a failed read keeps the
  // counts) equals no snapshot that has them.
  friend bool operator==(const BoardSnapshot& a, const BoardSnapshot& b) = default;
};

}  // namespace mh
