#include "platform/worker_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "platform/event.h"
#include "support/captured_log.h"
#include "support/watchdog.h"

namespace {

using mh::Event;
using mh::WorkerThread;
using mh::test::waitUntil;
using mh::test::Watchdog;
using namespace std::chrono_literals;

// A job that works until asked to stop, counting its rounds.
WorkerThread::Job cooperativeJob(std::shared_ptr<std::atomic<int>> rounds) {
  return [rounds](const std::atomic<int>& flag) {
    while (flag.load() > 0) {
      ++*rounds;
      std::this_thread::sleep_for(1ms);
    }
  };
}

TEST(WorkerThread, RunsTheJobAndStopsItCooperatively) {
  Watchdog dog(10s);
  WorkerThread worker;
  EXPECT_EQ(worker.runFlag(), -1);
  EXPECT_TRUE(worker.stop(100));  // nothing to stop
  auto rounds = std::make_shared<std::atomic<int>>(0);
  ASSERT_TRUE(worker.start(cooperativeJob(rounds)));
  EXPECT_EQ(worker.runFlag(), 1);
  ASSERT_TRUE(waitUntil([&] { return rounds->load() > 3; }, 5s));
  EXPECT_FALSE(worker.start(cooperativeJob(rounds)));  // one job at a time
  EXPECT_TRUE(worker.stop(2000));
  EXPECT_EQ(worker.runFlag(), -1);
  EXPECT_FALSE(worker.hasThread());
  int after = rounds->load();
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(rounds->load(), after);

  // A finished worker starts again.
  ASSERT_TRUE(worker.start(cooperativeJob(rounds)));
  EXPECT_TRUE(worker.stop(-1));
}

TEST(WorkerThread, JobThatReturnsByItselfFinishesTheFlag) {
  Watchdog dog(10s);
  WorkerThread worker;
  Event ran;
  ASSERT_TRUE(worker.start([&ran](const std::atomic<int>&) { ran.set(); }));
  ASSERT_TRUE(ran.waitFor(5s));
  ASSERT_TRUE(waitUntil([&] { return worker.runFlag() == -1; }, 5s));
  EXPECT_TRUE(worker.stop(0));
}

TEST(WorkerThread, UnlimitedStopWaitsForAJobThatIgnoresTheFlag) {
  Watchdog dog(10s);
  WorkerThread worker;
  ASSERT_TRUE(worker.start([](const std::atomic<int>&) { std::this_thread::sleep_for(300ms); }));
  auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(worker.stop(-1));
  EXPECT_GE(std::chrono::steady_clock::now() - before, 250ms);
  EXPECT_EQ(worker.runFlag(), -1);
}

TEST(WorkerThread, LimitRunsOutLeavesTheThreadDetachedAliveAndLogged) {
  Watchdog dog(20s);
  mh::test::CapturedLog log;

  // The job owns what it touches; the test keeps only a second reference.
  struct Resources {
    Event release{Event::Mode::ManualReset};
    std::atomic<int> touches{0};
  };
  auto res = std::make_shared<Resources>();
  auto worker = std::make_unique<WorkerThread>(log.line());
  ASSERT_TRUE(worker->start([res](const std::atomic<int>&) {
    res->release.wait();  // ignores the run flag
    ++res->touches;
  }));
  auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(worker->stop(200));
  auto waited = std::chrono::steady_clock::now() - before;
  EXPECT_GE(waited, 190ms);
  EXPECT_LT(waited, 3s);
  EXPECT_EQ(worker->runFlag(), 0);
  EXPECT_FALSE(worker->start([](const std::atomic<int>&) {}));  // the old job still runs

  worker.reset();  // the owner goes away; the detached job must not notice
  std::weak_ptr<Resources> watch = res;
  Event* release = &res->release;
  res.reset();
  release->set();
  EXPECT_TRUE(waitUntil([&] { return watch.expired(); }, 5s));  // the job freed its resources itself

  EXPECT_NE(log.text().find("did not stop within 200 ms"), std::string::npos) << log.text();
}

TEST(WorkerThread, DestructorStopsAndJoins) {
  Watchdog dog(10s);
  auto rounds = std::make_shared<std::atomic<int>>(0);
  {
    WorkerThread worker;
    ASSERT_TRUE(worker.start(cooperativeJob(rounds)));
    ASSERT_TRUE(waitUntil([&] { return rounds->load() > 0; }, 5s));
  }
  EXPECT_EQ(rounds.use_count(), 1);  // the job, and what it held, are gone
}

}  // namespace
