#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace mh {

// A signal one thread sets and others wait for, over a mutex and a condition variable.
// An auto-reset event releases one waiter per set and clears itself as that waiter returns; a
// manual-reset event stays set, releasing every waiter, until reset. Setting and waiting from
// different threads is safe; everything written before set() is visible after a wait returns.
class Event {
 public:
  enum class Mode { AutoReset, ManualReset };

  explicit Event(Mode mode = Mode::AutoReset, bool initiallySet = false)
      : manual_(mode == Mode::ManualReset), set_(initiallySet) {}
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void set();
  void reset();
  // Blocks until the event is set.
  void wait();
  // Blocks until the event is set or the timeout has passed; true when it was set.
  [[nodiscard]] bool waitFor(std::chrono::milliseconds timeout);
  // Whether the event is set now (an auto-reset event is not consumed by asking).
  bool isSet() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  const bool manual_;
  bool set_;
};

}  // namespace mh
