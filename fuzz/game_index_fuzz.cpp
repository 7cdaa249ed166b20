// A game-record index file ("qpindex"): reading, the paths of its games, and writing it back,
// after which it must read again with the same entries.
#include <cstdint>

#include "fuzz_support.h"
#include "patterns/game_index.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static mh::fuzz::ScratchFile scratch("qpindex");
  static mh::fuzz::ScratchFile copy("qpindex-copy");
  mh::GameIndex index;
  if (!index.read(scratch.write(mh::fuzz::textOf(data, size)), "/collection/")) return 0;
  for (int n = 0; n < index.count() && n < 64; ++n) {
    (void)index.pathOf(n);
    const mh::GameIndexEntry& e = index.entry(n);
    (void)e.relativeName();
    (void)e.moveCount();
    (void)index.contains(e.relativeName());
  }
  if (!index.write(copy.path())) __builtin_trap();
  mh::GameIndex again;
  if (!again.read(copy.path(), "/collection/") || again.entries() != index.entries()) __builtin_trap();
  return 0;
}
