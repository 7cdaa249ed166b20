#include "patterns/pattern_index_record.h"

#include <algorithm>

namespace mh {

void NumberedIndexRecords::clear() {
  pages_.clear();
  pages_.shrink_to_fit();
  size_ = 0;
  spare_.reset();
  whole_.clear();
  (void)spill_.close();
  window_.reset();
  windowValid_ = false;
}

void NumberedIndexRecords::push_back(const PatternIndexRecord& r) {
  if (size_ == capacity()) {
    // The page before the new one is full and will not change again.
    if (spill_.isOpen() && !pages_.empty()) spillPage(pages_.size() - 1);
    pages_.push_back(spare_ ? std::move(spare_) : std::make_unique_for_overwrite<Packed[]>(kPageItems));
  }
  const size_t n = size_++;
  Packed& p = pages_[n / kPageItems][n % kPageItems];
  if (static_cast<std::int64_t>(r.location) == static_cast<std::int64_t>(n) && r.hash >= 0 && r.hash < (1 << 24) &&
      r.blackCount >= 0 && r.blackCount < kWhole && r.whiteCount >= 0 && r.whiteCount < kWhole) {
    p = {static_cast<std::uint32_t>(r.hash) | std::uint32_t{r.side} << 24, static_cast<std::uint16_t>(r.blackCount),
         static_cast<std::uint16_t>(r.whiteCount)};
    return;
  }
  p = {0, kWhole, kWhole};
  whole_.emplace(n, r);
}

PatternIndexRecord NumberedIndexRecords::unpack(const Packed& p, size_t n) const {
  if (p.black == kWhole && p.white == kWhole) return whole_.at(n);
  return PatternIndexRecord{static_cast<std::int32_t>(p.hashAndSide & 0xffffff), static_cast<std::int32_t>(n), p.black,
                            p.white, static_cast<std::uint8_t>(p.hashAndSide >> 24)};
}

bool NumberedIndexRecords::at(size_t n, PatternIndexRecord& out) const {
  if (n >= size_) return false;
  if (const Packed* page = pages_[n / kPageItems].get()) {
    out = unpack(page[n % kPageItems], n);
    return true;
  }
  const size_t start = n / kWindowItems * kWindowItems;
  if (!windowValid_ || windowStart_ != start) {
    if (!window_) window_ = std::make_unique_for_overwrite<Packed[]>(kWindowItems);
    windowValid_ = false;
    // A spilled page is whole, so every window within it is too.
    if (!spill_.readAt(start * sizeof(Packed), window_.get(), kWindowItems * sizeof(Packed))) return false;
    windowStart_ = start;
    windowValid_ = true;
  }
  out = unpack(window_[n - start], n);
  return true;
}

void NumberedIndexRecords::spillPage(size_t p) {
  if (!pages_[p]) return;
  if (!spill_.writeAt(p * kPageItems * sizeof(Packed), pages_[p].get(), kPageItems * sizeof(Packed))) return;
  spare_ = std::move(pages_[p]);
}

bool NumberedIndexRecords::spillTo(const std::string& directory) {
  if (spill_.isOpen()) return true;
  if (!spill_.openScratch(directory)) return false;
  // Every full page but the newest: the newest is the one appends go to.
  for (size_t p = 0; p + 1 < pages_.size(); ++p) spillPage(p);
  if (size_ == capacity() && !pages_.empty()) spillPage(pages_.size() - 1);
  spare_.reset();
  return true;
}

size_t NumberedIndexRecords::pagesHeld() const {
  return static_cast<size_t>(std::count_if(pages_.begin(), pages_.end(), [](const auto& p) { return p != nullptr; }));
}

}  // namespace mh
