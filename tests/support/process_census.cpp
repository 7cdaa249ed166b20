#include "support/process_census.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace mh::test {

namespace {

namespace fs = std::filesystem;

size_t countEntries(const char* dir) {
  size_t n = 0;
  std::error_code ec;
  for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) ++n;
  return n;
}

}  // namespace

size_t openDescriptors() { return countEntries("/proc/self/fd"); }

size_t liveThreads() { return countEntries("/proc/self/task"); }

std::vector<pid_t> childProcesses() {
  std::vector<pid_t> children;
  const pid_t self = ::getpid();
  std::error_code ec;
  for (auto it = fs::directory_iterator("/proc", ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(it->path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // "pid (comm) state ppid ...": the command may hold blanks, so read after its ")".
    const size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 1));
    std::string state;
    pid_t parent = 0;
    if (rest >> state >> parent && parent == self) children.push_back(static_cast<pid_t>(std::stoi(name)));
  }
  return children;
}

bool Census::restored(std::chrono::milliseconds settle) const {
  const auto deadline = std::chrono::steady_clock::now() + settle;
  for (;;) {
    if (openDescriptors() == descriptors && liveThreads() == threads && childProcesses().size() == children) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string Census::text() const {
  return "descriptors " + std::to_string(descriptors) + ", threads " + std::to_string(threads) + ", children " +
         std::to_string(children);
}

Census Census::settled(std::chrono::milliseconds quiet, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  Census held;
  auto since = std::chrono::steady_clock::now();
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const Census now;
    const auto at = std::chrono::steady_clock::now();
    if (now.text() != held.text()) {
      held = now;
      since = at;
    }
    if (at - since >= quiet || at >= deadline) return held;
  }
}

}  // namespace mh::test
