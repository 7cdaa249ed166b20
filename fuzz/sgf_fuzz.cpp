// SGF text: the parser under both choices of the user (a failure must name a place inside the
// text), the conversion of a parsed tree into a game record, and the writer, whose files (GB and
// UTF-8, each declaring its charset) must read back.
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
      // A text read in another charset is decoded first; its place then counts in that text.
      const bool decoded = error.reason.find("(in the text decoded from ") != std::string::npos;
      if (error.reason.empty() || (!decoded && error.offset > size) || error.line < 1 || error.column < 1)
        __builtin_trap();
      continue;
    }
    mh::GameRecord record;
    (void)mh::sgfToRecord(*root, record);
    // The tree holds GB text: written as GB or as UTF-8, the file must read back.
    if (!mh::SgfFile::parse(mh::SgfFile::formatFile(*root, mh::SgfEncoding::Gb), false)) __builtin_trap();
    if (!mh::SgfFile::parse(mh::SgfFile::formatFile(*root, mh::SgfEncoding::Utf8), big5)) __builtin_trap();
  }
  return 0;
}
