// The functions a build and a hints look-up spend their time in, on positions of real games
// (the corpus's tygem-gb folder): cutting clusters, printing keys, finding a position under its
// symmetries in a warehouse library that holds changes in memory, and the hints of a position
// from libraries opened from their files.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "model/board.h"
#include "model/board_transform.h"
#include "patterns/file_game_loader.h"
#include "patterns/key_print.h"
#include "patterns/library_adders.h"
#include "patterns/pattern_hints.h"
#include "patterns/pattern_library.h"
#include "platform/collection_listing.h"
#include "shapes/local_position.h"

namespace {

using mh::Board;
using mh::GameRecord;
using mh::PatternLibrary;

constexpr int kLibraryGames = 300;  // games in the libraries
constexpr int kQueryGames = 200;    // further games whose positions are looked up

std::string makeScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "moonhaven-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern;
}

struct Position {
  Board board;
  int side = 0;
  mh::Point next = mh::kNoPoint;  // the move played from it
  mh::Point last = mh::kNoPoint;  // the move that led to it
};

// Positions before every 7th move up to move 150 of a game.
void takePositions(const GameRecord& record, std::vector<Position>& out) {
  Board board = record.initialPosition();
  mh::Point last = mh::kNoPoint;
  for (int i = 0; i < std::min(record.entryCount(), 150); ++i) {
    const mh::MoveEntry& e = record.entries()[static_cast<size_t>(i)];
    if (!e.hasMove()) continue;
    if (i % 7 == 6 && last >= 0) out.push_back({board, e.colour, e.point, last});
    if (e.point >= 0 && board.play(e.colour, e.point)) last = e.point;
  }
}

struct Corpus {
  std::vector<GameRecord> games;
  std::vector<int> winners;
  std::vector<Position> inLibrary;   // positions of the library's games
  std::vector<Position> elsewhere;   // positions of the query games
  std::vector<Position> midgame;     // 19 x 19 boards around move 120

  Corpus() {
    const mh::GameLoader load = mh::fileGameLoader();
    for (const std::string& path : mh::listCollectionFiles(MOONHAVEN_CORPUS "/tygem-gb/")) {
      if (games.size() >= static_cast<size_t>(kLibraryGames + kQueryGames)) break;
      GameRecord r;
      int winner = 0;
      if (!load(path, r, winner, nullptr) || r.width() != 19 || r.height() != 19) continue;
      games.push_back(std::move(r));
      winners.push_back(winner);
    }
    for (size_t g = 0; g < games.size(); ++g) {
      std::vector<Position> positions;
      takePositions(games[g], positions);
      for (const Position& p : positions) {
        if (p.board.snapshot().points.size() >= 100 && p.board.snapshot().points.size() <= 140)
          midgame.push_back(p);
      }
      auto& into = g < static_cast<size_t>(kLibraryGames) ? inLibrary : elsewhere;
      into.insert(into.end(), positions.begin(), positions.end());
    }
  }
  bool usable() const { return !midgame.empty() && !elsewhere.empty(); }
};

const Corpus& corpus() {
  static const Corpus c;
  return c;
}

#define NEED_CORPUS(state)                                                           \
  if (!corpus().usable()) {                                                          \
    (state).SkipWithError("no games in " MOONHAVEN_CORPUS "/tygem-gb (MOONHAVEN_CORPUS)"); \
    return;                                                                          \
  }

// The local adder's step: the cluster of the stone just played, whole (0) or cut off above 50
// stones (50), on boards of 100 to 140 stones.
void BM_ClusterAtMidgame(benchmark::State& state) {
  NEED_CORPUS(state);
  const auto& boards = corpus().midgame;
  const int maxStones = static_cast<int>(state.range(0));
  mh::LocalPosition out;
  size_t i = 0;
  for (auto _ : state) {
    const Position& p = boards[i++ % boards.size()];
    benchmark::DoNotOptimize(mh::clusterAt(p.board, p.last, 5, out, maxStones));
  }
}
BENCHMARK(BM_ClusterAtMidgame)->Arg(0)->Arg(50);

// The local hints' first step: the whole board cut into clusters.
void BM_ClustersMidgame(benchmark::State& state) {
  NEED_CORPUS(state);
  const auto& boards = corpus().midgame;
  mh::LocalPositionList out;
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(mh::clusters(boards[i++ % boards.size()].board, 5, out));
}
BENCHMARK(BM_ClustersMidgame);

std::vector<mh::BoardSnapshot> snapshotsOf(const std::vector<Position>& positions) {
  std::vector<mh::BoardSnapshot> out;
  for (const Position& p : positions) out.push_back(p.board.snapshot());
  return out;
}

void BM_KeyPrintOf(benchmark::State& state) {
  NEED_CORPUS(state);
  const auto snapshots = snapshotsOf(corpus().elsewhere);
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(mh::keyPrintOf(snapshots[i++ % snapshots.size()], 1));
}
BENCHMARK(BM_KeyPrintOf);

void BM_TurnedKeyPrint(benchmark::State& state) {
  NEED_CORPUS(state);
  const auto snapshots = snapshotsOf(corpus().elsewhere);
  size_t i = 0;
  std::uint64_t print = 0;
  for (auto _ : state) {
    const size_t k = i++;
    benchmark::DoNotOptimize(mh::turnedKeyPrint(snapshots[k % snapshots.size()], 1, static_cast<int>(k % 7), print));
  }
}
BENCHMARK(BM_TurnedKeyPrint);

// The global library of the library games in a warehouse with write-back on, as a build holds it
// after its global phase. Arg 0 looks up positions of those games turned by a symmetry (hits),
// arg 1 positions of other games (mostly misses once past the opening).
void BM_FindUnderSymmetriesWriteBack(benchmark::State& state) {
  NEED_CORPUS(state);
  const std::string dir = makeScratchDir();
  {
    PatternLibrary library;
    if (!library.createWarehouse(dir + "/g.aos") || !library.enableWriteBack(size_t{96} << 20)) std::abort();
    for (int g = 0; g < kLibraryGames && g < static_cast<int>(corpus().games.size()); ++g)
      (void)mh::addRecordToGlobalLibrary(library, corpus().games[static_cast<size_t>(g)],
                                         corpus().winners[static_cast<size_t>(g)], g);
    std::vector<std::pair<mh::BoardSnapshot, int>> queries;
    const auto& from = state.range(0) == 0 ? corpus().inLibrary : corpus().elsewhere;
    for (size_t k = 0; k < from.size(); ++k) {
      if (from[k].board.snapshot().points.size() > 50) continue;  // the global library's range
      mh::BoardSnapshot turned;
      if (!mh::BoardTransform(static_cast<int>(k % 7), 19, 19).mapSnapshot(from[k].board.snapshot(), turned)) continue;
      queries.emplace_back(std::move(turned), from[k].side);
    }
    size_t i = 0;
    int kind = -1;
    for (auto _ : state) {
      const auto& q = queries[i++ % queries.size()];
      benchmark::DoNotOptimize(library.findUnderSymmetries(q.first, q.second, kind));
    }
    state.counters["entries"] = library.entryCount();
  }
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_FindUnderSymmetriesWriteBack)->Arg(0)->Arg(1);

// A library built in memory, written as data and index files and opened from them in index mode.
void openIndexed(PatternLibrary& memory, PatternLibrary& indexed, const std::string& stem) {
  if (!memory.writeData(stem)) std::abort();
  PatternLibrary scan;
  if (!scan.openData(stem) || !scan.writeIndex(stem + "_") || !indexed.openIndex(stem + "_", stem)) std::abort();
}

// A room's hints for a position: the global look-up under the symmetries plus the local one of
// every cluster, on libraries of the library games opened from their files, for positions of
// other games.
void BM_HintsIndexMode(benchmark::State& state) {
  NEED_CORPUS(state);
  const std::string dir = makeScratchDir();
  {
    PatternLibrary global;
    PatternLibrary local;
    for (int g = 0; g < kLibraryGames && g < static_cast<int>(corpus().games.size()); ++g) {
      const auto& r = corpus().games[static_cast<size_t>(g)];
      const int winner = corpus().winners[static_cast<size_t>(g)];
      (void)mh::addRecordToGlobalLibrary(global, r, winner, g);
      (void)mh::addRecordToLocalLibrary(local, r, winner, g);
    }
    PatternLibrary globalIndexed;
    PatternLibrary localIndexed;
    openIndexed(global, globalIndexed, dir + "/b.wp2");
    openIndexed(local, localIndexed, dir + "/b.lb");
    const auto& queries = corpus().elsewhere;
    size_t i = 0;
    size_t hints = 0;
    for (auto _ : state) {
      const Position& p = queries[i++ % queries.size()];
      const auto g = mh::globalHints(globalIndexed, p.board, p.side);
      const auto l = mh::localHints(localIndexed, p.board, p.side);
      hints += g.hints.size() + l.hints.size();
    }
    state.counters["hints_per_query"] = benchmark::Counter(static_cast<double>(hints) / static_cast<double>(i));
  }
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_HintsIndexMode)->Unit(benchmark::kMicrosecond);

}  // namespace
