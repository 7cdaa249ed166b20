#include "figures_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "model/board_transform.h"
#include "records/record_loader.h"
#include "records/sgf_file.h"
#include "support/scratch_dir.h"

namespace mh::figures {
namespace {

struct SummaryCase {
  const char* name;
  std::vector<double> samples;
  double median;
  double p99;
  double max;
};

TEST(FiguresSummary, MedianAndTailByNearestRank) {
  std::vector<double> hundred(100);
  std::iota(hundred.rbegin(), hundred.rend(), 1.0);  // 100 down to 1: the input need not be sorted
  std::vector<double> thousand(1000);
  std::iota(thousand.begin(), thousand.end(), 1.0);
  const SummaryCase cases[] = {
      {"none", {}, 0, 0, 0},
      {"one", {4.5}, 4.5, 4.5, 4.5},
      {"odd count", {3, 1, 2}, 2, 3, 3},
      {"even count takes the lower middle", {4, 1, 3, 2}, 2, 4, 4},
      {"hundred", hundred, 50, 99, 100},
      {"thousand", thousand, 500, 990, 1000},
      {"one slow outlier moves only the maximum", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                                    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                                    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                                    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                                    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 90},
       1, 1, 90},
  };
  for (const SummaryCase& c : cases) {
    const LatencySummary s = summarize(c.samples);
    EXPECT_EQ(s.count, c.samples.size()) << c.name;
    EXPECT_DOUBLE_EQ(s.median, c.median) << c.name;
    EXPECT_DOUBLE_EQ(s.p99, c.p99) << c.name;
    EXPECT_DOUBLE_EQ(s.max, c.max) << c.name;
  }
}

TEST(FiguresResident, ReadsTheVmRssLineOnly) {
  struct Case {
    const char* name;
    const char* text;
    std::optional<long long> kib;
  };
  const Case cases[] = {
      {"among other lines", "Name:\tx\nVmPeak:\t  999 kB\nVmRSS:\t    1234 kB\nRssAnon:\t 7 kB\n", 1234},
      {"spaces, last line without newline", "VmHWM: 5 kB\nVmRSS: 42 kB", 42},
      {"missing", "VmPeak:\t 10 kB\nVmHWM:\t 9 kB\n", std::nullopt},
      {"not a number", "VmRSS:\t kB\n", std::nullopt},
      {"absurdly long number", "VmRSS: 99999999999999999999999 kB\n", std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(residentKiBIn(c.text), c.kib) << c.name;
  const auto own = residentKiB();
  ASSERT_TRUE(own.has_value());
  EXPECT_GT(*own, 0);
}

// A 19 x 19 game in which black captures white's corner stone at move 4, white passes at move 5
// and white's move 7 is a suicide that does not go on the board.
GameRecord smallGame() {
  GameRecord r;
  r.appendMove(Black, 1);       // 0: b1
  r.appendMove(White, 0);       // 1: a1
  r.appendMove(Black, 40);      // 2: elsewhere
  r.appendMove(White, 50);      // 3: elsewhere
  r.appendMove(Black, 19);      // 4: a2 captures a1
  r.appendMove(White, kNoPoint);  // 5: pass
  r.appendMove(Black, 60);      // 6
  r.appendMove(White, 0);       // 7: a1 again, a suicide
  r.appendMove(Black, 70);      // 8
  return r;
}

TEST(FiguresPositions, TakesPositionsBeforeTheChosenMoves) {
  struct Case {
    const char* name;
    int every, offset, lastMove;
    size_t limit;
    std::vector<int> moveIndexes;  // positions expected: before these entries
  };
  const Case cases[] = {
      {"every third", 3, 0, 150, 100, {0, 3, 6}},
      {"offset shifts the sample", 3, 1, 150, 100, {2, 5, 8}},
      {"last move bounds it", 3, 0, 6, 100, {0, 3}},
      {"limit stops it", 1, 0, 150, 4, {0, 1, 2, 3}},
      {"every move", 1, 0, 150, 100, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
      {"no step", 0, 0, 150, 100, {}},
  };
  const GameRecord game = smallGame();
  for (const Case& c : cases) {
    std::vector<QueryPosition> out;
    EXPECT_EQ(takePositions(game, c.every, c.offset, c.lastMove, c.limit, out), c.moveIndexes.size()) << c.name;
    ASSERT_EQ(out.size(), c.moveIndexes.size()) << c.name;
    for (size_t k = 0; k < out.size(); ++k) {
      // The expected board: every earlier move played in order.
      Board expected = game.initialPosition();
      for (int i = 0; i < c.moveIndexes[k]; ++i) {
        const MoveEntry& e = game.entries()[static_cast<size_t>(i)];
        if (e.point >= 0) (void)expected.play(e.colour, e.point);
      }
      EXPECT_EQ(out[k].board, expected) << c.name << " position " << k;
      EXPECT_EQ(out[k].side, game.entries()[static_cast<size_t>(c.moveIndexes[k])].colour) << c.name;
    }
  }
  // The capture at move 4 is on the board of the position before move 5.
  std::vector<QueryPosition> all;
  takePositions(game, 1, 0, 150, 100, all);
  EXPECT_EQ(all[5].board.get(0), Empty);
  EXPECT_EQ(all[5].board.get(19), Black);
}

TEST(FiguresPositions, AppliesSetupStonesAndAppendsToWhatIsThere) {
  GameRecord r;
  MoveEntry setup;
  setup.flags = MoveEntry::kSetup;
  setup.blackSetup = {100, 101};
  setup.whiteSetup = {200};
  r.append(setup);
  r.appendMove(White, 300);
  std::vector<QueryPosition> out(1);
  EXPECT_EQ(takePositions(r, 1, 0, 150, 10, out), 1u);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[1].board.get(100), Black);
  EXPECT_EQ(out[1].board.get(200), White);
  EXPECT_EQ(out[1].side, White);
}

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<Point> movesOf(const GameRecord& r) {
  std::vector<Point> out;
  for (const MoveEntry& e : r.entries())
    if (e.hasMove()) out.push_back(e.point);
  return out;
}

TEST(FiguresTurnedCopies, WritesEightDistinctGamesUnderTheSymmetries) {
  test::ScratchDir dir;
  struct Case {
    const char* name;
    std::string text;
  };
  // PB holds GB bytes in the first file and UTF-8 (declared) in the second: both must read back as
  // the same GB name, so the copies must not keep a CA that no longer fits their bytes.
  const std::string gbName = "\xB9\xC5\xC1\xA6";          // GB for a two-character name
  const std::string utf8Name = "\xE5\x8F\xA4\xE5\x8A\x9B";  // the same name in UTF-8
  const Case cases[] = {
      {"GB text", "(;GM[1]SZ[19]PB[" + gbName + "]RE[B+R];B[pd];W[dp];B[qf](;W[tt];B[cc])(;W[aa]))"},
      {"UTF-8 text", "(;GM[1]CA[UTF-8]SZ[19]PB[" + utf8Name + "]RE[B+R];B[pd];W[dp];B[qf];W[tt];B[cc])"},
  };
  for (const Case& c : cases) {
    const std::string source = dir.file("game.sgf");
    writeText(source, c.text);
    GameRecord original;
    int winner = 0;
    ASSERT_EQ(loadRecordFile(source, false, original, winner), RecordLoadStatus::Ok) << c.name;
    EXPECT_EQ(original.info().blackName(), gbName) << c.name;
    ASSERT_EQ(writeTurnedCopies(source, dir.file("out")), 8) << c.name;

    std::set<std::vector<Point>> distinct;
    for (int copy = 0; copy < 8; ++copy) {
      GameRecord turned;
      const std::string path = dir.file("out.s" + std::to_string(copy) + ".sgf");
      ASSERT_EQ(loadRecordFile(path, false, turned, winner), RecordLoadStatus::Ok) << c.name << " " << copy;
      EXPECT_EQ(winner, 1) << c.name;
      EXPECT_EQ(turned.info().blackName(), original.info().blackName()) << c.name << " " << copy;
      const BoardTransform t(copy - 1, 19, 19);
      std::vector<Point> expected = movesOf(original);
      for (Point& p : expected)
        if (p >= 0) p = t.mapPoint(p);
      EXPECT_EQ(movesOf(turned), expected) << c.name << " copy " << copy;
      distinct.insert(movesOf(turned));
    }
    EXPECT_EQ(distinct.size(), 8u) << c.name;
  }
}

TEST(FiguresTurnedCopies, WritesNothingForAFileThatIsNotSgf) {
  test::ScratchDir dir;
  writeText(dir.file("bad.sgf"), "this is not a game record");
  EXPECT_EQ(writeTurnedCopies(dir.file("bad.sgf"), dir.file("out")), 0);
  EXPECT_EQ(writeTurnedCopies(dir.file("missing.sgf"), dir.file("out")), 0);
  std::ifstream written(dir.file("out.s0.sgf"));
  EXPECT_FALSE(written.good());
}

}  // namespace
}  // namespace mh::figures
