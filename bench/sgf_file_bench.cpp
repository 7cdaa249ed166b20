// Reading game records: parsing SGF text (GB byte pairs and UTF-8) and converting it to a record,
// as pattern-base builds do for every file of a collection.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "model/game_record.h"
#include "records/sgf_conversion.h"
#include "records/sgf_file.h"

namespace {

// A 19 x 19 game of `moves` moves with GB or UTF-8 names and a comment every ten moves.
std::string syntheticGame(int moves, bool utf8) {
  std::mt19937 rng(7);
  std::string text = utf8 ? "(;GM[1]FF[4]CA[UTF-8]SZ[19]PB[\xE9\xBB\x91\xE6\xA3\x8B]BR[9\xE6\xAE\xB5]"
                          : "(;GM[1]FF[4]SZ[19]PB[\xBA\xDA\xC6\xE5]BR[9\xB6\xCE]";
  text += "PW[white]RE[W+Resign]KM[6.5]";
  for (int i = 0; i < moves; ++i) {
    text += i % 2 ? ";W[" : ";B[";
    text += static_cast<char>('a' + rng() % 19);
    text += static_cast<char>('a' + rng() % 19);
    text += ']';
    if (i % 10 == 0) text += "C[a comment of some length, as analysis files carry]";
  }
  return text + ")";
}

void BM_ParseAndConvert(benchmark::State& state) {
  const std::string text = syntheticGame(static_cast<int>(state.range(0)), state.range(1) != 0);
  for (auto _ : state) {
    const auto root = mh::SgfFile::parse(text, false);
    mh::GameRecord record;
    if (!root || !mh::sgfToRecord(*root, record)) state.SkipWithError("did not parse");
    benchmark::DoNotOptimize(record);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseAndConvert)->Args({250, 0})->Args({250, 1});

void BM_Format(benchmark::State& state) {
  const auto root = mh::SgfFile::parse(syntheticGame(250, false), false);
  for (auto _ : state) benchmark::DoNotOptimize(mh::SgfFile::format(*root));
}
BENCHMARK(BM_Format);

}  // namespace
