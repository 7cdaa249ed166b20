#include "process/gtp_line_buffer.h"

namespace mh {

std::vector<std::string> GtpLineBuffer::feed(std::string_view chunk) {
  std::vector<std::string> lines;
  for (char c : chunk) {
    if (c == '\n' || c == '\r') {
      if (!pending_.empty()) lines.push_back(std::move(pending_));
      pending_.clear();
      continue;
    }
    if (pending_.size() == kMaxLine) {
      lines.push_back(std::move(pending_));
      pending_.clear();
    }
    pending_ += c;
  }
  return lines;
}

std::string GtpLineBuffer::takeRest() {
  std::string rest = std::move(pending_);
  pending_.clear();
  return rest;
}

}  // namespace mh
