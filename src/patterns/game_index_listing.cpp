#include "patterns/game_index_listing.h"

#include "platform/text_codec.h"

namespace mh {

namespace {

// A field never breaks the line format: tabs and line ends inside it become spaces.
std::string fieldText(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

}  // namespace

std::string gameIndexListing(const GameIndex& index) {
  std::string out;
  for (int n = 0; n < index.count(); ++n) {
    const GameIndexEntry& e = index.entry(n);
    const std::string name = e.relativeName();
    const std::string fields[] = {std::to_string(n),
                                  text::gbToUtf8(e.blackName()),
                                  text::gbToUtf8(e.blackRank()),
                                  text::gbToUtf8(e.whiteName()),
                                  text::gbToUtf8(e.whiteRank()),
                                  std::to_string(e.winner()),
                                  text::gbToUtf8(e.resultText()),
                                  std::to_string(e.moveCount()),
                                  text::fileNameToUtf8(name)};
    for (size_t i = 0; i < std::size(fields); ++i) {
      if (i > 0) out += '\t';
      out += fieldText(fields[i]);
    }
    out += '\n';
  }
  return out;
}

}  // namespace mh
