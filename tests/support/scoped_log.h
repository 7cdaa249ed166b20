#pragma once

#include <string>

#include "support/scratch_dir.h"

namespace mh::test {

// Points the process-wide log at a file in a scratch directory for its lifetime, so that a test
// can read what was logged and the working directory gets no "log.txt".
class ScopedLog {
 public:
  ScopedLog();
  ~ScopedLog();
  ScopedLog(const ScopedLog&) = delete;
  ScopedLog& operator=(const ScopedLog&) = delete;

  // Everything logged so far.
  std::string text() const;

 private:
  ScratchDir dir_;
  std::string previous_;
};

}  // namespace mh::test
