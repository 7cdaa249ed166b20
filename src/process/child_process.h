#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/event.h"

namespace mh {

// Splits a command line into program and arguments: words are separated by spaces and tabs;
// '...' keeps its text as it is; "..." keeps its text with \" and \\ unescaped; outside quotes a
// backslash takes the next character literally.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// A program run as a child process with its standard input, output and error on pipes.
//
// Two reader threads deliver what the child writes to standard output and standard error, in
// chunks as they arrive (a chunk holds at most kChunkSize bytes and is not aligned to lines); a
// watcher thread notices when the child ends. stop() ends the child and every thread and closes
// every descriptor, whether the child is still running, ignores SIGTERM or has already exited.
//
// The callbacks run on those threads (the output and error callbacks may run at the same time),
// so whatever they touch must be safe to use from there. An owner must call stop() before
// anything its callbacks use is destroyed; the destructor stops too, as a last resort.
class ChildProcess {
 public:
  static constexpr size_t kChunkSize = 256;

  struct Callbacks {
    // On the starting thread, once the child runs, with the command line.
    std::function<void(const std::string& commandLine)> started;
    // Each chunk read from standard output; also "Unable to start %s\n" when the start fails.
    std::function<void(std::string_view chunk)> outputText;
    // Each chunk read from standard error.
    std::function<void(std::string_view chunk)> errorText;
    // Once per start, on the watcher thread, when the child has ended (by itself or by stop).
    std::function<void()> ended;
  };

  ChildProcess() = default;
  explicit ChildProcess(Callbacks callbacks) : callbacks_(std::move(callbacks)) {}
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Replaces the callbacks; only while no child was started (or after stop).
  void setCallbacks(Callbacks callbacks);
  // How long stop waits after SIGTERM before it sends SIGKILL.
  void setTerminateWait(std::chrono::milliseconds wait) { terminateWait_ = wait; }

  // Starts the command line (split as splitCommandLine does; the program is looked up on PATH)
  // in a process group of its own. A child started earlier is stopped first. On failure the
  // output callback receives "Unable to start %s\n" with the command line, nothing is left open
  // and the result is false.
  bool start(const std::string& commandLine);

  // Writes all of the text to the child's standard input. An empty text or no child writes
  // nothing; write errors (the child has gone) are ignored and never raise SIGPIPE.
  void write(std::string_view text);

  // True from a successful start until the child has ended.
  bool isRunning() const { return running_.load(); }

  // The child's process id while started, else -1.
  pid_t pid() const;

  // Ends the child (SIGTERM to its process group, SIGKILL after the terminate wait), reaps it,
  // lets the readers deliver what was already written, joins all three threads and closes every
  // descriptor. Does nothing when nothing was started. Called from a callback, it only sends
  // SIGTERM; the owner's own stop (or the destructor) finishes the work.
  void stop();

 private:
  void readLoop(int fd, bool isError, Event& done);
  void watchLoop(pid_t pid);
  void closeDescriptors();
  void signalGroup(int sig);

  Callbacks callbacks_;
  std::chrono::milliseconds terminateWait_{1000};

  // Guards pid_ and reaped_: a signal is sent only while the child is not yet reaped, so its
  // process id cannot have been reused.
  mutable std::mutex processMutex_;
  pid_t pid_ = -1;
  bool reaped_ = true;

  std::atomic<bool> running_{false};
  std::atomic<bool> started_{false};  // the threads exist (until stop has joined them)
  Event exited_{Event::Mode::ManualReset};
  Event outputDone_{Event::Mode::ManualReset};
  Event errorDone_{Event::Mode::ManualReset};

  std::mutex writeMutex_;  // guards stdinFd_ against write and close at once
  int stdinFd_ = -1;
  int stdoutFd_ = -1;
  int stderrFd_ = -1;
  // Closing the write end wakes both readers out of their wait.
  int wakeRead_ = -1;
  int wakeWrite_ = -1;

  std::thread outputReader_;
  std::thread errorReader_;
  std::thread watcher_;
};

}  // namespace mh
