// A pattern index file ("wpindex") with its data file: the input's first two bytes give the
// index file's length, the rest of the input after it is the data file. Every indexed entry is
// read and looked up by its key.
#include <cstdint>

#include "fuzz_support.h"
#include "patterns/pattern_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static mh::fuzz::ScratchFile indexFile("wpindex");
  static mh::fuzz::ScratchFile dataFile("wpbin-of-index");
  std::string_view index, body;
  mh::fuzz::splitInput(mh::fuzz::textOf(data, size), index, body);
  mh::PatternLibrary lib;
  if (!lib.openIndex(indexFile.write(index), dataFile.write(body))) return 0;
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
