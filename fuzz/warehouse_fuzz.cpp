// A warehouse file: opening (header, block table, directory chain), reading every chain the block
// table offers and a few names; then, on a writable open, replacing a value and closing, after
// which the file must open again and give the new value back.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "patterns/warehouse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static mh::fuzz::ScratchFile scratch("warehouse");
  const std::string& path = scratch.write(mh::fuzz::textOf(data, size));
  std::vector<std::uint8_t> value;
  {
    mh::Warehouse w;
    if (!w.open(path, true)) return 0;
    for (const mh::BlockHeader& b : w.blockStore().blocks()) (void)w.blockStore().readChain(b.offset, value);
    for (const char* name : {"0", "1", "2", "10", "a"}) (void)w.get(name, value);
    w.close();
  }
  mh::Warehouse w;
  if (!w.open(path, false)) return 0;
  const std::vector<std::uint8_t> fresh(300, 0x5A);
  if (!w.put("0", fresh)) return 0;
  if (!w.close()) return 0;
  if (!w.open(path, true)) __builtin_trap();  // a directory it wrote itself must open again
  if (!w.get("0", value) || value != fresh) __builtin_trap();
  return 0;
}
