#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mh {

// The prev and next links of the blocks that have any, by block table index, in one open-addressed
// array (12 bytes a slot, at most half full). A look-up is one probe into it, mostly: reading back
// a chain looks its blocks up at random among millions, where a node-based map chases a bucket
// and a node for each, and costs about four times the memory.
class BlockLinks {
 public:
  struct Links {
    std::int32_t prev;
    std::int32_t next;
  };

  // The links of block idx, or nullptr when it has none.
  const Links* find(size_t idx) const {
    if (count_ == 0) return nullptr;
    for (size_t s = slotOf(idx);; s = (s + 1) & mask_) {
      if (slots_[s].key == kEmpty) return nullptr;
      if (slots_[s].key == idx) return &slots_[s].links;
    }
  }
  // Sets (adds or replaces) the links of block idx.
  void set(size_t idx, Links links) {
    if ((count_ + 1) * 2 > slots_.size()) grow();
    size_t s = slotOf(idx);
    while (slots_[s].key != kEmpty && slots_[s].key != idx) s = (s + 1) & mask_;
    if (slots_[s].key == kEmpty) ++count_;
    slots_[s] = Slot{static_cast<std::uint32_t>(idx), links};
  }
  // Drops the links of block idx when it has any.
  void erase(size_t idx) {
    if (count_ == 0) return;
    size_t s = slotOf(idx);
    while (slots_[s].key != idx) {
      if (slots_[s].key == kEmpty) return;
      s = (s + 1) & mask_;
    }
    // Later slots of the run move back into the hole when their home lies at or before it, so
    // that every key stays reachable from its home without markers for removed keys.
    for (size_t next = (s + 1) & mask_; slots_[next].key != kEmpty; next = (next + 1) & mask_) {
      const size_t home = slotOf(slots_[next].key);
      if (((next - home) & mask_) >= ((next - s) & mask_)) {
        slots_[s] = slots_[next];
        s = next;
      }
    }
    slots_[s].key = kEmpty;
    --count_;
  }
  void clear() {
    slots_ = {};
    mask_ = 0;
    count_ = 0;
  }
  size_t size() const { return count_; }

 private:
  static constexpr std::uint32_t kEmpty = 0xffffffffu;  // block indices stay far below it
  struct Slot {
    std::uint32_t key = kEmpty;
    Links links{-1, -1};
  };
  size_t slotOf(size_t idx) const {
    // Chained blocks lie next to one another in the table: their indices are spread by a multiply.
    return static_cast<size_t>((static_cast<std::uint64_t>(idx) * 0x9e3779b97f4a7c15ULL) >> 32) & mask_;
  }
  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    mask_ = slots_.size() - 1;
    count_ = 0;
    for (const Slot& slot : old)
      if (slot.key != kEmpty) set(slot.key, slot.links);
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t count_ = 0;
};

}  // namespace mh
