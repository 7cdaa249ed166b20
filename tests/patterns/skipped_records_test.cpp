#include "patterns/skipped_records.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "patterns/file_game_loader.h"
#include "patterns/pattern_base_build.h"
#include "support/captured_log.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void writeText(const std::string& path, const std::string& text) {
  ASSERT_TRUE(test::writeFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()))) << path;
}

// A real build over a folder of two sound records and some that do not load: each of those is
// logged with where its reading stopped, up to the limit, and then counted in one line.
TEST(SkippedRecordLog, ABuildLogsEachRecordThatDoesNotLoadUpToTheLimit) {
  const struct {
    int brokenFiles;
    size_t fileLines;
    const char* summary;  // nullptr: none
  } table[] = {
      {0, 0, nullptr},
      {3, 3, nullptr},
      {SkippedRecordLog::kLineLimit, SkippedRecordLog::kLineLimit, nullptr},
      {SkippedRecordLog::kLineLimit + 7, SkippedRecordLog::kLineLimit, "skipped 7 more record files that do not load"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.brokenFiles);
    test::ScratchDir dir;
    const std::string records = dir.file("records/");
    std::filesystem::create_directories(records);
    writeText(records + "good1.sgf", "(;GM[1]SZ[19]PB[a]PW[b];B[pd];W[dp])");
    writeText(records + "good2.sgf", "(;GM[1]SZ[19]PB[c]PW[d];B[dd];W[pp];B[pq])");
    for (int i = 0; i < row.brokenFiles; ++i) {
      const std::string name = records + "broken" + std::to_string(100 + i);
      if (i % 3 == 0) writeText(name + ".sgf", "(;GM[1]SZ[19]\n;B[pd];W[d");  // cut off mid-move
      else if (i % 3 == 1) writeText(name + ".sgf", "(;GM[1]SZ[60];B[pd])");  // no game record
      else writeText(name + ".gib", "\\HS\n");
    }
    test::CapturedLog log;
    BuildRequest request;
    request.recordDirectory = records;
    request.filePrefix = dir.file("base");
    request.load = fileGameLoader();
    request.log = log.line();
    BuildProgress progress;
    std::atomic<int> run{1};
    const BuildResult result = buildPatternBase(request, progress, run);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.indexCount, 2) << "the sound records are built all the same";

    std::vector<std::string> fileLines;
    std::vector<std::string> summaries;
    for (const std::string& line : linesOf(log.text())) {
      if (line.rfind("skipped record file ", 0) == 0) fileLines.push_back(line);
      else if (line.rfind("skipped ", 0) == 0) summaries.push_back(line);
    }
    EXPECT_EQ(fileLines.size(), row.fileLines) << log.text();
    EXPECT_EQ(summaries, row.summary ? std::vector<std::string>{row.summary} : std::vector<std::string>{}) << log.text();
    if (row.brokenFiles > 0) {
      const std::string cut = records + "broken100.sgf: line 2, column ";
      EXPECT_NE(log.text().find(cut), std::string::npos) << "the file and the place where its reading stopped\n"
                                                          << log.text();
    }
    for (const std::string& line : fileLines) {
      EXPECT_EQ(line.find("good"), std::string::npos) << line;
      EXPECT_GT(line.size(), line.find(": ") + 2) << "a reason: " << line;
    }
  }
}

}  // namespace
}  // namespace mh
