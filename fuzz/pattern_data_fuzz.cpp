// A pattern data file ("wpbin") opened by scanning, then every entry read and looked up again by
// its key, with and without symmetries.
#include <cstdint>

#include "fuzz_support.h"
#include "patterns/pattern_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static mh::fuzz::ScratchFile scratch("wpbin");
  mh::PatternLibrary lib;
  if (!lib.openData(scratch.write(mh::fuzz::textOf(data, size)))) return 0;
  const int n = lib.entryCount();
  for (int i = 0; i < n && i < 64; ++i) {
    mh::PatternEntry e;
    if (!lib.readEntry(i, e)) continue;
    (void)lib.find(e.snapshot, e.side);
    mh::PatternEntry turned;
    (void)lib.findWithSymmetries(e.snapshot, e.side, turned);
  }
  return 0;
}
