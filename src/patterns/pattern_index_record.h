#pragma once

#include <cstdint>

#include "platform/byte_io.h"

namespace mh {

// What a library keeps in memory per entry when the entries themselves stay on disk: enough to
// rule out most hash-bucket neighbours without reading them. The location is a byte offset in
// the data file (index mode) or the entry's number (warehouse mode). 17 bytes on disk, packed.
struct PatternIndexRecord {
  std::int32_t hash = 0;
  std::int32_t location = 0;
  std::int32_t blackCount = 0;
  std::int32_t whiteCount = 0;
  std::uint8_t side = 0;

  static constexpr size_t kBytes = 17;

  [[nodiscard]] bool read(ByteReader& in) {
    return in.readI32(hash) && in.readI32(location) && in.readI32(blackCount) && in.readI32(whiteCount) &&
           in.readU8(side);
  }
  void write(ByteWriter& out) const {
    out.writeI32(hash);
    out.writeI32(location);
    out.writeI32(blackCount);
    out.writeI32(whiteCount);
    out.writeU8(side);
  }
  friend bool operator==(const PatternIndexRecord&, const PatternIndexRecord&) = default;
};

}  // namespace mh
