#include "platform/log_file.h"

#include <sys/stat.h>

#include <ctime>

namespace mh {

namespace {

// Milliseconds since the system started, as a 32-bit count (it wraps after about 49 days).
std::int32_t ticksSinceBoot() {
  timespec ts{};
  clock_gettime(CLOCK_BOOTTIME, &ts);
  auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

}  // namespace

LogFile::LogFile(std::string path, std::int64_t sizeLimit) : path_(std::move(path)), sizeLimit_(sizeLimit) {}

LogFile::~LogFile() {
  if (file_) std::fclose(file_);
}

LogLine LogFile::writer(std::shared_ptr<LogFile> file) {
  if (!file) return {};
  return [file = std::move(file)](std::string_view line) { file->writeLine(line); };
}

std::string LogFile::formatLine(int year, int month, int day, int hour, int minute, int second,
                                std::int32_t ticks, std::string_view text) {
  char head[80];
  std::snprintf(head, sizeof head, "%d-%02d-%02d %02d:%02d:%02d(%d), ", year, month, day, hour, minute,
                second, static_cast<int>(ticks));
  std::string line(head);
  line.append(text);
  line.append("\r\n");
  return line;
}

void LogFile::writeLine(std::string_view text) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  append(formatLine(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                    local.tm_sec, ticksSinceBoot(), text));
}

void LogFile::writeRaw(std::string_view text) {
  if (text.empty()) return;
  append(text);
}

void LogFile::append(std::string_view bytes) {
  std::lock_guard lock(mutex_);
  if (!file_) {
    file_ = std::fopen(path_.c_str(), "ab");
    if (!file_) return;
  }
  struct stat st {};
  if (fstat(fileno(file_), &st) == 0 && st.st_size > sizeLimit_) {
    std::fclose(file_);
    file_ = std::fopen(path_.c_str(), "wb");
    if (!file_) return;
  }
  std::fwrite(bytes.data(), 1, bytes.size(), file_);
  if (!keepOpen_) {
    std::fclose(file_);
    file_ = nullptr;
  } else {
    std::fflush(file_);
  }
}

}  // namespace mh
