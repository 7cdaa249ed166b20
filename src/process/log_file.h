#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

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

  // The process-wide log, "log.txt" in the current directory.
  static LogFile& instance();

  // Appends "Y-MM-DD hh:mm:ss(ticks), text\r\n" with the local time and the milliseconds since
  // the system started.
  void writeLine(std::string_view text);
  // Appends the text as it is.
  void writeRaw(std::string_view text);

  // Points the log at another file (tests, another working directory); later appends go there.
  void setPath(std::string path);
  std::string path() const;

  // The line writeLine would append for this text at the given broken-down local time.
  static std::string formatLine(int year, int month, int day, int hour, int minute, int second,
                                std::int32_t ticks, std::string_view text);

 private:
  void append(std::string_view bytes);

  mutable std::mutex mutex_;
  std::string path_;
  std::int64_t sizeLimit_;
  // Whether the file stays open between appends; off, so that other programs can read it.
  bool keepOpen_ = false;
  std::FILE* file_ = nullptr;
};

}  // namespace mh
