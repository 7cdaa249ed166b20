// Look-up cost of a pattern library in memory and in index mode (entries on disk), and the cost
// of storing entries in warehouse mode.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "model/board.h"
#include "model/board_transform.h"
#include "patterns/pattern_library.h"

namespace {

using mh::BoardSnapshot;
using mh::PatternEntry;
using mh::PatternLibrary;

std::string makeScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "moonhaven-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern;
}

// Random positions shaped like library keys: a few to fifty stones, some candidates and a few
// occurrences each.
std::vector<PatternEntry> randomEntries(int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<PatternEntry> out;
  out.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    mh::Board b;
    const int stones = 1 + static_cast<int>(rng() % 50);
    for (int s = 0; s < stones; ++s) b.set(static_cast<mh::Point>(rng() % 361), 1 + static_cast<int>(rng() % 2));
    PatternEntry e;
    e.snapshot = b.snapshot();
    e.side = static_cast<std::uint8_t>(1 + rng() % 2);
    for (int c = 0; c < 3; ++c) e.insertCandidate({static_cast<mh::Point>(rng() % 361), 1 + static_cast<int>(rng() % 20), 1, 0});
    for (int o = 0; o < 10; ++o) e.occurrences.push_back({i, static_cast<std::int16_t>(o), static_cast<std::int16_t>(rng() % 361)});
    out.push_back(std::move(e));
  }
  return out;
}

constexpr int kEntries = 100000;

struct Fixture {
  std::string dir = makeScratchDir();
  std::vector<PatternEntry> entries = randomEntries(kEntries, 3);
  std::vector<PatternEntry> misses = randomEntries(1000, 4);
  PatternLibrary memory;
  PatternLibrary indexed;

  Fixture() {
    for (const auto& e : entries) (void)memory.add(e);
    if (!memory.writeData(dir + "/lib.wp2")) std::abort();
    PatternLibrary scan;
    if (!scan.openData(dir + "/lib.wp2") || !scan.writeIndex(dir + "/lib.wp2_")) std::abort();
    if (!indexed.openIndex(dir + "/lib.wp2_", dir + "/lib.wp2")) std::abort();
  }
  ~Fixture() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_FindHitMemory(benchmark::State& state) {
  auto& f = fixture();
  size_t i = 0;
  for (auto _ : state) {
    const auto& e = f.entries[(i++ * 7919) % f.entries.size()];
    benchmark::DoNotOptimize(f.memory.find(e.snapshot, e.side));
  }
}
BENCHMARK(BM_FindHitMemory);

void BM_FindHitIndex(benchmark::State& state) {
  auto& f = fixture();
  size_t i = 0;
  for (auto _ : state) {
    const auto& e = f.entries[(i++ * 7919) % f.entries.size()];
    benchmark::DoNotOptimize(f.indexed.find(e.snapshot, e.side));
  }
}
BENCHMARK(BM_FindHitIndex);

void BM_FindMissIndex(benchmark::State& state) {
  auto& f = fixture();
  size_t i = 0;
  for (auto _ : state) {
    const auto& e = f.misses[i++ % f.misses.size()];
    benchmark::DoNotOptimize(f.indexed.find(e.snapshot, e.side));
  }
}
BENCHMARK(BM_FindMissIndex);

// A look-up for hints: a stored position queried in its flip-y image, so the identity and the
// first transform miss and the second one hits.
void BM_FindWithSymmetriesIndex(benchmark::State& state) {
  auto& f = fixture();
  std::vector<BoardSnapshot> queries;
  for (size_t k = 0; k < 1000; ++k) {
    BoardSnapshot q;
    (void)mh::BoardTransform(1, 19, 19).mapSnapshot(f.entries[k * 97].snapshot, q);
    queries.push_back(std::move(q));
  }
  size_t i = 0;
  PatternEntry out;
  for (auto _ : state) {
    const size_t k = i++ % queries.size();
    benchmark::DoNotOptimize(f.indexed.findWithSymmetries(queries[k], f.entries[k * 97].side, out));
  }
}
BENCHMARK(BM_FindWithSymmetriesIndex);

void BM_FindWithSymmetriesMemory(benchmark::State& state) {
  auto& f = fixture();
  size_t i = 0;
  PatternEntry out;
  for (auto _ : state) {
    const auto& e = f.misses[i++ % f.misses.size()];
    benchmark::DoNotOptimize(f.memory.findWithSymmetries(e.snapshot, e.side, out));
  }
}
BENCHMARK(BM_FindWithSymmetriesMemory);

// The builders' step: read an entry from the warehouse, add an occurrence, store it again.
void BM_WarehouseReadModifyStore(benchmark::State& state) {
  const std::string dir = makeScratchDir();
  const auto entries = randomEntries(static_cast<int>(state.range(0)), 5);
  {
    PatternLibrary lib;
    if (!lib.createWarehouse(dir + "/lib.aos")) std::abort();
    for (const auto& e : entries) (void)lib.add(e);
    size_t i = 0;
    PatternEntry e;
    for (auto _ : state) {
      const int n = static_cast<int>((i++ * 7919) % entries.size());
      if (!lib.readEntry(n, e)) std::abort();
      e.occurrences.push_back({1, 2, 3});
      if (!lib.storeEntry(n, e)) std::abort();
    }
  }
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_WarehouseReadModifyStore)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
