// A GTP engine's output: chunks (split at every 0xFF byte of the input) joined into lines, and
// every line read as a move reply on boards of several sizes.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "process/gtp_line_buffer.h"
#include "process/gtp_vertex.h"

namespace {

void readReply(const std::string& line) {
  if (line.size() > mh::GtpLineBuffer::kMaxLine) __builtin_trap();
  for (int side : {19, 9, 1, 25}) {
    if (auto reply = mh::parseGtpMoveReply(line, side)) {
      if (reply->kind == mh::GtpMoveReply::Vertex) (void)mh::gtpReplyPoint(*reply, side, side);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  std::string_view rest = mh::fuzz::textOf(data, size);
  mh::GtpLineBuffer buffer;
  while (true) {
    const size_t cut = rest.find('\xFF');
    for (const std::string& line : buffer.feed(rest.substr(0, cut))) readReply(line);
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 1);
  }
  readReply(buffer.takeRest());
  return 0;
}
