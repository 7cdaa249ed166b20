#include "platform/teardown_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace mh {
namespace {

TEST(TeardownQueue, RunsJobsInOrderOffTheCallingThread) {
  std::vector<int> order;
  std::mutex mutex;
  const auto caller = std::this_thread::get_id();
  std::atomic<bool> elsewhere{true};
  {
    TeardownQueue queue;
    for (int i = 0; i < 5; ++i) {
      queue.post([&, i] {
        if (std::this_thread::get_id() == caller) elsewhere = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(i == 0 ? 50 : 1));
        std::lock_guard lock(mutex);
        order.push_back(i);
      });
    }
    queue.drain();
    std::lock_guard lock(mutex);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
  }
  EXPECT_TRUE(elsewhere.load());
}

TEST(TeardownQueue, DestructionFinishesQueuedJobsAndReleasesWhatTheyHeld) {
  auto held = std::make_shared<int>(7);
  std::weak_ptr<int> watch = held;
  std::atomic<int> ran{0};
  {
    TeardownQueue queue;
    queue.post([&] { std::this_thread::sleep_for(std::chrono::milliseconds(30)); ++ran; });
    queue.post([&ran, held = std::move(held)] { ran += *held; });
  }
  EXPECT_EQ(ran.load(), 8) << "both jobs ran before the queue went";
  EXPECT_TRUE(watch.expired());
  TeardownQueue unused;  // never started: nothing to join
}

}  // namespace
}  // namespace mh
