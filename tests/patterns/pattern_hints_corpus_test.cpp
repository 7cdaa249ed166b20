#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "model/board_transform.h"
#include "patterns/file_game_loader.h"
#include "patterns/pattern_base_build.h"
#include "patterns/pattern_hints.h"
#include "records/position_report.h"
#include "records/record_loader.h"
#include "support/corpus_pattern_base.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

namespace fs = std::filesystem;

const std::string kCorpus = MOONHAVEN_CORPUS;

// The hints of a library built from real games: 500 records of the GB collection.
class HintsFromRealGames : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path source = fs::path(kCorpus) / "tygem-gb" / "25";
    if (!fs::exists(source)) GTEST_SKIP() << "no corpus at " << kCorpus;
    BuildRequest request;
    const BuildResult built = test::buildCorpusPatternBase(source.string(), 500, scratch_.path(), request);
    records_ = request.recordDirectory;
    ASSERT_TRUE(built.ok) << built.error;
    ASSERT_TRUE(index_.read(request.filePrefix + ".idx", records_));
    ASSERT_TRUE(global_.openIndex(request.filePrefix + ".wp2_", request.filePrefix + ".wp2"));
    ASSERT_TRUE(local_.openIndex(request.filePrefix + ".lb_", request.filePrefix + ".lb"));
  }

  test::ScratchDir scratch_;
  std::string records_;
  GameIndex index_;
  PatternLibrary global_;
  PatternLibrary local_;
};

TEST_F(HintsFromRealGames, EmptyBoardListsTheFirstMovesOfEveryDecidedGame) {
  int decided = 0;
  for (const auto& e : index_.entries()) decided += e.winner() != 0;
  const HintList hints = globalHints(global_, Board(), Black);
  ASSERT_FALSE(hints.empty());
  EXPECT_EQ(hints.hints[0].label, "A");
  int played = 0;
  for (const auto& c : hints.entries[0].candidates) played += c.played;
  EXPECT_EQ(played, decided);
  for (size_t i = 1; i < hints.hints.size(); ++i)
    EXPECT_GE(hints.hints[i - 1].played, hints.hints[i].played) << "most played first";

  // Each occurrence of the top move names a game of the index and its first move.
  const auto occurrences = occurrencesOf(hints, hints.hints[0]);
  EXPECT_EQ(static_cast<int>(occurrences.size()), hints.hints[0].played);
  for (const auto& o : occurrences) {
    ASSERT_TRUE(index_.pathOf(o.game).has_value()) << o.game;
    EXPECT_EQ(o.move, 0);
  }
  EXPECT_TRUE(globalHints(global_, Board(), White).empty()) << "no game starts with White on an empty board";
}

// A position from a game, turned by each symmetry, gives the same hints at the turned points.
TEST_F(HintsFromRealGames, MirroredPositionsGiveMirroredHints) {
  GameRecord record;
  int resultCode = 0;
  const auto path = index_.pathOf(0);
  ASSERT_TRUE(path.has_value());
  ASSERT_EQ(loadRecordFile(*path, false, record, resultCode), RecordLoadStatus::Ok);
  const auto at = replayRecord(record, 12);
  ASSERT_TRUE(at.has_value());
  const HintList global = globalHints(global_, at->board, at->sideToMove);
  const HintList local = localHints(local_, at->board, at->sideToMove);
  ASSERT_FALSE(global.empty()) << "the game's own position is in the library";
  ASSERT_FALSE(local.empty());
  for (int kind = 0; kind < 7; ++kind) {
    const BoardTransform t(kind, 19, 19);
    Board turned;
    ASSERT_TRUE(t.mapBoard(at->board, turned));
    for (const auto& [expected, got] :
         {std::pair{global, globalHints(global_, turned, at->sideToMove)},
          std::pair{local, localHints(local_, turned, at->sideToMove)}}) {
      // Local clusters are numbered in the turned board's order, so compare as sets of moves.
      std::map<std::pair<Point, int>, int> want, have;
      for (const Hint& h : expected.hints) want[{t.mapPoint(h.point), h.wins}] += h.played;
      for (const Hint& h : got.hints) have[{h.point, h.wins}] += h.played;
      EXPECT_EQ(have, want) << "kind " << kind;
    }
  }
}

}  // namespace
}  // namespace mh
