#include "platform/parse_error.h"

#include <algorithm>

namespace mh {

ParseError ParseError::inText(std::string_view text, size_t offset, std::string reason) {
  offset = std::min(offset, text.size());
  const std::string_view before = text.substr(0, offset);
  const size_t lineStart = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
  ParseError e{std::move(reason), offset};
  e.line = static_cast<int>(std::count(before.begin(), before.end(), '\n')) + 1;
  e.column = static_cast<int>(offset - lineStart) + 1;
  return e;
}

std::string ParseError::text() const {
  if (offset == kNoOffset) return reason;
  const std::string byte = "byte " + std::to_string(offset);
  if (line <= 0) return byte + ": " + reason;
  return "line " + std::to_string(line) + ", column " + std::to_string(column) + " (" + byte + "): " + reason;
}

}  // namespace mh
