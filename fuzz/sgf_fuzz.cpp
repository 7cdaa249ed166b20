// SGF text: the parser under both encodings' readings (a failure must name a place inside the
// text), the conversion of a parsed tree into a game record, and the writer, whose output
// (declared GB) must read back.
#include <cstdint>

#include "fuzz_support.h"
#include "model/game_record.h"
#include "records/sgf_conversion.h"
#include "records/sgf_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view text = mh::fuzz::textOf(data, size);
  for (bool big5 : {false, true}) {
    mh::ParseError error;
    auto root = mh::SgfFile::parse(text, big5, &error);
    if (!root) {
      if (error.reason.empty() || error.offset > size || error.line < 1 || error.column < 1) __builtin_trap();
      continue;
    }
    mh::GameRecord record;
    (void)mh::sgfToRecord(*root, record);
    // The tree holds GB text: written as GB, it must read back. (Not always as the same tree: a
    // value can hide a "CA[UTF-8]" that the byte-by-byte sniffing of the charset finds.)
    while (root->removeProperty("CA")) {
    }
    root->addProperty(mh::SgfProperty{"CA", "GBK", {}});
    if (!mh::SgfFile::parse(mh::SgfFile::format(*root), false)) __builtin_trap();
  }
  return 0;
}
