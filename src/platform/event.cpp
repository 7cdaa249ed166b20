#include "platform/event.h"

namespace mh {

void Event::set() {
  // Notified under the lock: a woken waiter may destroy the event as soon as it returns.
  std::lock_guard lock(mutex_);
  set_ = true;
  if (manual_)
    changed_.notify_all();
  else
    changed_.notify_one();
}

void Event::reset() {
  std::lock_guard lock(mutex_);
  set_ = false;
}

void Event::wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return set_; });
  if (!manual_) set_ = false;
}

bool Event::waitFor(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, timeout, [this] { return set_; })) return false;
  if (!manual_) set_ = false;
  return true;
}

bool Event::isSet() const {
  std::lock_guard lock(mutex_);
  return set_;
}

}  // namespace mh
