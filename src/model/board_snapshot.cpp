#include "model/board_snapshot.h"

namespace mh {

bool BoardSnapshot::read(ByteReader& in) {
  points.clear();
  if (!in.readI32(width) || !in.readI32(height) || !in.readI32(blackCount) || !in.readI32(whiteCount))
    return false;
  if (blackCount < 0 || whiteCount < 0) return false;
  const std::int64_t n = static_cast<std::int64_t>(blackCount) + whiteCount;
  // Checked against what is left before allocating, so a hostile count cannot ask for gigabytes.
  if (static_cast<std::uint64_t>(n) * 4 > in.remaining()) return false;
  points.resize(static_cast<size_t>(n));
  for (auto& p : points) (void)in.readI32(p);
  return true;
}

bool BoardSnapshot::write(ByteWriter& out) const {
  if (!writable()) return false;
  // The header and the points each go in one copy: the host is little-endian, so the points as
  // they lie in memory are their binary form.
  out.reserveMore((4 + points.size()) * sizeof(std::int32_t));
  const std::int32_t header[4] = {width, height, blackCount, whiteCount};
  out.writeBytes(header, sizeof header);
  out.writeBytes(points.data(), points.size() * sizeof(Point));
  return true;
}

std::vector<std::uint8_t> BoardSnapshot::toBytes() const {
  std::vector<std::uint8_t> bytes;
  ByteWriter w(bytes);
  (void)write(w);
  return bytes;
}

}  // namespace mh
