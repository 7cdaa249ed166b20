#include "platform/bounded_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "support/watchdog.h"

namespace mh {
namespace {

using namespace std::chrono_literals;

// Items cross in order from a producer that runs far ahead of a slow consumer, and the producer
// never holds more than the capacity in the queue.
TEST(BoundedQueue, KeepsOrderAndBoundsTheProducer) {
  test::Watchdog dog(10s, "BoundedQueue order");
  BoundedQueue<int> queue(3);
  std::atomic<int> pushed{0};
  std::thread producer([&] {
    for (int i = 0; i < 200; ++i) {
      ASSERT_TRUE(queue.push(i));
      pushed.fetch_add(1);
    }
    queue.close();
  });
  ASSERT_TRUE(test::waitUntil([&] { return pushed.load() == 3; }, 2s));
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(pushed.load(), 3) << "a full queue must hold the producer back";
  std::vector<int> got;
  int item = 0;
  while (queue.pop(item)) got.push_back(item);
  producer.join();
  ASSERT_EQ(got.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(got[static_cast<size_t>(i)], i);
}

// Closing wakes both sides: a consumer waiting on an empty queue gets false, a producer waiting
// on a full queue gets false and its item is dropped, and what was queued before the close is
// still handed out.
TEST(BoundedQueue, CloseWakesWaitersAndDrainsWhatWasQueued) {
  test::Watchdog dog(10s, "BoundedQueue close");
  {
    BoundedQueue<int> empty(2);
    std::thread consumer([&] {
      int item = 0;
      EXPECT_FALSE(empty.pop(item));
    });
    std::this_thread::sleep_for(10ms);
    empty.close();
    consumer.join();
  }
  BoundedQueue<int> full(1);
  ASSERT_TRUE(full.push(7));
  std::atomic<bool> secondPushed{true};
  std::thread producer([&] { secondPushed = full.push(8); });
  std::this_thread::sleep_for(10ms);
  full.close();
  producer.join();
  EXPECT_FALSE(secondPushed.load());
  EXPECT_FALSE(full.push(9)) << "push after close";
  int item = 0;
  ASSERT_TRUE(full.pop(item));
  EXPECT_EQ(item, 7);
  EXPECT_FALSE(full.pop(item));
}

}  // namespace
}  // namespace mh
