#pragma once

#include <chrono>
#include <string>
#include <thread>

#include "platform/event.h"

namespace mh::test {

// Bounds the time of a test that could hang (a stop that never returns, a reply that never
// comes): unless it is destroyed within the limit, it prints what was running and aborts the
// test program, so that a fault fails the run instead of stalling it.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::milliseconds limit, std::string what = "test");
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  Event done_{Event::Mode::ManualReset};
  std::thread thread_;
};

// Polls pred every few milliseconds until it holds or the timeout passes; returns its last value.
template <typename Pred>
bool waitUntil(Pred pred, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!pred()) {
    if (std::chrono::steady_clock::now() >= deadline) return pred();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace mh::test
