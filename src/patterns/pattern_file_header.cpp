#include "patterns/pattern_file_header.h"

#include <algorithm>
#include <cstring>

namespace mh {

bool PatternFileHeader::read(ByteReader& in, std::string_view tag, std::int32_t& count) {
  char raw[kTagBytes];
  double zero = 1.0;
  std::int32_t n = 0;
  if (!in.readBytes(raw, sizeof raw) || !in.readF64(zero) || !in.readI32(n)) return false;
  const void* nul = std::memchr(raw, 0, sizeof raw);
  if (nul == nullptr) return false;
  const std::string_view found(raw, static_cast<size_t>(static_cast<const char*>(nul) - raw));
  if (found != tag || zero != 0.0 || n < 0) return false;
  count = n;
  return true;
}

void PatternFileHeader::write(ByteWriter& out, std::string_view tag, std::int32_t count) {
  char raw[kTagBytes] = {};
  if (!tag.empty()) std::memcpy(raw, tag.data(), std::min(tag.size(), kTagBytes - 1));
  out.writeBytes(raw, sizeof raw);
  out.writeZeros(8);
  out.writeI32(count);
}

}  // namespace mh
