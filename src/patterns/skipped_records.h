#pragma once

#include <mutex>
#include <string>

#include "patterns/game_loader.h"
#include "platform/log_line.h"

namespace mh {

// A build's account of the record files it passes over because they do not load: one log line
// each, with the file and where and why its reading stopped, up to kLineLimit lines, so that a
// folder of junk cannot flood the log; finish() then says how many more there were.
class SkippedRecordLog {
 public:
  static constexpr int kLineLimit = 20;

  explicit SkippedRecordLog(LogLine log) : log_(std::move(log)) {}

  // The loader, reporting here each file it refuses. This object must outlive the loader's use.
  GameLoader watching(GameLoader load);
  void skipped(const std::string& path, const ParseError& error);
  // Writes the line for the files past the limit, if any.
  void finish();

 private:
  LogLine log_;
  std::mutex mutex_;
  int count_ = 0;
};

}  // namespace mh
