#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "platform/log_line.h"

namespace mh {

// Runs one job on its own thread and asks it to stop.
//
// The run flag is 1 while running, 0 once a stop was requested and -1 when the job has returned.
// The job is handed the flag and checks it at its own pace. Stopping is cooperative: a thread
// that does not finish within the stop limit is left running, detached, and the owner's log (if
// it handed one) says so.
// The flag lives in state shared with the thread, so it stays valid for such a thread; anything
// else the job touches must be owned by the job itself (capture shared pointers), never borrowed
// from an object that may be destroyed while the thread still runs.
class WorkerThread {
 public:
  using Job = std::function<void(const std::atomic<int>& runFlag)>;

  explicit WorkerThread(LogLine log = {}) : log_(std::move(log)) {}
  // Requests a stop and waits for the job to return, however long it takes; owners that need a
  // bound call stop(limit) first. Called on the worker thread itself, it only lets go of it.
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Starts the job on a new thread with the run flag at 1. Refused (false) while an earlier job,
  // joined or detached, has not returned yet.
  bool start(Job job);

  // Sets the run flag to 0 unless the job has already returned; does not wait.
  void requestStop();

  // Sets the run flag to 0 (unless the job has already returned) and waits up to limitMs for the
  // job to return; -1 waits for as long as it runs. True when the thread has ended (or there was
  // none); false when the limit ran out and the thread was left running detached.
  bool stop(int limitMs);

  // 1 running, 0 stop requested, -1 finished or never started.
  int runFlag() const;
  // Whether a thread is attached to this object (started and not yet stopped).
  bool hasThread() const { return thread_.joinable(); }

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
  LogLine log_;
};

}  // namespace mh
