// GIB text: header and move lines, then the copy into a game record.
#include <cstdint>

#include "fuzz_support.h"
#include "model/game_record.h"
#include "records/gib_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  mh::GibFile gib;
  if (gib.parse(mh::fuzz::textOf(data, size))) {
    mh::GameRecord record;
    int result = 0;
    (void)gib.toRecord(record, result);
  }
  (void)gib.header("GAMERESULT");
  return 0;
}
