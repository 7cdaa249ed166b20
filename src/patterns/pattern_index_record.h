#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/byte_io.h"
#include "platform/growing_pages.h"

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

// Index records whose location is their own number (a library under construction), 8 bytes each
// where a record takes 20: the hash with the side in its top byte, and both stone counts in 16
// bits. A record that does not fit (no build makes one; a damaged file might) is kept whole beside
// them, so every record reads back exactly as it was appended.
class NumberedIndexRecords {
 public:
  size_t size() const { return packed_.size(); }
  bool empty() const { return packed_.empty(); }
  size_t capacity() const { return packed_.capacity(); }
  void reserve(size_t count) { packed_.reserve(count); }
  void clear() {
    packed_.clear();
    whole_.clear();
  }
  void push_back(const PatternIndexRecord& r) {
    const auto n = static_cast<std::int64_t>(packed_.size());
    if (r.location == n && r.hash >= 0 && r.hash < (1 << 24) && r.blackCount >= 0 && r.blackCount < kWhole &&
        r.whiteCount >= 0 && r.whiteCount < kWhole) {
      packed_.push_back({static_cast<std::uint32_t>(r.hash) | std::uint32_t{r.side} << 24,
                         static_cast<std::uint16_t>(r.blackCount), static_cast<std::uint16_t>(r.whiteCount)});
      return;
    }
    packed_.push_back({0, kWhole, kWhole});
    whole_.emplace(packed_.size() - 1, r);
  }
  PatternIndexRecord operator[](size_t n) const {
    const Packed& p = packed_[n];
    if (p.black == kWhole && p.white == kWhole) return whole_.at(n);
    return PatternIndexRecord{static_cast<std::int32_t>(p.hashAndSide & 0xffffff), static_cast<std::int32_t>(n),
                              p.black, p.white, static_cast<std::uint8_t>(p.hashAndSide >> 24)};
  }

 private:
  static constexpr std::uint16_t kWhole = 0xffff;  // both counts: the record is kept whole
  struct Packed {
    std::uint32_t hashAndSide;
    std::uint16_t black;
    std::uint16_t white;
  };
  GrowingPages<Packed> packed_;
  std::unordered_map<size_t, PatternIndexRecord> whole_;
};

}  // namespace mh
