#include "patterns/memory_pattern_store.h"

#include <limits>
#include <utility>

namespace mh {

int MemoryPatternStore::find(const BoardSnapshot& snapshot, int side, PatternEntry* out) const {
  for (std::int32_t n = hash_.first(patternHashOf(snapshot)); n >= 0; n = hash_.next(n)) {
    const PatternEntry& e = entries_[static_cast<size_t>(n)];
    if (e.side != side || !(e.snapshot == snapshot)) continue;
    if (out) *out = e;
    return n;
  }
  return -1;
}

bool MemoryPatternStore::read(int number, PatternEntry& out) const {
  const PatternEntry* e = peek(number);
  if (e) out = *e;
  return e != nullptr;
}

const PatternEntry* MemoryPatternStore::peek(int number) const {
  return number >= 0 && number < count() ? &entries_[static_cast<size_t>(number)] : nullptr;
}

PatternEntry* MemoryPatternStore::beginUpdate(int number) {
  return number >= 0 && number < count() ? &entries_[static_cast<size_t>(number)] : nullptr;
}

bool MemoryPatternStore::add(PatternEntry entry) {
  if (entries_.size() >= static_cast<size_t>(std::numeric_limits<std::int32_t>::max())) return false;
  // A snapshot whose counts disagree with its points could never be written to a data file.
  if (!countsMatchPoints(entry.snapshot) || find(entry.snapshot, entry.side, nullptr) >= 0) return false;
  const auto number = static_cast<std::int32_t>(entries_.size());
  const std::int32_t h = patternHashOf(entry.snapshot);
  entries_.push_back(std::move(entry));
  hash_.insert(h, number);
  return true;
}

bool MemoryPatternStore::store(int number, const PatternEntry& entry) {
  PatternEntry* e = beginUpdate(number);
  if (e == nullptr || e->side != entry.side || !(e->snapshot == entry.snapshot)) return false;
  *e = entry;
  return true;
}

}  // namespace mh
