#pragma once

#include <vector>

#include "patterns/pattern_hash_table.h"
#include "patterns/pattern_store.h"

namespace mh {

// Entries held in memory and changed in place; a key is added once.
class MemoryPatternStore final : public PatternStore {
 public:
  PatternStoreKind kind() const override { return PatternStoreKind::Memory; }
  int count() const override { return static_cast<int>(entries_.size()); }
  int find(const BoardSnapshot& snapshot, int side, PatternEntry* out) const override;
  bool read(int number, PatternEntry& out) const override;
  // Also refuses a key that is already stored.
  bool add(PatternEntry entry) override;
  bool store(int number, const PatternEntry& entry) override;
  const PatternEntry* peek(int number) const override;
  PatternEntry* beginUpdate(int number) override;
  bool endUpdate(int /*number*/) override { return true; }

 private:
  std::vector<PatternEntry> entries_;
  PatternHashTable hash_;
};

}  // namespace mh
