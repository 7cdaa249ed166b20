#include "platform/log_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using mh::LogFile;

class LogFileTest : public ::testing::Test {
 protected:
  std::string path(const char* name = "log.txt") const { return dir_.file(name); }

  static std::string contents(const std::string& p) {
    std::vector<std::uint8_t> bytes = mh::test::readFileBytes(p);
    return std::string(bytes.begin(), bytes.end());
  }

  mh::test::ScratchDir dir_;
};

const std::regex kLine(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\(-?\d+\), (.*)\r)");

TEST_F(LogFileTest, FormatsLinesWithZeroPaddedFields) {
  struct Case {
    int y, mo, d, h, mi, s;
    std::int32_t ticks;
    const char* text;
    const char* expected;
  } cases[] = {
      {2026, 1, 5, 3, 4, 5, 1234, "hello", "2026-01-05 03:04:05(1234), hello\r\n"},
      {1999, 12, 31, 23, 59, 59, -7, "", "1999-12-31 23:59:59(-7), \r\n"},
      {2024, 2, 29, 0, 0, 0, 0, "\xC6\xE5 100%s", "2024-02-29 00:00:00(0), \xC6\xE5 100%s\r\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LogFile::formatLine(c.y, c.mo, c.d, c.h, c.mi, c.s, c.ticks, c.text), c.expected) << c.text;
}

TEST_F(LogFileTest, AppendsTimeStampedLinesAndRawText) {
  LogFile log(path());
  log.writeLine("CanCapture 12 ms");
  log.writeRaw("raw\n");
  log.writeRaw("");
  log.writeLine("second");
  std::istringstream in(contents(path()));
  std::string line;
  std::vector<std::string> texts;
  while (std::getline(in, line)) {
    std::smatch m;
    if (std::regex_match(line, m, kLine))
      texts.push_back(m[1]);
    else
      texts.push_back("raw:" + line);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"CanCapture 12 ms", "raw:raw", "second"}));
}

TEST_F(LogFileTest, StartsAgainOnlyWhenLongerThanTheLimit) {
  struct Case {
    std::int64_t existing;
    bool truncated;
  } cases[] = {{LogFile::kDefaultSizeLimit + 1, true}, {LogFile::kDefaultSizeLimit, false}, {0, false}};
  for (const auto& c : cases) {
    std::string p = path();
    {
      std::ofstream out(p, std::ios::binary | std::ios::trunc);
      out << std::string(static_cast<size_t>(c.existing), 'x');
    }
    LogFile log(p);
    log.writeLine("after");
    std::string text = contents(p);
    std::string tail = text.substr(static_cast<size_t>(c.truncated ? 0 : c.existing));
    EXPECT_TRUE(std::regex_match(tail, std::regex(R"(\d{4}-.*, after\r\n)"))) << c.existing;
    EXPECT_EQ(text.size(), c.truncated ? tail.size() : static_cast<size_t>(c.existing) + tail.size());
  }
}

TEST_F(LogFileTest, MissingDirectoryIsIgnored) {
  LogFile log(path("no/such/dir/log.txt"));
  log.writeLine("lost");
  log.writeRaw("lost");
  EXPECT_FALSE(fs::exists(path("no")));
}

TEST_F(LogFileTest, LinesFromManyThreadsNeverInterleave) {
  LogFile log(path());
  constexpr int kThreads = 4, kLines = 150;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&log, t] {
      for (int i = 0; i < kLines; ++i)
        log.writeLine("thread " + std::to_string(t) + " line " + std::to_string(i) + std::string(40, '.'));
    });
  for (auto& th : threads) th.join();
  std::istringstream in(contents(path()));
  std::string line;
  std::vector<int> next(kThreads, 0);
  int count = 0;
  const std::regex body(R"(thread (\d) line (\d+)\.{40})");
  while (std::getline(in, line)) {
    std::smatch m, b;
    ASSERT_TRUE(std::regex_match(line, m, kLine)) << line;
    std::string text = m[1];
    ASSERT_TRUE(std::regex_match(text, b, body)) << line;
    int t = std::stoi(b[1]);
    EXPECT_EQ(std::stoi(b[2]), next[static_cast<size_t>(t)]++);  // each thread's lines in order
    ++count;
  }
  EXPECT_EQ(count, kThreads * kLines);
}

}  // namespace
