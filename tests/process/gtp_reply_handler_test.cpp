#include "process/gtp_reply_handler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using mh::GtpReply;
using mh::GtpReplyHandler;
using mh::Point;

constexpr Point P(int x, int y) { return x + 19 * y; }

// What a reply says, in one comparable line: "<serial> move|cmd ok|failed <point>|resign|none".
std::string describe(const GtpReply& r) {
  std::string says = "none";
  if (r.move) says = r.move->kind == mh::GtpMoveReply::Resign ? "resign" : std::to_string(r.point);
  return std::to_string(r.serial) + (r.forMove ? " move " : " cmd ") + (r.failed ? "failed " : "ok ") + says;
}

TEST(GtpReplyHandler, MatchesRepliesToCommandsInOrder) {
  const struct {
    const char* name;
    std::vector<bool> commands;  // true: a move request
    std::vector<std::string> chunks;
    std::vector<std::string> replies;
  } table[] = {
      {"a vertex split across two reads", {true}, {"= Q", "16\n\n"}, {"1 move ok " + std::to_string(P(15, 3))}},
      {"lower case and carriage returns", {true}, {"= q16\r\n\r\n"}, {"1 move ok " + std::to_string(P(15, 3))}},
      {"pass in any case", {true}, {"= PASS\n\n"}, {"1 move ok -1"}},
      {"empty replies answer other commands only",
       {false, false, true},
       {"= \n\n= \n", "\n= J16\n\n"},
       {"1 cmd ok none", "2 cmd ok none", "3 move ok " + std::to_string(P(8, 3))}},
      {"a refused move before the request does not answer it",
       {false, true},
       {"? illegal move\n\n= T1\n\n"},
       {"1 cmd failed none", "2 move ok " + std::to_string(P(18, 18))}},
      {"an error reply to the request", {true}, {"? cannot score\n\n"}, {"1 move failed none"}},
      {"an answer naming no move", {true}, {"= \n\n"}, {"1 move ok none"}},
      {"a resignation", {true}, {"= resign\n\n"}, {"1 move ok resign"}},
      {"a vertex off the board is a pass", {true}, {"= Z5\n\n"}, {"1 move ok -1"}},
      {"noise and the start failure are no replies",
       {true},
       {"Unable to start gnugo --mode gtp --quiet\n", "A1 is not a reply\n= D4\n\n"},
       {"1 move ok " + std::to_string(P(3, 15))}},
      {"a reply nobody waits for is dropped", {}, {"= D4\n\n"}, {}},
      {"nothing before the line ends", {true}, {"= D4"}, {}},
  };
  for (const auto& row : table) {
    GtpReplyHandler handler;
    for (bool move : row.commands) handler.commandSent(move);
    std::vector<std::string> seen;
    for (const std::string& chunk : row.chunks)
      for (const GtpReply& reply : handler.feed(chunk)) seen.push_back(describe(reply));
    EXPECT_EQ(seen, row.replies) << row.name;
  }
}

TEST(GtpReplyHandler, ResetForgetsWaitingCommandsAndHalfLines) {
  GtpReplyHandler handler;
  handler.commandSent(false);
  EXPECT_TRUE(handler.feed("= D").empty());
  handler.reset();
  EXPECT_EQ(handler.waiting(), 0u);
  const std::uint64_t serial = handler.commandSent(true);
  EXPECT_EQ(serial, 2u);
  // The old half line "= D" must not join the new output.
  const auto replies = handler.feed("= C3\n\n");
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].serial, serial);
  EXPECT_EQ(replies[0].point, P(2, 16));
  EXPECT_EQ(replies[0].line, "= C3");
}

}  // namespace
