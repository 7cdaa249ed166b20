#include <gtest/gtest.h>

#include "platform/text_codec.h"

namespace mh {
namespace {

TEST(DisplayText, GbShownDirectlyOrThroughBig5AndTypedBack) {
  const std::string gbWeiqi = text::utf8ToGb("围棋这为");
  const struct {
    std::string gb;
    bool big5;
    std::string shown;
  } table[] = {
      {gbWeiqi, false, "围棋这为"},
      // Traditional forms; 为 maps to a form BIG5 lacks.
      {gbWeiqi, true, "圍棋這?"},
      {"Lee 9d", true, "Lee 9d"},
      {"", true, ""},
  };
  for (const auto& t : table) EXPECT_EQ(text::displayText(t.gb, t.big5), t.shown) << t.shown;
  EXPECT_EQ(text::typedText("圍棋", true), text::utf8ToGb("围棋"));
  EXPECT_EQ(text::typedText("围棋", false), text::utf8ToGb("围棋"));
  EXPECT_EQ(text::big5ToUtf8(text::utf8ToBig5("圍棋")), "圍棋");
}

}  // namespace
}  // namespace mh
