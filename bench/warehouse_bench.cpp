// Warehouse put and get on files with many blocks, where allocation must not walk the whole
// block table.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "patterns/warehouse.h"

namespace {

std::string makeDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "moonhaven-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern;
}

// A warehouse holding `names` values of 100..1000 bytes, each in its own block.
struct Filled {
  std::string dir = makeDir();
  mh::Warehouse w;
  int names;

  explicit Filled(int count) : names(count) {
    if (!w.create(dir + "/w.aos")) std::abort();
    std::vector<std::uint8_t> value(1000, 7);
    for (int i = 0; i < names; ++i)
      if (!w.put(std::to_string(i), std::span(value).first(100 + static_cast<size_t>(i % 900)))) std::abort();
  }
  ~Filled() {
    w.close();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

// Replacing values of varying size: each put frees one chain and takes free blocks from the
// front of the file, so the file holds many free blocks scattered among used ones.
void BM_WarehousePut(benchmark::State& state) {
  Filled f(static_cast<int>(state.range(0)));
  std::mt19937 rng(1);
  std::vector<std::uint8_t> value(3000, 9);
  for (auto _ : state) {
    const int name = static_cast<int>(rng() % static_cast<unsigned>(f.names));
    const size_t size = 50 + rng() % 2500;
    if (!f.w.put(std::to_string(name), std::span(value).first(size))) std::abort();
  }
  state.counters["blocks"] = static_cast<double>(f.w.blockStore().blocks().size());
  state.counters["free"] = static_cast<double>(f.w.blockStore().freeBlockCount());
}
BENCHMARK(BM_WarehousePut)->Arg(1000)->Arg(200000)->Unit(benchmark::kMicrosecond);

void BM_WarehouseGet(benchmark::State& state) {
  Filled f(static_cast<int>(state.range(0)));
  std::mt19937 rng(2);
  std::vector<std::uint8_t> out;
  for (auto _ : state) {
    const int name = static_cast<int>(rng() % static_cast<unsigned>(f.names));
    if (!f.w.get(std::to_string(name), out)) std::abort();
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_WarehouseGet)->Arg(1000)->Arg(200000)->Unit(benchmark::kMicrosecond);

// Opening a large warehouse scans every block header and reads the directory.
void BM_WarehouseOpen(benchmark::State& state) {
  Filled f(static_cast<int>(state.range(0)));
  f.w.close();
  mh::Warehouse w;
  for (auto _ : state) {
    if (!w.open(f.dir + "/w.aos", true)) std::abort();
    w.close();
  }
}
BENCHMARK(BM_WarehouseOpen)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
