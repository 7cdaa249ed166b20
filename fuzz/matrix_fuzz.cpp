// A matrix-pattern text file: loading, indexing, and a look-up of every loaded pattern.
#include <cstdint>

#include "engine/matrix_library.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static mh::fuzz::ScratchFile scratch("matrix");
  mh::MatrixLibrary lib;
  if (!lib.LoadText(scratch.write(mh::fuzz::textOf(data, size)), true)) return 0;
  lib.rebuildIndex();
  for (int i = 0; i < lib.size() && i < 64; ++i) (void)lib.find(lib.patterns()[static_cast<size_t>(i)], 0);
  return 0;
}
