#include "process/child_process.h"

#include <gtest/gtest.h>

#include <thread>
#include <signal.h>
#include <sys/wait.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "support/watchdog.h"

namespace {

namespace fs = std::filesystem;
using mh::ChildProcess;
using mh::test::Watchdog;
using namespace std::chrono_literals;

size_t countEntries(const char* dir) {
  size_t n = 0;
  for (auto it = fs::directory_iterator(dir); it != fs::directory_iterator(); ++it) ++n;
  return n;
}
size_t openDescriptors() { return countEntries("/proc/self/fd"); }
size_t liveThreads() { return countEntries("/proc/self/task"); }

// True once pid is neither running nor a zombie of ours.
bool fullyGone(pid_t pid) {
  int status = 0;
  bool notOurChild = ::waitpid(pid, &status, WNOHANG) < 0 && errno == ECHILD;
  return notOurChild && ::kill(pid, 0) < 0 && errno == ESRCH;
}

// Everything the callbacks report, guarded for the reader and watcher threads.
class Collector {
  template <typename F>
  void update(F f) {
    std::lock_guard lock(mutex_);
    f();
    changed_.notify_all();
  }
  template <typename F>
  auto locked(F f) const {
    std::lock_guard lock(mutex_);
    return f();
  }

 public:
  ChildProcess::Callbacks callbacks() {
    return {
        [this](const std::string& line) { update([&] { started_.push_back(line); }); },
        [this](std::string_view chunk) {
          update([&] {
            output_.append(chunk);
            outputChunks_.push_back(chunk.size());
          });
        },
        [this](std::string_view chunk) {
          update([&] {
            error_.append(chunk);
            errorChunks_.push_back(chunk.size());
          });
        },
        [this] { update([&] { ++ended_; }); },
    };
  }
  // Waits (bounded) until pred(this) holds under the lock.
  template <typename Pred>
  bool waitFor(Pred pred, std::chrono::milliseconds timeout = 10s) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return pred(*this); });
  }
  std::string output() const { return locked([&] { return output_; }); }
  std::string error() const { return locked([&] { return error_; }); }
  std::vector<size_t> outputChunks() const { return locked([&] { return outputChunks_; }); }
  std::vector<size_t> errorChunks() const { return locked([&] { return errorChunks_; }); }
  std::vector<std::string> started() const { return locked([&] { return started_; }); }
  int ended() const { return locked([&] { return ended_; }); }

  std::string output_, error_;
  std::vector<size_t> outputChunks_, errorChunks_;
  std::vector<std::string> started_;
  int ended_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
};

class ChildProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every test here is bounded; GNU Go's exchange takes longest, under a sanitizer above all.
    dog_ = std::make_unique<Watchdog>(150s, "child process test");
    fdsBefore_ = openDescriptors();
    threadsBefore_ = liveThreads();
  }
  // After a stop: no descriptor and no thread is left over.
  // A joined thread can linger in /proc/self/task for a moment on a loaded machine, so the count
  // is given up to a second to settle; a leaked thread stays and still fails.
  void expectNothingLeft() {
    EXPECT_EQ(openDescriptors(), fdsBefore_);
    for (int i = 0; i < 100 && liveThreads() != threadsBefore_; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(liveThreads(), threadsBefore_);
  }
  // Stops the child and checks what stop promises: the ended callback ran exactly once, the
  // child is neither running nor a zombie, and nothing is left open. Returns how long stop took.
  std::chrono::steady_clock::duration stopAndExpectClean(ChildProcess& child, const Collector& seen) {
    pid_t pid = child.pid();
    auto before = std::chrono::steady_clock::now();
    child.stop();
    auto took = std::chrono::steady_clock::now() - before;
    EXPECT_FALSE(child.isRunning());
    EXPECT_EQ(seen.ended(), 1);
    EXPECT_TRUE(fullyGone(pid));
    expectNothingLeft();
    return took;
  }
  std::unique_ptr<Watchdog> dog_;
  size_t fdsBefore_ = 0, threadsBefore_ = 0;
};

TEST(SplitCommandLine, WordsAndQuotes) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {"gnugo --mode gtp --quiet", {"gnugo", "--mode", "gtp", "--quiet"}},
      {"  a\t b  ", {"a", "b"}},
      {"/bin/sh -c 'echo \"hi\"; exit 3'", {"/bin/sh", "-c", "echo \"hi\"; exit 3"}},
      {"\"/opt/go engine/gnugo\" --level 3", {"/opt/go engine/gnugo", "--level", "3"}},
      {R"("a \"b\" \\ \c")", {R"(a "b" \ \c)"}},
      {R"(a\ b ''  x'y'z)", {"a b", "", "xyz"}},
      {"unterminated 'quote", {"unterminated", "quote"}},
  };
  for (const auto& c : cases) EXPECT_EQ(mh::splitCommandLine(c.line), c.words) << c.line;
}

TEST_F(ChildProcessTest, MissingProgramReportsUnableToStartAndLeavesNothing) {
  for (const std::string line : {"/nonexistent/moonhaven-no-such-program --flag", "", "no-such-program-on-path-x"}) {
    Collector seen;
    {
      ChildProcess child(seen.callbacks());
      EXPECT_FALSE(child.start(line));
      EXPECT_FALSE(child.isRunning());
      EXPECT_EQ(child.pid(), -1);
      child.stop();
    }
    EXPECT_EQ(seen.output(), "Unable to start " + line + "\n");
    EXPECT_TRUE(seen.started().empty());
    EXPECT_EQ(seen.ended(), 0);
    expectNothingLeft();
  }
}

TEST_F(ChildProcessTest, ChildThatExitsAtOnceEndsReadersAndWatcherOnce) {
  Collector seen;
  ChildProcess child(seen.callbacks());
  const std::string line = "/bin/sh -c 'echo out; echo err >&2; exit 3'";
  ASSERT_TRUE(child.start(line));
  EXPECT_GT(child.pid(), 0);
  EXPECT_EQ(seen.started(), std::vector<std::string>{line});
  ASSERT_TRUE(seen.waitFor([](const Collector& c) { return c.ended_ == 1; }));
  EXPECT_FALSE(child.isRunning());
  stopAndExpectClean(child, seen);
  EXPECT_EQ(seen.output(), "out\n");
  EXPECT_EQ(seen.error(), "err\n");
  child.stop();  // a second stop does nothing
  EXPECT_EQ(seen.ended(), 1);
}

TEST_F(ChildProcessTest, EchoesWhatIsWrittenToItsInput) {
  Collector seen;
  ChildProcess child(seen.callbacks());
  ASSERT_TRUE(child.start("cat"));
  EXPECT_TRUE(child.isRunning());
  child.write("boardsize 19\r\n");
  child.write("");
  child.write("play b D4\r\n");
  ASSERT_TRUE(seen.waitFor([](const Collector& c) { return c.output_.size() >= 25; }));
  EXPECT_EQ(seen.output(), "boardsize 19\r\nplay b D4\r\n");
  stopAndExpectClean(child, seen);
}

TEST_F(ChildProcessTest, BurstsLongerThanAChunkReassembleExactly) {
  mh::test::ScratchDir dir;
  std::string file = dir.file("burst");
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i % 251 == 0 ? '\n' : 'A' + (i * 7) % 26);
  bytes += std::string("\0\x01\xff tail", 8);
  std::ofstream(file, std::ios::binary) << bytes;

  struct Case {
    const char* redirect;
    bool toError;
  } cases[] = {{"", false}, {" >&2", true}};
  for (const auto& c : cases) {
    Collector seen;
    ChildProcess child(seen.callbacks());
    ASSERT_TRUE(child.start("/bin/sh -c 'cat " + file + c.redirect + "'"));
    ASSERT_TRUE(seen.waitFor([](const Collector& s) { return s.ended_ == 1; }));
    stopAndExpectClean(child, seen);  // lets the readers finish what was written
    std::string got = c.toError ? seen.error() : seen.output();
    std::vector<size_t> chunks = c.toError ? seen.errorChunks() : seen.outputChunks();
    EXPECT_EQ(got, bytes) << c.redirect;
    EXPECT_GE(chunks.size(), bytes.size() / ChildProcess::kChunkSize);
    for (size_t n : chunks) EXPECT_LE(n, ChildProcess::kChunkSize);
    EXPECT_TRUE((c.toError ? seen.output() : seen.error()).empty());
  }
}

TEST_F(ChildProcessTest, StopEndsAChildThatNeverExits) {
  Collector seen;
  ChildProcess child(seen.callbacks());
  ASSERT_TRUE(child.start("sleep 1000"));
  EXPECT_LT(stopAndExpectClean(child, seen), 1500ms);
}

TEST_F(ChildProcessTest, ChildIgnoringSigtermIsKilledAfterTheWait) {
  Collector seen;
  ChildProcess child(seen.callbacks());
  child.setTerminateWait(300ms);
  // The shell and its sleeps ignore SIGTERM (an ignored signal stays ignored across exec).
  ASSERT_TRUE(child.start("/bin/sh -c 'trap \"\" TERM; echo ready; while :; do sleep 1; done'"));
  ASSERT_TRUE(seen.waitFor([](const Collector& c) { return c.output_ == "ready\n"; }));
  auto took = stopAndExpectClean(child, seen);
  EXPECT_GE(took, 300ms);
  EXPECT_LT(took, 3s);
}

TEST_F(ChildProcessTest, StopDoesNotWaitForADescendantHoldingThePipes) {
  Collector seen;
  ChildProcess child(seen.callbacks());
  // The shell leaves a background sleep behind that keeps standard output open.
  ASSERT_TRUE(child.start("/bin/sh -c 'sleep 30 & echo $!; exit 0'"));
  ASSERT_TRUE(seen.waitFor([](const Collector& c) { return c.ended_ == 1 && !c.output_.empty(); }));
  EXPECT_LT(stopAndExpectClean(child, seen), 2s);
  pid_t orphan = static_cast<pid_t>(std::stol(seen.output()));
  ::kill(orphan, SIGKILL);
}

TEST_F(ChildProcessTest, WritingToAChildThatHasGoneIsHarmless) {
  Collector seen;
  ChildProcess child(seen.callbacks());
  child.write("nobody listens\n");  // not started
  ASSERT_TRUE(child.start("/bin/sh -c 'exec 0<&-; exit 0'"));
  ASSERT_TRUE(seen.waitFor([](const Collector& c) { return c.ended_ == 1; }));
  for (int i = 0; i < 10; ++i) child.write(std::string(70000, 'x'));  // broken pipe, no SIGPIPE
  child.stop();
  child.write("after stop\n");
  expectNothingLeft();
}

TEST_F(ChildProcessTest, StartingAgainStopsThePreviousChild) {
  Collector seen;
  ChildProcess child(seen.callbacks());
  ASSERT_TRUE(child.start("sleep 1000"));
  pid_t first = child.pid();
  ASSERT_TRUE(child.start("cat"));
  EXPECT_TRUE(fullyGone(first));
  EXPECT_EQ(seen.ended(), 1);
  child.write("again\n");
  ASSERT_TRUE(seen.waitFor([](const Collector& c) { return c.output_ == "again\n"; }));
  child.stop();
  EXPECT_EQ(seen.ended(), 2);
  expectNothingLeft();
}

TEST_F(ChildProcessTest, StopFromACallbackEndsTheChildWithoutDeadlock) {
  Collector seen;
  ChildProcess child;
  auto callbacks = seen.callbacks();
  auto record = callbacks.outputText;
  callbacks.outputText = [&](std::string_view chunk) {
    record(chunk);
    if (chunk.find("bye") != std::string_view::npos) child.stop();  // on the reader thread
  };
  child.setCallbacks(callbacks);
  ASSERT_TRUE(child.start("cat"));
  child.write("bye\n");
  ASSERT_TRUE(seen.waitFor([](const Collector& c) { return c.ended_ == 1; }));
  stopAndExpectClean(child, seen);
  EXPECT_EQ(seen.output(), "bye\n");
}

TEST_F(ChildProcessTest, DestructorStopsARunningChild) {
  pid_t pid = -1;
  {
    ChildProcess child;
    ASSERT_TRUE(child.start("sleep 1000"));
    pid = child.pid();
  }
  EXPECT_TRUE(fullyGone(pid));
  expectNothingLeft();
}

TEST_F(ChildProcessTest, SpeaksGtpWithGnuGo) {
  const char* program = "/usr/games/gnugo";
  ASSERT_TRUE(fs::exists(program)) << "GNU Go is installed by scripts/setup.sh";
  Collector seen;
  ChildProcess child(seen.callbacks());
  ASSERT_TRUE(child.start(std::string(program) + " --mode gtp --quiet"));
  child.write("boardsize 19\r\n");
  child.write("play b D4\r\n");
  child.write("genmove w\r\n");
  // Replies end with an empty line; the third one carries White's move.
  auto replies = [](const Collector& c) {
    size_t n = 0;
    for (size_t at = c.output_.find("\n\n"); at != std::string::npos; at = c.output_.find("\n\n", at + 2)) ++n;
    return n;
  };
  ASSERT_TRUE(seen.waitFor([&](const Collector& c) { return replies(c) >= 3; }, 100s)) << seen.output();
  std::smatch m;
  std::string out = seen.output();
  ASSERT_TRUE(std::regex_match(out, m, std::regex("= \n\n= \n\n= ([A-HJ-T](1[0-9]|[1-9])|PASS)\n\n")))
      << out;
  EXPECT_NE(m[1], "D4");
  child.write("quit\r\n");
  ASSERT_TRUE(seen.waitFor([](const Collector& c) { return c.ended_ == 1; }, 10s));
  stopAndExpectClean(child, seen);
  EXPECT_TRUE(seen.error().empty()) << seen.error();
}

}  // namespace
