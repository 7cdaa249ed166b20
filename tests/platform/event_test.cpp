#include "platform/event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/watchdog.h"

namespace {

using mh::Event;
using namespace std::chrono_literals;

TEST(Event, AutoResetReleasesOneWaitPerSet) {
  Event e;
  EXPECT_FALSE(e.isSet());
  e.set();
  EXPECT_TRUE(e.isSet());
  EXPECT_TRUE(e.waitFor(0ms));
  EXPECT_FALSE(e.isSet());
  EXPECT_FALSE(e.waitFor(0ms));
}

TEST(Event, ManualResetStaysSetUntilReset) {
  Event e(Event::Mode::ManualReset);
  e.set();
  EXPECT_TRUE(e.waitFor(0ms));
  EXPECT_TRUE(e.waitFor(0ms));
  e.wait();
  e.reset();
  EXPECT_FALSE(e.waitFor(0ms));
}

TEST(Event, InitiallySetAndTimeout) {
  Event set(Event::Mode::AutoReset, true);
  EXPECT_TRUE(set.waitFor(0ms));
  Event unset;
  auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(unset.waitFor(30ms));
  EXPECT_GE(std::chrono::steady_clock::now() - before, 30ms);
}

TEST(Event, AutoResetWakesExactlyOneOfTwoWaiters) {
  mh::test::Watchdog dog(10s, "two waiters");
  Event e;
  std::atomic<int> woken{0};
  std::thread a([&] { e.wait(); ++woken; });
  std::thread b([&] { e.wait(); ++woken; });
  e.set();
  ASSERT_TRUE(mh::test::waitUntil([&] { return woken.load() == 1; }, 5s));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(woken.load(), 1);
  e.set();
  ASSERT_TRUE(mh::test::waitUntil([&] { return woken.load() == 2; }, 5s));
  a.join();
  b.join();
}

TEST(Event, ManualResetWakesEveryWaiterAndPublishesWrites) {
  mh::test::Watchdog dog(10s, "manual waiters");
  Event e(Event::Mode::ManualReset);
  int payload = 0;  // plain on purpose: the event must order the write before the reads
  std::atomic<int> sum{0};
  std::thread a([&] { e.wait(); sum += payload; });
  std::thread b([&] { e.wait(); sum += payload; });
  payload = 21;
  e.set();
  a.join();
  b.join();
  EXPECT_EQ(sum.load(), 42);
}

}  // namespace
