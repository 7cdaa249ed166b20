#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace mh {

// Runs slow clean-up jobs (ending child programs, joining their threads) one after another on a
// thread of its own, so that the thread that hands them over never waits for them. The thread
// starts with the first job and stays for the next. Destroying the queue runs every job still
// queued, then joins the thread: nothing handed over is left running.
class TeardownQueue {
 public:
  using Job = std::function<void()>;

  TeardownQueue() = default;
  ~TeardownQueue();
  TeardownQueue(const TeardownQueue&) = delete;
  TeardownQueue& operator=(const TeardownQueue&) = delete;

  // Queues a job; it runs after every job queued before it. A job must not throw.
  void post(Job job);
  // Blocks until every job queued so far has run.
  void drain();

 private:
  void run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  bool busy_ = false;
  bool closing_ = false;
  std::thread thread_;
};

}  // namespace mh
