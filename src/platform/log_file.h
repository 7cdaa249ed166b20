#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/log_line.h"

namespace mh {

// A text log that any thread may append to. Appends are serialised by one lock, so lines from
// different threads never interleave. The file is opened for each append and closed again, and
// it starts again empty once it has grown beyond the size limit.
class LogFile {
 public:
  static constexpr std::int64_t kDefaultSizeLimit = 5120000;

  explicit LogFile(std::string path, std::int64_t sizeLimit = kDefaultSizeLimit);
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // The program's log: "log.txt" in the program's directory. A program opens it once and hands
  // the components that log a writer() of it.
  static constexpr const char* kProgramLogName = "log.txt";

  // A LogLine that appends time-stamped lines to the file; it shares the file's ownership, so a
  // thread left running may still log after the program let go of it.
  static LogLine writer(std::shared_ptr<LogFile> file);

  // Appends "Y-MM-DD hh:mm:ss(ticks), text\r\n" with the local time and the milliseconds since
  // the system started.
  void writeLine(std::string_view text);
  // Appends the text as it is.
  void writeRaw(std::string_view text);

  const std::string& path() const { return path_; }

  // The line writeLine would append for this text at the given broken-down local time.
  static std::string formatLine(int year, int month, int day, int hour, int minute, int second,
                                std::int32_t ticks, std::string_view text);

 private:
  void append(std::string_view bytes);

  std::mutex mutex_;
  const std::string path_;
  std::int64_t sizeLimit_;
  // Whether the file stays open between appends; off, so that other programs can read it.
  bool keepOpen_ = false;
  std::FILE* file_ = nullptr;
};

}  // namespace mh
