#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace mh {

// Numbers (0 and up, inserted in increasing order) found again by a hash of what each stands for,
// in 8 bytes a slot kept at most half full: about 16 bytes a number where a set of strings takes a
// hundred. It holds no keys: a lookup offers every number stored under the same hash bits, in
// increasing order, and the caller checks each against its own key, so a collision costs a
// comparison and never gives a wrong answer.
class HashedNumbers {
 public:
  void clear() {
    slots_ = {};
    count_ = 0;
  }
  size_t size() const { return count_; }
  // Room for count numbers without regrowing.
  void reserve(size_t count) {
    size_t want = 16;
    while (want < count * 2) want *= 2;
    if (want > slots_.size()) rehash(want);
  }
  void insert(std::uint64_t hash, std::int32_t number) {
    if ((count_ + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 16 : slots_.size() * 2);
    place(Slot{static_cast<std::uint32_t>(hash), number});
    ++count_;
  }
  // Calls each(number) for the numbers inserted under hash (and perhaps a few others), in
  // increasing order, until it returns true; the number it stopped at, or -1.
  template <class Each>
  std::int32_t find(std::uint64_t hash, Each&& each) const {
    if (slots_.empty()) return -1;
    const size_t mask = slots_.size() - 1;
    const auto bits = static_cast<std::uint32_t>(hash);
    for (size_t i = bits & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.number < 0) return -1;
      if (s.bits == bits && each(s.number)) return s.number;
    }
  }

 private:
  // A slot keeps 32 bits of the hash: they choose the slot and tell most other numbers apart.
  struct Slot {
    std::uint32_t bits = 0;
    std::int32_t number = -1;  // -1: empty
  };
  // Linear probing keeps the numbers of one hash in the order they came; rehashing puts every
  // number back in increasing order, which keeps it.
  void place(const Slot& slot) {
    const size_t mask = slots_.size() - 1;
    size_t i = slot.bits & mask;
    while (slots_[i].number >= 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
  void rehash(size_t size) {
    std::vector<Slot> old(size);
    old.swap(slots_);
    std::erase_if(old, [](const Slot& s) { return s.number < 0; });
    std::sort(old.begin(), old.end(), [](const Slot& a, const Slot& b) { return a.number < b.number; });
    for (const Slot& s : old) place(s);
  }

  std::vector<Slot> slots_;
  size_t count_ = 0;
};

}  // namespace mh
