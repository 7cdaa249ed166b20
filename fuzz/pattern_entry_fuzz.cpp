// One pattern entry in either binary form (the first byte chooses), read from memory; an entry
// that reads must write back in the same form and read back equal.
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "patterns/pattern_entry.h"
#include "platform/byte_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const auto form = (data[0] & 1) ? mh::PatternEntryForm::Warehouse : mh::PatternEntryForm::DataFile;
  mh::ByteReader in(std::span<const std::uint8_t>(data + 1, size - 1));
  mh::PatternEntry e;
  if (!e.read(in, form)) return 0;
  (void)e.transform(data[0] >> 1 & 7, false);
  std::vector<std::uint8_t> bytes;
  mh::ByteWriter out(bytes);
  if (!e.write(out, form)) return 0;
  mh::ByteReader again(bytes);
  mh::PatternEntry back;
  if (!back.read(again, form) || !(back == e)) __builtin_trap();
  return 0;
}
