#include "support/scoped_log.h"

#include "process/log_file.h"

namespace mh::test {

ScopedLog::ScopedLog() : previous_(LogFile::instance().path()) {
  LogFile::instance().setPath(dir_.file("log.txt"));
}

ScopedLog::~ScopedLog() { LogFile::instance().setPath(previous_); }

std::string ScopedLog::text() const {
  std::vector<std::uint8_t> bytes = readFileBytes(dir_.file("log.txt"));
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace mh::test
