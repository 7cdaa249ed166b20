#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include "patterns/pattern_base_build.h"
#include "platform/worker_thread.h"

namespace mh {

// Runs a pattern-base build on its own worker thread. The owner reads the progress integers at
// its own pace and asks for a stop; a stopped build still finishes its phase's files, so the
// result of a stop is kept work, not lost work. The pattern base itself must be closed by the
// owner before the start: the build reads and writes only its files.
class PatternBaseBuilder {
 public:
  // A build thread that will not stop in time is reported to log.
  explicit PatternBaseBuilder(LogLine log = {});
  // Asks a running build to stop and waits for it.
  ~PatternBaseBuilder();
  PatternBaseBuilder(const PatternBaseBuilder&) = delete;
  PatternBaseBuilder& operator=(const PatternBaseBuilder&) = delete;

  // Starts the build; refused while an earlier one still runs.
  bool start(BuildRequest request);
  // Published progress; valid for the builder's lifetime.
  const BuildProgress& progress() const { return shared_->progress; }
  // Asks the build to stop before its next game; does not wait.
  void requestStop() { worker_.requestStop(); }
  // Asks for a stop and waits up to limitMs (-1: as long as it takes); true once it has ended.
  bool stop(int limitMs) { return worker_.stop(limitMs); }
  // True once the build has returned (and before any start).
  bool finished() const { return worker_.runFlag() < 0; }
  // The result of the last build, once it has finished.
  std::optional<BuildResult> result() const;

 private:
  struct Shared {
    BuildProgress progress;
    std::mutex mutex;
    std::optional<BuildResult> result;
  };
  std::shared_ptr<Shared> shared_;
  WorkerThread worker_;
};

}  // namespace mh
