#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mh {

// Joins chunks of a child's output into whole lines, so that a reply split across two reads is
// still read as one line. Lines end at LF or CR; empty lines are dropped. Not thread-safe: one
// buffer per output stream, fed by that stream's reader thread.
class GtpLineBuffer {
 public:
  // Appends a chunk and returns the lines it completed, in order.
  std::vector<std::string> feed(std::string_view chunk);
  // The unfinished rest, for the end of the stream.
  std::string takeRest();

  // A line longer than this is cut, so a child that never ends a line cannot grow memory
  // without bound.
  static constexpr size_t kMaxLine = 64 * 1024;

 private:
  std::string pending_;
};

}  // namespace mh
