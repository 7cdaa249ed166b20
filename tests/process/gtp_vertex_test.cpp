#include "process/gtp_vertex.h"

#include <gtest/gtest.h>

#include "process/gtp_line_buffer.h"

namespace mh {
namespace {

TEST(GtpVertex, WritesColumnsWithoutIAndRowsFromTheBottom) {
  const struct {
    int x, y;
    const char* vertex;
  } table[] = {{0, 0, "A19"}, {7, 0, "H19"}, {8, 3, "J16"}, {18, 18, "T1"}, {3, 15, "D4"}};
  for (const auto& row : table) EXPECT_EQ(gtpVertex(row.x + 19 * row.y), row.vertex);
  EXPECT_EQ(gtpVertex(kNoPoint), "");
  EXPECT_EQ(gtpVertex(361), "");
}

TEST(GtpVertex, ReadsMoveReplies) {
  const struct {
    const char* line;
    bool reads;
    GtpMoveReply::Kind kind;
    Point point;
  } table[] = {
      {"= Q16", true, GtpMoveReply::Vertex, 15 + 19 * 3},
      {"= q16", true, GtpMoveReply::Vertex, 15 + 19 * 3},
      {"=D4", true, GtpMoveReply::Vertex, 3 + 19 * 15},
      {"= J1", true, GtpMoveReply::Vertex, 8 + 19 * 18},
      {"= T19", true, GtpMoveReply::Vertex, 18},
      {"= PASS", true, GtpMoveReply::Pass, kNoPoint},
      {"=pass  ", true, GtpMoveReply::Pass, kNoPoint},
      {"= resign", true, GtpMoveReply::Resign, kNoPoint},
      {"= A0", true, GtpMoveReply::Vertex, kNoPoint},
      {"= Z5", true, GtpMoveReply::Vertex, kNoPoint},
      {"= A25", true, GtpMoveReply::Vertex, kNoPoint},
      {"=", false, GtpMoveReply::Vertex, kNoPoint},
      {"= ", false, GtpMoveReply::Vertex, kNoPoint},
      {"? illegal move", false, GtpMoveReply::Vertex, kNoPoint},
      {"Warning: something", false, GtpMoveReply::Vertex, kNoPoint},
      {"= passive", false, GtpMoveReply::Vertex, kNoPoint},
      {"= 4D", false, GtpMoveReply::Vertex, kNoPoint},
      {"= D99999999999999999999", true, GtpMoveReply::Vertex, kNoPoint},
  };
  for (const auto& row : table) {
    const auto reply = parseGtpMoveReply(row.line);
    ASSERT_EQ(reply.has_value(), row.reads) << row.line;
    if (!reply) continue;
    EXPECT_EQ(reply->kind, row.kind) << row.line;
    EXPECT_EQ(gtpReplyPoint(*reply, 19, 19), row.point) << row.line;
  }
}

TEST(GtpLineBuffer, JoinsChunksIntoLines) {
  GtpLineBuffer buffer;
  EXPECT_TRUE(buffer.feed("= Q").empty());
  EXPECT_EQ(buffer.feed("16\n\n= "), (std::vector<std::string>{"= Q16"}));
  EXPECT_EQ(buffer.feed("\r\n=\r\n"), (std::vector<std::string>{"= ", "="}));
  EXPECT_TRUE(buffer.feed("tail").empty());
  EXPECT_EQ(buffer.takeRest(), "tail");
  EXPECT_EQ(buffer.takeRest(), "");
}

TEST(GtpLineBuffer, CutsEndlessLines) {
  GtpLineBuffer buffer;
  const auto lines = buffer.feed(std::string(GtpLineBuffer::kMaxLine * 2 + 5, 'x'));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), GtpLineBuffer::kMaxLine);
  EXPECT_EQ(buffer.takeRest().size(), 5u);
}

}  // namespace
}  // namespace mh
