// A pattern data file ("wpbin") opened by scanning, then every entry read and looked up again by
// its key, with and without symmetries.
#include <cstdint>

#include "fuzz_support.h"
#include "pattern_lookups.h"
#include "patterns/pattern_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static mh::fuzz::ScratchFile scratch("wpbin");
  mh::PatternLibrary lib;
  if (!lib.openData(scratch.write(mh::fuzz::textOf(data, size)))) return 0;
  mh::fuzz::readAndFindEntries(lib);
  return 0;
}
