// GIB text: header and move lines (a failure must name a place inside the text), then the copy
// into a game record.
#include <cstdint>

#include "fuzz_support.h"
#include "model/game_record.h"
#include "records/gib_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  mh::GibFile gib;
  mh::ParseError error;
  if (!gib.parse(mh::fuzz::textOf(data, size), &error)) {
    if (error.reason.empty() || error.offset > size || error.line < 1) __builtin_trap();  // says where
  } else {
    mh::GameRecord record;
    int result = 0;
    (void)gib.toRecord(record, result);
  }
  (void)gib.header("GAMERESULT");
  return 0;
}
