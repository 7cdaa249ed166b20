#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mh {

// Why and where a reader of outside bytes stopped, for the log, the command line and the status
// bar; never a message of its own to the user (callers show theirs). The reason is short English
// text; the place is a byte offset into the input and, for text, its line and column (from 1,
// the column in bytes).
struct ParseError {
  static constexpr size_t kNoOffset = static_cast<size_t>(-1);

  std::string reason;
  size_t offset = kNoOffset;  // kNoOffset when the input could not be read at all
  int line = 0;               // 0 when not counted (binary input, or no offset)
  int column = 0;

  // An error at a byte offset of text, with its line and column counted from the text.
  static ParseError inText(std::string_view text, size_t offset, std::string reason);
  // An error before any byte was read (a missing or unreadable file).
  static ParseError whole(std::string reason) { return {std::move(reason)}; }

  // "line 3, column 14 (byte 52): reason", "byte 52: reason", or the reason alone.
  std::string text() const;
};

}  // namespace mh
