#include "patterns/pattern_key_file.h"

namespace mh {

namespace {

constexpr char kTag[8] = {'w', 'p', 'k', 'e', 'y', 's', '0', '1'};

template <class T>
void put(std::uint8_t* out, T v) {
  std::memcpy(out, &v, sizeof v);
}
template <class T>
T get(const std::uint8_t* in) {
  T v;
  std::memcpy(&v, in, sizeof v);
  return v;
}

}  // namespace

void PatternKeyFileHeader::write(std::uint8_t* out) const {
  std::memcpy(out, kTag, sizeof kTag);
  put(out + 8, entries);
  put(out + 12, dataBytes);
  put(out + 20, indexFold);
  put(out + 28, std::uint32_t{0});
}

bool PatternKeyFileHeader::read(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kBytes || std::memcmp(bytes.data(), kTag, sizeof kTag) != 0 ||
      get<std::uint32_t>(bytes.data() + 28) != 0)
    return false;
  entries = get<std::uint32_t>(bytes.data() + 8);
  dataBytes = get<std::uint64_t>(bytes.data() + 12);
  indexFold = get<std::uint64_t>(bytes.data() + 20);
  return true;
}

std::uint64_t patternKeyLength(std::span<const std::uint8_t, kPatternKeyHeadBytes> head) {
  const auto black = get<std::int32_t>(head.data() + 8);
  const auto white = get<std::int32_t>(head.data() + 12);
  if (black < 0 || white < 0) return 0;
  return kPatternKeyHeadBytes +
         4 * (std::uint64_t{static_cast<std::uint32_t>(black)} + static_cast<std::uint32_t>(white));
}

size_t patternKeyBytes(std::span<const std::uint8_t> entry) {
  if (entry.size() < kPatternKeyHeadBytes) return 0;
  const std::uint64_t bytes = patternKeyLength(entry.first<kPatternKeyHeadBytes>());
  return bytes != 0 && bytes <= entry.size() ? static_cast<size_t>(bytes) : 0;
}

std::uint16_t patternKeyMark(std::span<const std::uint8_t> key) {
  // Eight bytes a step through one multiply chain; the points (which tell keys apart) are
  // four-byte words, so every step takes in two of them.
  std::uint64_t h = 0x6a09e667f3bcc909ULL ^ key.size();
  size_t i = 0;
  for (; i + 8 <= key.size(); i += 8) {
    h = (h ^ get<std::uint64_t>(key.data() + i)) * 0xff51afd7ed558ccdULL;
    h ^= h >> 32;
  }
  std::uint64_t tail = 0;
  if (i < key.size()) std::memcpy(&tail, key.data() + i, key.size() - i);
  h = (h ^ tail) * 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 29;
  h *= 0x9e3779b97f4a7c15ULL;
  return static_cast<std::uint16_t>(h >> 48);
}

}  // namespace mh
