#include "patterns/pattern_base_builder.h"

#include <utility>

namespace mh {

PatternBaseBuilder::PatternBaseBuilder(LogLine log) : shared_(std::make_shared<Shared>()), worker_(std::move(log)) {}

PatternBaseBuilder::~PatternBaseBuilder() { (void)worker_.stop(-1); }

bool PatternBaseBuilder::start(BuildRequest request) {
  if (!finished()) return false;
  (void)worker_.stop(-1);  // lets go of a thread that has returned
  {
    std::lock_guard lock(shared_->mutex);
    shared_->result.reset();
  }
  // The job owns what it uses: the request by value and the shared state by pointer.
  return worker_.start([shared = shared_, request = std::move(request)](const std::atomic<int>& runFlag) {
    BuildResult result = buildPatternBase(request, shared->progress, runFlag);
    std::lock_guard lock(shared->mutex);
    shared->result = std::move(result);
  });
}

std::optional<BuildResult> PatternBaseBuilder::result() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->result;
}

}  // namespace mh
