#include "process/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace mh {

namespace {

void closeFd(int& fd) {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

// Blocks SIGPIPE on the calling thread for its lifetime; a SIGPIPE raised meanwhile by a write to
// a closed pipe is taken back before the old mask returns.
class SigpipeGuard {
 public:
  SigpipeGuard() {
    sigemptyset(&pipeSet_);
    sigaddset(&pipeSet_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipeSet_, &oldMask_);
  }
  ~SigpipeGuard() {
    if (raised_ && !wasPending_) {
      timespec zero{};
      while (sigtimedwait(&pipeSet_, nullptr, &zero) < 0 && errno == EINTR) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
  }
  void noteBrokenPipe() { raised_ = true; }

 private:
  sigset_t pipeSet_;
  sigset_t oldMask_;
  bool wasPending_ = false;
  bool raised_ = false;
};

// The ChildProcess whose reader or watcher runs on this thread, if any.
thread_local const ChildProcess* threadOwner = nullptr;

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c == '\'') {
      for (++i; i < line.size() && line[i] != '\''; ++i) word += line[i];
    } else if (c == '"') {
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) ++i;
        word += line[i];
      }
    } else if (c == '\\' && i + 1 < line.size()) {
      word += line[++i];
    } else {
      word += c;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

ChildProcess::~ChildProcess() { stop(); }

void ChildProcess::setCallbacks(Callbacks callbacks) {
  if (!started_.load()) callbacks_ = std::move(callbacks);
}

pid_t ChildProcess::pid() const {
  std::lock_guard lock(processMutex_);
  return pid_;
}

bool ChildProcess::start(const std::string& commandLine) {
  stop();
  std::vector<std::string> words = splitCommandLine(commandLine);

  int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1}, wake[2] = {-1, -1};
  bool ok = !words.empty() && ::pipe2(in, O_CLOEXEC) == 0 && ::pipe2(out, O_CLOEXEC) == 0 &&
            ::pipe2(err, O_CLOEXEC) == 0 && ::pipe2(wake, O_CLOEXEC) == 0;

  pid_t pid = -1;
  if (ok) {
    // Every end is close-on-exec; dup2 onto 0, 1 and 2 gives the child its three ends without
    // that flag, so no other descriptor of this process leaks into it.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD}) sigaddset(&defaults, sig);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    ok = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
  }

  // The child's ends belong to the child alone now.
  closeFd(in[0]);
  closeFd(out[1]);
  closeFd(err[1]);
  if (!ok) {
    closeFd(in[1]);
    closeFd(out[0]);
    closeFd(err[0]);
    closeFd(wake[0]);
    closeFd(wake[1]);
    if (callbacks_.outputText) callbacks_.outputText("Unable to start " + commandLine + "\n");
    return false;
  }

  {
    std::lock_guard lock(processMutex_);
    pid_ = pid;
    reaped_ = false;
  }
  {
    std::lock_guard lock(writeMutex_);
    stdinFd_ = in[1];
  }
  stdoutFd_ = out[0];
  stderrFd_ = err[0];
  wakeRead_ = wake[0];
  wakeWrite_ = wake[1];
  exited_.reset();
  outputDone_.reset();
  errorDone_.reset();
  running_.store(true);
  started_.store(true);

  outputReader_ = std::thread([this, fd = stdoutFd_] { readLoop(fd, false, outputDone_); });
  errorReader_ = std::thread([this, fd = stderrFd_] { readLoop(fd, true, errorDone_); });
  watcher_ = std::thread([this, pid] { watchLoop(pid); });
  if (callbacks_.started) callbacks_.started(commandLine);
  return true;
}

void ChildProcess::readLoop(int fd, bool isError, Event& done) {
  threadOwner = this;
  const auto& deliver = isError ? callbacks_.errorText : callbacks_.outputText;
  char buffer[kChunkSize];
  for (;;) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents != 0) break;  // stop() gave up waiting for the end of the output
    if (fds[0].revents == 0) continue;
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      if (deliver) deliver(std::string_view(buffer, static_cast<size_t>(n)));
    } else if (n == 0) {
      break;  // every writer has closed its end
    } else if (errno != EINTR && errno != EAGAIN) {
      break;
    }
  }
  done.set();
}

void ChildProcess::watchLoop(pid_t pid) {
  threadOwner = this;
  // Wait without reaping, so that the process id stays ours while stop() may still signal it.
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
  }
  {
    std::lock_guard lock(processMutex_);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) < 0 && errno == EINTR) {
    }
    reaped_ = true;
  }
  running_.store(false);
  exited_.set();
  if (callbacks_.ended) callbacks_.ended();
}

void ChildProcess::write(std::string_view text) {
  if (text.empty()) return;
  std::lock_guard lock(writeMutex_);
  if (stdinFd_ < 0) return;
  SigpipeGuard guard;
  while (!text.empty()) {
    ssize_t n = ::write(stdinFd_, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EPIPE) guard.noteBrokenPipe();
      return;
    }
    text.remove_prefix(static_cast<size_t>(n));
  }
}

void ChildProcess::signalGroup(int sig) {
  std::lock_guard lock(processMutex_);
  if (reaped_) return;
  if (::kill(-pid_, sig) < 0) ::kill(pid_, sig);
}

void ChildProcess::stop() {
  if (!started_.load()) return;
  if (threadOwner == this) {
    // A callback cannot wait for its own thread: end the child and leave the rest to the owner.
    signalGroup(SIGTERM);
    return;
  }
  signalGroup(SIGTERM);
  if (!exited_.waitFor(terminateWait_)) signalGroup(SIGKILL);
  watcher_.join();

  // Let the readers deliver what the child wrote before it ended; a descendant that still holds
  // a pipe open must not keep them waiting, so after a short grace they are woken.
  auto grace = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
  (void)outputDone_.waitFor(std::chrono::duration_cast<std::chrono::milliseconds>(
      grace - std::chrono::steady_clock::now()));
  (void)errorDone_.waitFor(std::chrono::duration_cast<std::chrono::milliseconds>(
      grace - std::chrono::steady_clock::now()));
  closeFd(wakeWrite_);
  outputReader_.join();
  errorReader_.join();

  closeDescriptors();
  {
    std::lock_guard lock(processMutex_);
    pid_ = -1;
  }
  running_.store(false);
  started_.store(false);
}

void ChildProcess::closeDescriptors() {
  {
    std::lock_guard lock(writeMutex_);
    closeFd(stdinFd_);
  }
  closeFd(stdoutFd_);
  closeFd(stderrFd_);
  closeFd(wakeRead_);
  closeFd(wakeWrite_);
}

}  // namespace mh
