#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/log_line.h"

namespace mh::test {

// A log that keeps what it is given, for a test to read: hand line() to the component under test.
class CapturedLog {
 public:
  // Appends each line and a line feed; safe from any thread, and after this object is gone.
  LogLine line() const;
  // Everything logged so far.
  std::string text() const;

 private:
  struct Lines {
    std::mutex mutex;
    std::string text;
  };
  std::shared_ptr<Lines> lines_ = std::make_shared<Lines>();
};

}  // namespace mh::test
