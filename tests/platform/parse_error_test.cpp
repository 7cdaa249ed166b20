#include "platform/parse_error.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using mh::ParseError;

TEST(ParseError, CountsLinesAndColumnsInBytesUpToTheOffset) {
  const struct {
    std::string text;
    size_t offset;
    int line, column;
  } cases[] = {
      {"", 0, 1, 1},          {"abc", 2, 1, 3},        {"abc", 3, 1, 4},          {"a\nb", 2, 2, 1},
      {"a\r\nbc", 4, 2, 2},   {"\n\n\n", 3, 4, 1},     {"\xB0\xD7x", 2, 1, 3},    {"ab", 99, 1, 3},  // past the end: the end
  };
  for (const auto& c : cases) {
    const ParseError e = ParseError::inText(c.text, c.offset, "why");
    EXPECT_EQ(e.line, c.line) << c.text << " @" << c.offset;
    EXPECT_EQ(e.column, c.column) << c.text << " @" << c.offset;
    EXPECT_LE(e.offset, c.text.size());
  }
}

TEST(ParseError, TextNamesThePlaceItKnows) {
  EXPECT_EQ(ParseError::inText("x\nyz", 3, "bad").text(), "line 2, column 2 (byte 3): bad");
  EXPECT_EQ((ParseError{"bad", 40}).text(), "byte 40: bad");
  EXPECT_EQ(ParseError::whole("cannot read").text(), "cannot read");
}

}  // namespace
