#include "support/scoped_log.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "process/log_file.h"

namespace mh::test {

ScopedLog::ScopedLog() {
  static std::atomic<int> counter{0};
  path_ = (std::filesystem::temp_directory_path() /
           ("mh-log-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".txt"))
              .string();
  std::filesystem::remove(path_);
  previous_ = LogFile::instance().path();
  LogFile::instance().setPath(path_);
}

ScopedLog::~ScopedLog() {
  LogFile::instance().setPath(previous_);
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

std::string ScopedLog::text() const {
  std::ifstream in(path_, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace mh::test
