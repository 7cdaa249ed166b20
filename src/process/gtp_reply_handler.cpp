#include "process/gtp_reply_handler.h"

namespace mh {

void GtpReplyHandler::reset() {
  (void)lines_.takeRest();
  waiting_.clear();
}

std::uint64_t GtpReplyHandler::commandSent(bool asksForMove) {
  const std::uint64_t serial = nextSerial_++;
  waiting_.push_back({serial, asksForMove});
  return serial;
}

std::vector<GtpReply> GtpReplyHandler::feed(std::string_view chunk) {
  std::vector<GtpReply> replies;
  for (const std::string& line : lines_.feed(chunk))
    if (auto reply = feedLine(line)) replies.push_back(std::move(*reply));
  return replies;
}

std::optional<GtpReply> GtpReplyHandler::feedLine(std::string_view line) {
  if (line.empty() || (line.front() != '=' && line.front() != '?')) return std::nullopt;
  if (waiting_.empty()) return std::nullopt;
  const Waiting command = waiting_.front();
  waiting_.pop_front();

  GtpReply reply;
  reply.serial = command.serial;
  reply.forMove = command.forMove;
  reply.failed = line.front() == '?';
  reply.line = std::string(line);
  if (command.forMove && !reply.failed) {
    reply.move = parseGtpMoveReply(line, height_);
    if (reply.move) reply.point = gtpReplyPoint(*reply.move, width_, height_);
  }
  return reply;
}

}  // namespace mh
