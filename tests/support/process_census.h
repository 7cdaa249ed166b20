#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace mh::test {

// What this process holds open: descriptors, threads and child processes (zombies included), for
// tests that check a stop leaves nothing behind.
size_t openDescriptors();
size_t liveThreads();
std::vector<pid_t> childProcesses();

// A census taken now, compared later. A joined thread can linger in /proc/self/task, a killed
// child in the process table and a stopped GNU Go in its half-second quit wait for seconds on a
// loaded machine, so the comparisons give the counts up to the settle time to come back: a
// generous one, since a sound run returns as soon as they are back, and a leak stays and fails.
struct Census {
  size_t descriptors = openDescriptors();
  size_t threads = liveThreads();
  size_t children = childProcesses().size();

  // True when the counts are back to this census within settle.
  bool restored(std::chrono::milliseconds settle = std::chrono::seconds(30)) const;
  // The counts as "descriptors D, threads T, children C", for a failure's message.
  std::string text() const;

  // A census taken once the counts have held still for quiet (or limit has passed), so that what
  // was still ending when it was asked for (a joined thread, a reaped child) is not counted as
  // there to stay.
  static Census settled(std::chrono::milliseconds quiet = std::chrono::milliseconds(300),
                        std::chrono::milliseconds limit = std::chrono::seconds(10));
};

}  // namespace mh::test
