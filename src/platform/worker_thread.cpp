#include "platform/worker_thread.h"

#include <chrono>
#include <string>

#include "platform/event.h"

namespace mh {

struct WorkerThread::Shared {
  std::atomic<int> runFlag{1};
  Event finished{Event::Mode::ManualReset};
};

WorkerThread::~WorkerThread() {
  if (!thread_.joinable()) return;
  if (thread_.get_id() == std::this_thread::get_id()) {
    // The job dropped the last owner of this object while running; the thread ends by itself.
    thread_.detach();
    return;
  }
  stop(-1);
}

bool WorkerThread::start(Job job) {
  if (!job) return false;
  if (shared_ && shared_->runFlag.load() != -1) return false;
  if (thread_.joinable()) thread_.join();  // finished, only not joined yet
  auto shared = std::make_shared<Shared>();
  shared_ = shared;
  thread_ = std::thread([shared, job = std::move(job)]() mutable {
    job(shared->runFlag);
    job = nullptr;  // release what the job owns before reporting the end
    shared->runFlag.store(-1);
    shared->finished.set();
  });
  return true;
}

void WorkerThread::requestStop() {
  if (!shared_) return;
  int running = 1;
  shared_->runFlag.compare_exchange_strong(running, 0);
}

bool WorkerThread::stop(int limitMs) {
  if (!thread_.joinable()) return true;
  requestStop();
  if (thread_.get_id() == std::this_thread::get_id()) {
    // A job cannot wait for itself; it has been asked to stop and will return.
    thread_.detach();
    return false;
  }
  if (limitMs < 0) {
    shared_->finished.wait();
  } else if (!shared_->finished.waitFor(std::chrono::milliseconds(limitMs))) {
    thread_.detach();
    if (log_) log_("Worker thread did not stop within " + std::to_string(limitMs) + " ms; left running detached");
    return false;
  }
  thread_.join();
  return true;
}

int WorkerThread::runFlag() const { return shared_ ? shared_->runFlag.load() : -1; }

}  // namespace mh
