#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/point.h"
#include "process/gtp_line_buffer.h"
#include "process/gtp_vertex.h"

namespace mh {

// One reply of a GTP engine, matched to the command it answers.
struct GtpReply {
  std::uint64_t serial = 0;  // the number commandSent gave that command
  bool forMove = false;      // the command asked for a move
  bool failed = false;       // an error reply ("?")
  std::string line;          // the reply's first line as it came, for the log
  // For a successful answer to a move request: what it says, or nothing when it names no
  // vertex, "pass" or "resign".
  std::optional<GtpMoveReply> move;
  // The point of a vertex answer on the handler's board; -1 for a pass, a vertex off the board
  // or anything else.
  Point point = kNoPoint;
};

// Reads what a GTP engine writes to its standard output. No process and no threads: the owner
// tells it each command as it is sent and feeds it the output chunk by chunk, from one thread at a
// time.
//
// Chunks are joined into whole lines first, so a reply split across two reads is read as one.
// Every line that starts with "=" or "?" begins the reply to the oldest command not yet answered
// (GTP answers in order); other lines (the rest of a long reply, noise) answer nothing. A reply
// that arrives when no command waits is dropped.
class GtpReplyHandler {
 public:
  explicit GtpReplyHandler(int width = 19, int height = 19) : width_(width), height_(height) {}

  // Forgets waiting commands and half-read lines (a new engine process); serials keep counting.
  void reset();
  // Registers a command that is about to be written; its reply will carry the returned serial.
  std::uint64_t commandSent(bool asksForMove);
  // Feeds a chunk of output and returns the replies it completed, in order.
  std::vector<GtpReply> feed(std::string_view chunk);
  // Feeds one whole line.
  std::optional<GtpReply> feedLine(std::string_view line);

  // Commands sent and not yet answered.
  size_t waiting() const { return waiting_.size(); }

 private:
  struct Waiting {
    std::uint64_t serial;
    bool forMove;
  };

  int width_;
  int height_;
  GtpLineBuffer lines_;
  std::deque<Waiting> waiting_;
  std::uint64_t nextSerial_ = 1;
};

}  // namespace mh
