#pragma once

#include <charconv>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/growing_pages.h"

namespace mh {

// The names of a warehouse and the start of each one's chain (a number the warehouse gives
// meaning to), held compactly. Names that are
// plain decimal numbers (the pattern libraries name their entries 0, 1, 2...) take 4 bytes each in
// an array indexed by the number; any other name goes side by side with the others in one buffer,
// with a 12-byte record and an open-addressing table, about 30 bytes a name where a tree of
// strings needs about 80. Other names keep the order in which they were first set, and come
// after the numbers, which come in increasing order.
class WarehouseDirectory {
 public:
  void clear();
  size_t size() const { return live_ + numberedLive_; }

  // Whether every name is a plain decimal number held by number (the names a pattern library
  // gives its entries), so that the starts by number say all there is.
  bool onlyNumbered() const { return live_ == 0; }
  // Numbers 0 to numberedSlots() - 1: the start of that name, or kNoStart when it is absent.
  static constexpr std::int32_t kNoStart = INT32_MIN;
  size_t numberedSlots() const { return numbered_.size(); }
  std::int32_t numberedStart(size_t n) const { return numbered_[n]; }
  // Adds the name numberedSlots() with its start (kNoStart: a number without a name), as names
  // read in number order would be added.
  void appendNumbered(std::int32_t start) {
    numbered_.push_back(start);
    if (start != kNoStart) ++numberedLive_;
  }

  // The number a plain decimal name spells (no sign, no leading zero, below 2^31), or -1: the
  // names held by number.
  static std::int64_t numberOf(std::string_view name);

  // The start of name's chain, or nullptr when the name is absent.
  const std::int32_t* find(std::string_view name) const;
  std::int32_t* find(std::string_view name);
  // Sets (adds or replaces) name's start.
  void set(std::string_view name, std::int32_t start);
  // Removes name when present.
  void erase(std::string_view name);

  // Records by number, including removed ones (false), for a walk that can pause: every name
  // once. The name of a numbered record is written into spelled, which must outlive its use.
  size_t recordCount() const { return numbered_.size() + records_.size(); }
  bool recordAt(size_t n, std::string_view& name, std::int32_t& start, std::string& spelled) const {
    if (n < numbered_.size()) {
      start = numbered_[n];
      char digits[24];
      spelled.assign(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
      name = spelled;
      return start != kAbsent;
    }
    const Record& r = records_[n - numbered_.size()];
    name = std::string_view(names_.data() + r.offset, r.length);
    start = r.start;
    return r.live;
  }
  // The start of record n (see recordAt), to change in place; nullptr for a removed record.
  const std::int32_t* startOf(size_t n) const {
    if (n < numbered_.size()) return numbered_[n] != kAbsent ? &numbered_[n] : nullptr;
    const Record& r = records_[n - numbered_.size()];
    return r.live ? &r.start : nullptr;
  }
  std::int32_t* startOf(size_t n) {
    return const_cast<std::int32_t*>(static_cast<const WarehouseDirectory*>(this)->startOf(n));
  }


 private:
  struct Record {
    std::uint32_t offset = 0;
    std::uint8_t length = 0;
    bool live = false;
    std::int32_t start = -1;
  };
  static std::uint64_t hashOf(std::string_view name);
  static constexpr std::int32_t kAbsent = kNoStart;
  // The start of a name held with the other (not numbered) names, or nullptr.
  const std::int32_t* findOther(std::string_view name) const;
  // The slot holding name's record, or the empty slot where it would go.
  size_t slotOf(std::string_view name) const;
  void grow();

  std::string names_;
  std::vector<Record> records_;
  std::vector<std::int32_t> slots_;  // record numbers, -1 empty; a power of two long
  size_t live_ = 0;
  GrowingPages<std::int32_t> numbered_;  // start by number, kAbsent for no such name
  size_t numberedLive_ = 0;
};

}  // namespace mh
