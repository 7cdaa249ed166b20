#include "platform/decimal_text.h"

#include <gtest/gtest.h>

namespace mh {
namespace {

TEST(DecimalText, LeadingNumberAsAtofButDecimalOnly) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"6.5", 6.5},     {" 7.25xyz", 7.25}, {"-3.5", -3.5}, {"+2", 2},   {".5", 0.5},      {"5.", 5},
      {"1e1", 10},      {"2e", 2},          {"abc", 0},     {"", 0},     {"-", 0},         {".", 0},
      {"nan", 0},       {"inf", 0},         {"0x10", 0},    {"1e999", 0}, {"3,75", 3},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(leadingDecimal(c.text), c.value) << c.text;
}

TEST(DecimalText, WholeTextMustBeANumber) {
  EXPECT_EQ(parseDecimal(" 3.75 "), 3.75);
  EXPECT_EQ(parseDecimal("-0.5"), -0.5);
  for (const char* bad : {"", "3.75x", "x", "nan", "1e999", "3,75", "--1"}) EXPECT_FALSE(parseDecimal(bad)) << bad;
}

TEST(DecimalText, FixedDigitsRoundLikePrintf) {
  EXPECT_EQ(fixedDecimal(3.75, 2), "3.75");
  EXPECT_EQ(fixedDecimal(7, 1), "7.0");
  EXPECT_EQ(fixedDecimal(0.125, 2), "0.12");
  EXPECT_EQ(fixedDecimal(64.5, 0), "64");
  EXPECT_EQ(fixedDecimal(-3.75, 2), "-3.75");
}

}  // namespace
}  // namespace mh
