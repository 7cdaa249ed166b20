#pragma once

#include "patterns/pattern_library.h"

namespace mh::fuzz {

// Reads the first entries of an opened library and looks each up again by its key, as it is and
// under the symmetries.
inline void readAndFindEntries(const PatternLibrary& lib) {
  const int n = lib.entryCount();
  for (int i = 0; i < n && i < 64; ++i) {
    PatternEntry e;
    if (!lib.readEntry(i, e)) continue;
    (void)lib.find(e.snapshot, e.side);
    PatternEntry turned;
    (void)lib.findWithSymmetries(e.snapshot, e.side, turned);
  }
}

}  // namespace mh::fuzz
