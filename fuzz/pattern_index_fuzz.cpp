// A pattern index file ("wpindex") with its data file: the input's first two bytes give the
// index file's length, the rest of the input after it is the data file. Every indexed entry is
// read and looked up by its key.
#include <cstdint>

#include "fuzz_support.h"
#include "pattern_lookups.h"
#include "patterns/pattern_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static mh::fuzz::ScratchFile indexFile("wpindex");
  static mh::fuzz::ScratchFile dataFile("wpbin-of-index");
  std::string_view index, body;
  mh::fuzz::splitInput(mh::fuzz::textOf(data, size), index, body);
  mh::PatternLibrary lib;
  if (!lib.openIndex(indexFile.write(index), dataFile.write(body))) return 0;
  mh::fuzz::readAndFindEntries(lib);
  return 0;
}
