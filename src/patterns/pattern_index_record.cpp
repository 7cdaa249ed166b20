#include "patterns/pattern_index_record.h"

namespace mh {

void NumberedIndexRecords::clear() {
  records_ = {};
  whole_.clear();
}

void NumberedIndexRecords::push_back(const PatternIndexRecord& r) {
  const size_t n = records_.size();
  if (static_cast<std::int64_t>(r.location) == static_cast<std::int64_t>(n) && r.hash >= 0 && r.hash < (1 << 24) &&
      r.blackCount >= 0 && r.blackCount < kWhole && r.whiteCount >= 0 && r.whiteCount < kWhole) {
    records_.push_back({static_cast<std::uint32_t>(r.hash) | std::uint32_t{r.side} << 24,
                        static_cast<std::uint16_t>(r.blackCount), static_cast<std::uint16_t>(r.whiteCount)});
    return;
  }
  records_.push_back({0, kWhole, kWhole});
  whole_.emplace(n, r);
}

PatternIndexRecord NumberedIndexRecords::unpack(const Packed& p, size_t n) const {
  if (p.black == kWhole && p.white == kWhole) return whole_.at(n);
  return PatternIndexRecord{static_cast<std::int32_t>(p.hashAndSide & 0xffffff), static_cast<std::int32_t>(n), p.black,
                            p.white, static_cast<std::uint8_t>(p.hashAndSide >> 24)};
}

bool NumberedIndexRecords::at(size_t n, PatternIndexRecord& out) const {
  Packed p;
  if (!records_.at(n, p)) return false;
  out = unpack(p, n);
  return true;
}

}  // namespace mh
