#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace mh::text;

struct RoundTrip {
  const char* utf8;
  std::string gb;
};

TEST(TextCodecTest, GbAndUtf8ConvertBothWays) {
  const RoundTrip cases[] = {
      {"", ""},
      {"plain ASCII [x]", "plain ASCII [x]"},
      {"黑胜", "\xBA\xDA\xCA\xA4"},
      {"9段", "9\xB6\xCE"},
      {"圍棋", "\x87\xFA\xC6\xE5"},  // traditional forms exist in GB (code page 936)
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utf8ToGb(c.utf8), c.gb) << c.utf8;
    EXPECT_EQ(gbToUtf8(c.gb), c.utf8) << c.utf8;
  }
}

TEST(TextCodecTest, CharactersGbLacksBecomeQuestionMarks) {
  EXPECT_EQ(utf8ToGb("a한b"), "a?b");
  EXPECT_EQ(utf8ToGb("x\xFFy"), "x?y");         // invalid UTF-8
  EXPECT_EQ(gbToUtf8("a\xBA"), "a\xEF\xBF\xBD");  // a lone lead byte at the end
}

TEST(TextCodecTest, Big5ToGbDecodesThenMapsToSimplifiedForms) {
  EXPECT_EQ(big5ToGb("\xB3\xF2\xB4\xD1"), "\xCE\xA7\xC6\xE5");  // 圍棋 -> 围棋
  EXPECT_EQ(big5ToGb("\xAC\x71"), "\xB6\xCE");                  // 段
  EXPECT_EQ(big5ToGb("Lee 9d"), "Lee 9d");
  EXPECT_EQ(big5ToGb(""), "");
  // Invalid BIG5 cannot be decoded: replaced, never dropped silently.
  EXPECT_EQ(big5ToGb("\xFF\xFF"), "??");
}

TEST(TextCodecTest, GbToBig5MapsToTraditionalFormsThenEncodes) {
  EXPECT_EQ(gbToBig5("\xCE\xA7\xC6\xE5"), "\xB3\xF2\xB4\xD1");  // 围棋 -> 圍棋
  EXPECT_EQ(gbToBig5("\xBA\xDA\xCA\xA4"), "\xB6\xC2\xB3\xD3");  // 黑胜 -> 黑勝
  EXPECT_EQ(gbToBig5("W+R"), "W+R");
  EXPECT_EQ(gbToBig5(""), "");
}

TEST(TextCodecTest, GbToBig5WritesQuestionMarkForCharactersBig5Lacks) {
  EXPECT_EQ(gbToBig5("a\x81\x40" "b"), "a?b");  // 丂 has no BIG5 form
  EXPECT_EQ(gbToBig5("\xA8\xA2"), "?");        // a with acute: neither BIG5 nor its extension
}

// Code page 950 leaves C6A1-C8FE to user-defined characters; the common extension puts kana,
// Cyrillic and symbols there, and code page 950's own codes stay as they are.
TEST(TextCodecTest, Big5ExtensionRowsDecodeAndEncode) {
  struct Case {
    std::string big5;
    const char* utf8;
  };
  const Case cases[] = {
      {"\xC6\xA1", "①"},          {"\xC6\xBE", "ⅹ"},          {"\xC6\xE7", "ぁ"},
      {"\xC7\x40", "す"},          {"\xC7\x7A", "ん"},          {"\xC7\x7B", "ァ"},
      {"\xC7\xF2", "ヶ"},          {"\xC7\xF3", "А"},           {"\xC7\xF9", "Ё"},
      {"\xC8\x75", "я"},           {"\xC8\xD2", "№"},           {"\xC8\xFE", "ɪ"},
      {"\xC6\xE7\xC7\xA3 9d", "ぁェ 9d"},  // kana of both kinds and ASCII
      {"\xA4\x40\xC6\x7E", "一籲"},    // ordinary code page 950 codes around the range
      {"\xF9\xFE", "▓"},          // code page 950's own extension stays
  };
  for (const auto& c : cases) {
    EXPECT_EQ(big5ToUtf8(c.big5), c.utf8) << testing::PrintToString(c.big5);
    EXPECT_EQ(utf8ToBig5(c.utf8), c.big5) << c.utf8;
  }
  // Codes of the range the extension leaves empty show "?", never a private-use character.
  EXPECT_EQ(big5ToUtf8("\xC6\xDE\xC8\xA1"), "??");
  // The radicals, which code page 950 cannot write elsewhere.
  EXPECT_EQ(big5ToUtf8("\xC6\xBF\xC6\xD7"), "丶隶");
  EXPECT_EQ(utf8ToBig5("丶隶"), "\xC6\xBF\xC6\xD7");
  // Private-use characters outside the range are not touched by the extension.
  EXPECT_EQ(utf8ToBig5("\xEE\x80\x80"), "\xFA\x40");
}

// A Japanese name read from a BIG5 record reaches GB as kana and shows as kana again on a BIG5
// interface (display through the GB to BIG5 conversion).
TEST(TextCodecTest, KanaNamesSurviveTheBig5RoundTrip) {
  const std::string big5 = "\xC6\xEA\xC7\x4F";  // いと
  const std::string gb = big5ToGb(big5);
  EXPECT_EQ(gbToUtf8(gb), "いと");
  EXPECT_EQ(gbToBig5(gb), big5);
  EXPECT_EQ(displayText(gb, true), "いと");
  EXPECT_EQ(typedText("ИВАН", true), utf8ToGb("ИВАН"));
  // A record read as Windows' BIG5 (declared or the user's choice) takes the same path.
  EXPECT_EQ(big5ToGb(big5, "windows-950-2000"), gb);
}

TEST(TextCodecTest, FormMappingKeepsTextGb) {
  EXPECT_EQ(traditionalToSimplified("\x87\xFA\xC6\xE5"), "\xCE\xA7\xC6\xE5");  // 圍棋 -> 围棋
  EXPECT_EQ(simplifiedToTraditional("\xCE\xA7\xC6\xE5"), "\x87\xFA\xC6\xE5");
}

TEST(TextCodecTest, RecognisesWellFormedUtf8Only) {
  struct Case {
    std::string bytes;
    bool valid;
  };
  const Case cases[] = {
      {"", true},
      {"ascii", true},
      {"\xE6\xAE\xB5", true},          // 段
      {"\xF0\x9F\x98\x80", true},      // four bytes
      {"\xC0\x80", false},             // overlong
      {"\xED\xA0\x80", false},         // surrogate
      {"\xE6\xAE", false},             // truncated
      {"\xB6\xCE", false},             // GB 段
      {"\xF4\x90\x80\x80", false},     // beyond U+10FFFF
      {"\xC4\xBE", true},              // a GB pair that happens to be UTF-8
  };
  for (const auto& c : cases) EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
}

}  // namespace

namespace {

std::string repeated(std::string_view piece, size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// Decoding goes piece by piece: texts far longer than a piece, characters of two UTF-16 units
// across a piece's end, and a short text right after a long one must all decode whole.
TEST(TextCodecTest, DecodingToUtf8IsWholeAtAnyLength) {
  const std::string_view smile32 = {"\x00\xF6\x01\x00", 4};  // U+1F600 in UTF-32LE
  const std::string_view smile16 = {"\x3D\xD8\x00\xDE", 4};  // U+1F600 in UTF-16LE
  const std::string_view smileUtf8 = "\xF0\x9F\x98\x80";
  struct Case {
    const char* name;
    std::string bytes;
    const char* charset;
    std::string utf8;
  };
  const Case cases[] = {
      {"empty", "", "GBK", ""},
      {"one character", "\xD6\xD0", "GBK", "中"},
      {"long GB", repeated("\xD6\xD0", 70000), "GBK", repeated("中", 70000)},
      {"short after long", "a\xD6\xD0", "GBK", "a中"},
      {"one pair of units", std::string(smile16), "UTF-16LE", std::string(smileUtf8)},
      {"long UTF-16", repeated(smile16, 40000), "UTF-16LE", repeated(smileUtf8, 40000)},
      {"long UTF-32", repeated(smile32, 40001), "UTF-32LE", repeated(smileUtf8, 40001)},
  };
  // Compared as a whole: a mismatch of long texts would print them all.
  for (const Case& c : cases) EXPECT_TRUE(decodeToUtf8(c.bytes, c.charset) == c.utf8) << c.name;
}

}  // namespace
