#include "support/watchdog.h"

#include <cstdio>
#include <cstdlib>

namespace mh::test {

Watchdog::Watchdog(std::chrono::milliseconds limit, std::string what)
    : thread_([this, limit, what = std::move(what)] {
        if (done_.waitFor(limit)) return;
        std::fprintf(stderr, "watchdog: %s did not finish within %lld ms\n", what.c_str(),
                     static_cast<long long>(limit.count()));
        std::fflush(stderr);
        std::abort();
      }) {}

Watchdog::~Watchdog() {
  done_.set();
  thread_.join();
}

}  // namespace mh::test
