#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

#include "platform/paged_array.h"

namespace mh {

// Values by number (0 up to 2^32 - 2), for a few numbers among millions, in one open-addressed
// array (the number and the value side by side, at most half full). A look-up is one probe into
// it, mostly: where a node-based map chases a bucket and a node for each number and costs about
// four times the memory, and where an array indexed by number costs its size for every number
// that has no value. The slots are mapped memory of their own: a map of millions of numbers
// doubles several times, and each array it leaves goes back to the system, not to a heap that
// keeps it resident.
template <class Value>
class NumberMap {
  static_assert(std::is_trivially_copyable_v<Value> && std::is_trivially_destructible_v<Value>);

 public:
  // The value of number, or nullptr when it has none.
  const Value* find(size_t number) const {
    if (count_ == 0) return nullptr;
    for (size_t s = slotOf(number);; s = (s + 1) & mask_) {
      if (slots_[s].key == kEmpty) return nullptr;
      if (slots_[s].key == keyOf(number)) return &slots_[s].value;
    }
  }
  Value* find(size_t number) { return const_cast<Value*>(static_cast<const NumberMap*>(this)->find(number)); }
  // Sets (adds or replaces) the value of number.
  void set(size_t number, Value value) {
    if ((count_ + 1) * 2 > slots_.size()) grow();
    size_t s = slotOf(number);
    while (slots_[s].key != kEmpty && slots_[s].key != keyOf(number)) s = (s + 1) & mask_;
    if (slots_[s].key == kEmpty) ++count_;
    slots_[s] = Slot{keyOf(number), value};
  }
  // Drops the value of number when it has one.
  void erase(size_t number) {
    if (count_ == 0) return;
    size_t s = slotOf(number);
    while (slots_[s].key != keyOf(number)) {
      if (slots_[s].key == kEmpty) return;
      s = (s + 1) & mask_;
    }
    // Later slots of the run move back into the hole when their home lies at or before it, so
    // that every number stays reachable from its home without markers for removed numbers.
    for (size_t next = (s + 1) & mask_; slots_[next].key != kEmpty; next = (next + 1) & mask_) {
      const size_t home = slotOf(slots_[next].key - 1);
      if (((next - home) & mask_) >= ((next - s) & mask_)) {
        slots_[s] = slots_[next];
        s = next;
      }
    }
    slots_[s].key = kEmpty;
    --count_;
  }
  void clear() {
    slots_.release();
    mask_ = 0;
    count_ = 0;
  }
  size_t size() const { return count_; }
  // Bytes held, for memory accounting.
  size_t bytes() const { return slots_.size() * sizeof(Slot); }

 private:
  // A slot holds number + 1, so that the zeroed memory of a fresh array is all empty slots.
  static constexpr std::uint32_t kEmpty = 0;
  static std::uint32_t keyOf(size_t number) { return static_cast<std::uint32_t>(number + 1); }
  struct Slot {
    std::uint32_t key;
    Value value;
  };
  size_t slotOf(size_t number) const {
    // Numbers used together often lie next to one another: they are spread by a multiply.
    return static_cast<size_t>((static_cast<std::uint64_t>(number) * 0x9e3779b97f4a7c15ULL) >> 32) & mask_;
  }
  void grow() {
    PagedArray<Slot> old = std::move(slots_);
    if (!slots_.allocate(old.size() == 0 ? 64 : old.size() * 2)) throw std::bad_alloc();
    mask_ = slots_.size() - 1;
    count_ = 0;
    for (size_t i = 0; i < old.size(); ++i)
      if (old[i].key != kEmpty) set(old[i].key - 1, old[i].value);
  }

  PagedArray<Slot> slots_;
  size_t mask_ = 0;
  size_t count_ = 0;
};

}  // namespace mh
