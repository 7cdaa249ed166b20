#include "patterns/pattern_base_build.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "patterns/build_report.h"
#include "patterns/library_adders.h"
#include "patterns/wpb.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::ScratchDir;

// Record files for the fake loader: "winner;p,p,p..." with moves alternating from black.
bool fakeLoad(const std::string& path, GameRecord& record, int& winner, ParseError*) {
  const Bytes bytes = test::readFileBytes(path);
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  char sep = 0;
  if (!(in >> winner >> sep) || sep != ';') return false;
  record.resetTo19();
  for (int p = 0, i = 0; in >> p; ++i) {
    record.appendMove(i % 2 == 0 ? Black : White, p);
    in >> sep;
  }
  return true;
}

std::string gameText(int winner, const std::vector<int>& moves) {
  std::string s = std::to_string(winner) + ";";
  for (int p : moves) s += std::to_string(p) + ",";
  return s;
}

// Six games that share openings (some mirrored), so entries gather several candidates.
std::vector<std::string> sampleGames() {
  return {gameText(1, {60, 300, 72, 288, 61, 62, 80}),  gameText(2, {72, 288, 60, 300, 100, 101}),
          gameText(0, {60, 300, 64, 65, 66, 67, 68}),   gameText(2, {60, 288, 72, 300, 61, 79, 98}),
          gameText(1, {180, 60, 300, 2, 4, 6, 8, 10}),  gameText(1, {60, 300, 72, 288, 61, 62, 81})};
}

struct Collection {
  ScratchDir dir;
  std::string records() const { return dir.path() + "/records/"; }
  std::string home() const { return dir.path() + "/home/"; }

  Collection() {
    std::filesystem::create_directories(home());
    const auto games = sampleGames();
    for (size_t i = 0; i < games.size(); ++i) add((i < 3 ? "a/" : "b/") + std::to_string(i) + ".sgf", games[i]);
  }
  void add(const std::string& name, const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(records() + name).parent_path());
    ASSERT_TRUE(test::writeFileBytes(records() + name, Bytes(text.begin(), text.end())));
  }
  BuildRequest request(int gamesPerPhase = -1) const {
    BuildRequest r;
    r.recordDirectory = records();
    r.filePrefix = home() + "base";
    r.gamesPerPhase = gamesPerPhase;
    r.load = fakeLoad;
    return r;
  }
  Bytes file(const char* ext) const { return test::readFileBytes(home() + "base." + ext); }
};

BuildResult build(const BuildRequest& request, int runFlag = 1) {
  BuildProgress progress;
  std::atomic<int> flag{runFlag};
  return buildPatternBase(request, progress, flag);
}

// Every entry of the finished library in the files with the given extensions.
std::vector<PatternEntry> entriesOf(const Collection& c, const char* index, const char* data) {
  PatternLibrary library;
  EXPECT_TRUE(library.openIndex(c.home() + "base." + index, c.home() + "base." + data));
  std::vector<PatternEntry> out(static_cast<size_t>(library.entryCount()));
  for (int n = 0; n < library.entryCount(); ++n) EXPECT_TRUE(library.readEntry(n, out[static_cast<size_t>(n)]));
  return out;
}

TEST(PatternBaseBuildTest, FinishedLibrariesHoldWhatTheAddersRecord) {
  Collection c;
  const BuildResult r = build(c.request());
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.completed());
  EXPECT_EQ(r.indexCount, 6);
  EXPECT_EQ(r.global.gamesAdded, 6);
  EXPECT_EQ(r.local.gamesAdded, 6);

  // The same games added one by one, in index order, to memory libraries.
  PatternLibrary global;
  PatternLibrary local;
  GameIndex index;
  ASSERT_TRUE(index.read(c.home() + "base.idx", c.records()));
  for (int g = 0; g < index.count(); ++g) {
    (void)addGameToGlobalLibrary(global, index, g, fakeLoad);
    (void)addGameToLocalLibrary(local, index, g, fakeLoad);
  }
  const auto globalFiles = entriesOf(c, "wp2_", "wp2");
  const auto localFiles = entriesOf(c, "lb_", "lb");
  ASSERT_EQ(static_cast<int>(globalFiles.size()), global.entryCount());
  ASSERT_EQ(static_cast<int>(localFiles.size()), local.entryCount());
  EXPECT_EQ(r.global.entries, global.entryCount());
  for (int n = 0; n < global.entryCount(); ++n) EXPECT_EQ(*global.entryAt(n), globalFiles[static_cast<size_t>(n)]);
  for (int n = 0; n < local.entryCount(); ++n) EXPECT_EQ(*local.entryAt(n), localFiles[static_cast<size_t>(n)]);

  GameIndex done;
  EXPECT_TRUE(done.read(c.home() + "base.wp2.aos.idx", c.records()));
  EXPECT_EQ(done.entries(), index.entries());
}

TEST(PatternBaseBuildTest, BuildInChunksEndsWithTheSameFiles) {
  Collection whole;
  ASSERT_TRUE(build(whole.request()).completed());

  Collection chunked;
  int runs = 0;
  for (bool done = false; !done && runs < 10; ++runs) {
    const BuildResult r = build(chunked.request(2));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_LE(r.global.gamesAdded, 2);
    done = r.completed();
  }
  EXPECT_EQ(runs, 3);
  for (const char* ext : {"idx", "wp2", "wp2_", "lb", "lb_", "wp2.aos.idx", "lb.aos.idx"})
    EXPECT_EQ(chunked.file(ext), whole.file(ext)) << ext;
}

TEST(PatternBaseBuildTest, StoppedBuildWritesConsistentFilesAndContinuesLater) {
  Collection c;
  const BuildResult stopped = build(c.request(), 0);
  ASSERT_TRUE(stopped.ok);
  EXPECT_FALSE(stopped.completed());
  EXPECT_EQ(stopped.indexCount, 0);
  EXPECT_EQ(entriesOf(c, "wp2_", "wp2").size(), 0u);

  const BuildResult resumed = build(c.request());
  EXPECT_TRUE(resumed.completed());
  Collection fresh;
  ASSERT_TRUE(build(fresh.request()).completed());
  EXPECT_EQ(c.file("wp2"), fresh.file("wp2"));
  EXPECT_EQ(c.file("lb"), fresh.file("lb"));
}

TEST(PatternBaseBuildTest, LostDoneListStartsTheLibraryAgainInsteadOfCountingTwice) {
  Collection c;
  ASSERT_TRUE(build(c.request()).completed());
  const Bytes full = c.file("wp2");
  std::filesystem::remove(c.home() + "base.wp2.aos.idx");
  const BuildResult again = build(c.request());
  EXPECT_EQ(again.global.gamesAdded, 6);
  EXPECT_EQ(again.local.gamesAdded, 0);
  EXPECT_EQ(c.file("wp2"), full);

  // A lost warehouse likewise: the done list no longer counts.
  std::filesystem::remove(c.home() + "base.lb.aos");
  EXPECT_EQ(build(c.request()).local.gamesAdded, 6);
}

TEST(PatternBaseBuildTest, MissingCollectionGivesEmptyIndexAndLibraries) {
  Collection c;
  std::filesystem::remove_all(c.records());
  const BuildResult r = build(c.request());
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.completed());
  EXPECT_EQ(r.indexCount, 0);
  EXPECT_EQ(r.global.entries, 0);
  EXPECT_EQ(r.local.entries, 0);
  EXPECT_EQ(entriesOf(c, "lb_", "lb").size(), 0u);
}

TEST(PatternBaseBuildTest, SwitchesChooseThePhases) {
  Collection c;
  BuildRequest onlyIndex = c.request();
  onlyIndex.buildGlobal = false;
  onlyIndex.buildLocal = false;
  const BuildResult r1 = build(onlyIndex);
  EXPECT_EQ(r1.indexCount, 6);
  EXPECT_FALSE(r1.global.ran);
  EXPECT_FALSE(std::filesystem::exists(c.home() + "base.wp2"));

  // Without the index switch the stored index is used as it is, new files or not.
  c.add("c/new.sgf", gameText(1, {60}));
  BuildRequest noIndex = c.request();
  noIndex.updateIndex = false;
  noIndex.buildLocal = false;
  const BuildResult r2 = build(noIndex);
  EXPECT_EQ(r2.indexCount, 6);
  EXPECT_EQ(r2.global.gamesAdded, 6);
  EXPECT_FALSE(std::filesystem::exists(c.home() + "base.lb"));
}

TEST(PatternBaseBuildTest, UnwritableHomeIsAnError) {
  Collection c;
  BuildRequest r = c.request();
  r.filePrefix = c.home() + "missing/base";
  const BuildResult result = build(r);
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(result.error, ::testing::HasSubstr("missing/base.idx"));
}

// A warehouse failure names the file it failed on once: the warehouse's own error already names
// it (a later volume of a split warehouse included), and only an error without a file gets the
// warehouse's first file.
TEST(PatternBaseBuildTest, WarehouseFailureNamesTheFailingFileOnce) {
  const std::string w = "/home/b/base.lb.aos";
  const struct {
    std::string why;
    std::string expected;
  } cases[] = {
      {w + ": write: No space left on device", "cannot write /home/b/base.lb.aos: write: No space left on device"},
      {w + ".2: write: File too large", "cannot write /home/b/base.lb.aos.2: write: File too large"},
      {"entry 12 has no binary form", "cannot write /home/b/base.lb.aos: entry 12 has no binary form"},
      {"", "cannot write /home/b/base.lb.aos"},
  };
  for (const auto& c : cases) EXPECT_EQ(warehouseFailureText("write", w, c.why), c.expected) << c.why;
  EXPECT_EQ(warehouseFailureText("read", w, w + ": read: Input/output error"),
            "cannot read /home/b/base.lb.aos: read: Input/output error");
}

TEST(PatternBaseBuildTest, SummaryReportsEveryPhaseAndSkippedPhasesKeepTheirCounts) {
  Collection c;
  const BuildResult first = build(c.request());
  BuildRequest onlyLocal = c.request();
  onlyLocal.updateIndex = false;
  onlyLocal.buildGlobal = false;
  const BuildResult second = build(onlyLocal);
  EXPECT_EQ(buildSummary(second), "index 6\nglobal " + std::to_string(first.global.entries) +
                                      " entries, 0 games added\nlocal " + std::to_string(first.local.entries) +
                                      " entries, 0 games added\n");
}

TEST(BuildReportTest, ProgressLineShowsPhaseCountsAndBar) {
  struct Case {
    int phase, total, current, bar;
    const char* line;
  } cases[] = {
      {0, 2000, 500, 0, "index 500/2000"},
      {1, 40, 10, 8, "[##......] global 10/40"},
      {2, 0, 0, 4, "[....] local 0/0"},
      {2, 5, 9, 4, "[####] local 9/5"},
  };
  for (const auto& c : cases) EXPECT_EQ(buildProgressLine(c.phase, c.total, c.current, c.bar), c.line);
}

TEST(WpbTest, OpenForHintsReadsTheBuiltFilesAndCloseDropsThem) {
  Collection c;
  Wpb wpb("title", c.records(), "base", c.home());
  EXPECT_EQ(wpb.filePath("wp2_"), c.home() + "base.wp2_");
  wpb.openForHints();  // nothing built yet: open, but empty
  EXPECT_TRUE(wpb.isOpen());
  EXPECT_EQ(wpb.gameIndex().count(), 0);
  EXPECT_EQ(wpb.globalLibrary().entryCount(), 0);

  const BuildResult r = build(c.request());
  wpb.close();
  wpb.openForHints();
  EXPECT_EQ(wpb.gameIndex().count(), 6);
  EXPECT_EQ(wpb.gameIndex().pathOf(0), c.records() + "a/0.sgf");
  EXPECT_EQ(wpb.globalLibrary().entryCount(), r.global.entries);
  EXPECT_EQ(wpb.localLibrary().entryCount(), r.local.entries);
  PatternEntry empty;
  EXPECT_TRUE(wpb.globalLibrary().findWithSymmetries(Board().snapshot(), Black, empty));

  wpb.close();
  EXPECT_FALSE(wpb.isOpen());
  EXPECT_EQ(wpb.gameIndex().count(), 0);
  EXPECT_EQ(wpb.globalLibrary().entryCount(), 0);
}

}  // namespace
}  // namespace mh
