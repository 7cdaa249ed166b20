#pragma once

#include <cstddef>
#include <cstdint>

#include "patterns/game_index_entry.h"
#include "platform/growing_pages.h"

namespace mh {

// Game-index entries held packed: a run of zero bytes, which is most of an entry (its fields are
// padded to their full width), is kept as two bytes, so an entry takes about a sixth of its 662
// bytes. Every entry unpacks to exactly the bytes it was appended with.
class PackedGameEntries {
 public:
  size_t size() const { return starts_.size(); }
  void clear() {
    bytes_.clear();
    starts_.clear();
  }
  void push_back(const GameIndexEntry& entry);
  // Entry n (below size()).
  void get(size_t n, GameIndexEntry& out) const;
  // Bytes held, for memory accounting.
  size_t heldBytes() const { return bytes_.bytes() + starts_.bytes(); }

 private:
  static constexpr size_t kBytesPage = size_t{1} << 16;
  GrowingPages<std::uint8_t, kBytesPage> bytes_;  // every entry's packed bytes, one after the other
  GrowingPages<std::uint64_t> starts_;  // where each entry's bytes start
};

}  // namespace mh
