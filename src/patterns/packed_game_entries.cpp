#include "patterns/packed_game_entries.h"

#include <algorithm>
#include <cstring>

namespace mh {

void PackedGameEntries::push_back(const GameIndexEntry& entry) {
  starts_.push_back(bytes_.size());
  const auto& b = entry.bytes();
  for (size_t i = 0; i < b.size();) {
    if (b[i] != 0) {
      bytes_.push_back(b[i++]);
      continue;
    }
    // A zero, then how many zeros the run holds (1 to 255).
    size_t run = 1;
    while (i + run < b.size() && run < 255 && b[i + run] == 0) ++run;
    bytes_.push_back(0);
    bytes_.push_back(static_cast<std::uint8_t>(run));
    i += run;
  }
}

void PackedGameEntries::get(size_t n, GameIndexEntry& out) const {
  auto& b = out.bytes();
  size_t at = static_cast<size_t>(starts_[n]);
  // An entry packs to at most 2 bytes a byte; one whose bytes lie within one page (all but about
  // one in several hundred) is read through a plain pointer, its zero runs filled at once.
  const size_t pageLeft = kBytesPage - at % kBytesPage;
  const size_t end = n + 1 < starts_.size() ? static_cast<size_t>(starts_[n + 1]) : bytes_.size();
  if (end - at <= pageLeft) {
    const std::uint8_t* p = &bytes_[at];
    const std::uint8_t* const last = p + (end - at);
    size_t i = 0;
    while (i < b.size() && p < last) {
      const std::uint8_t c = *p++;
      if (c != 0) {
        b[i++] = c;
        continue;
      }
      const size_t run = std::min<size_t>(p < last ? *p++ : 0, b.size() - i);
      std::memset(b.data() + i, 0, run);
      i += run;
    }
    return;
  }
  for (size_t i = 0; i < b.size();) {
    const std::uint8_t c = bytes_[at++];
    if (c != 0) {
      b[i++] = c;
      continue;
    }
    const size_t run = bytes_[at++];
    for (size_t k = 0; k < run && i < b.size(); ++k) b[i++] = 0;
  }
}

}  // namespace mh
