#include "support/captured_log.h"

namespace mh::test {

LogLine CapturedLog::line() const {
  return [lines = lines_](std::string_view line) {
    std::lock_guard lock(lines->mutex);
    lines->text.append(line).append("\n");
  };
}

std::string CapturedLog::text() const {
  std::lock_guard lock(lines_->mutex);
  return lines_->text;
}

}  // namespace mh::test
