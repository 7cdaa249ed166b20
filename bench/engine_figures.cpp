// The engine's figures: ChooseMove time and readings on corpus positions, and games against the
// random player. Prints one table; never passes or fails.
//
//   moonhaven_engine_figures [--positions N] [--games N] [--seed S] [--corpus DIR]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine_move_chooser.h"
#include "figures_support.h"
#include "model/game_state.h"
#include "model/random_player.h"
#include "process/headless_match.h"
#include "records/record_loader.h"
#include "room/counting.h"

namespace fs = std::filesystem;
using namespace mh;

namespace {

// Positions before moves 20 to 200 of the corpus games, about ten a game, until count are held.
std::vector<figures::QueryPosition> corpusPositions(const std::string& corpus, size_t count) {
  std::vector<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(corpus, fs::directory_options::skip_permission_denied)) {
    const std::string ext = e.path().extension().string();
    if (e.is_regular_file() && (ext == ".sgf" || ext == ".SGF")) files.push_back(e.path().string());
  }
  std::sort(files.begin(), files.end());
  std::vector<figures::QueryPosition> out;
  std::vector<figures::QueryPosition> game;
  for (const std::string& f : files) {
    if (out.size() >= count) break;
    GameRecord record;
    int resultCode = 0;
    if (loadRecordFile(f, false, record, resultCode) != RecordLoadStatus::Ok) continue;
    game.clear();
    figures::takePositions(record, 18, 20, 201, 11, game);
    for (auto& q : game)
      if (out.size() < count && q.board.width() == 19 && q.board.height() == 19) out.push_back(std::move(q));
  }
  return out;
}

void chooseMoveFigures(const std::string& corpus, size_t count, std::uint32_t seed) {
  const auto positions = corpusPositions(corpus, count);
  std::vector<double> ms;
  std::vector<double> readings;
  int fromEngine = 0;
  EngineMoveChooser chooser({}, {}, seed);
  const std::clock_t cpu0 = std::clock();
  for (const auto& q : positions) {
    const auto start = std::chrono::steady_clock::now();
    chooser.choose(q.board, q.side, [](Point) { return true; });
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    readings.push_back(static_cast<double>(chooser.lastReadings().readings));
    fromEngine += chooser.lastFromEngine() ? 1 : 0;
  }
  const double cpu = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
  const auto t = figures::summarize(ms);
  const auto r = figures::summarize(readings);
  std::printf("ChooseMove on %zu corpus positions (moves 20-200): median %.2f ms, p99 %.2f ms, max %.2f ms, "
              "CPU %.2f s\n", t.count, t.median, t.p99, t.max, cpu);
  std::printf("readings per call: median %.0f, p99 %.0f, max %.0f; the engine's own choice in %d of %zu\n", r.median,
              r.p99, r.max, fromEngine, positions.size());
}

void randomGames(int games, std::uint32_t seed) {
  int wins = 0;
  double moves = 0;
  const std::clock_t cpu0 = std::clock();
  for (int g = 0; g < games; ++g) {
    const bool engineBlack = g % 2 == 0;
    const std::uint32_t s = seed + static_cast<std::uint32_t>(g);
    auto engine = std::make_shared<EngineMatchPlayer>(EngineLibraries{}, EngineLog{}, s);
    auto random = std::make_shared<RandomPlayer>(s * 7919u + 1);
    GameSettings settings;
    const auto result = runHeadlessMatch(settings, engineBlack ? std::shared_ptr<Player>(engine) : random,
                                         engineBlack ? std::shared_ptr<Player>(random) : engine, 1000, nullptr);
    // The final position: replay the record.
    GameState state;
    state.load(result.record);
    CountRequest request;
    request.board = state.board();
    request.ruleType = GameSettings::Chinese;
    const CountReport count = *countGame(request);  // area counting, every stone alive
    const int own = engineBlack ? count.blackArea : count.whiteArea;
    const int theirs = engineBlack ? count.whiteArea : count.blackArea;
    if (own > theirs) ++wins;
    moves += result.moves;
    std::printf("game %d: engine %s, %d moves, engine %d, random %d%s\n", g + 1, engineBlack ? "black" : "white",
                result.moves, own, theirs, own > theirs ? "" : "  LOST");
    std::fflush(stdout);
  }
  const double cpu = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
  std::printf("engine against the random player: %d wins in %d games (19x19, area count, seeds %u..), "
              "%.0f moves a game, CPU %.1f s\n", wins, games, seed, games ? moves / games : 0.0, cpu);
}

}  // namespace

int main(int argc, char** argv) {
  size_t positions = 200;
  int games = 0;
  std::uint32_t seed = 1;
  std::string corpus = MOONHAVEN_CORPUS;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--positions") positions = std::strtoul(argv[i + 1], nullptr, 10);
    else if (a == "--games") games = std::atoi(argv[i + 1]);
    else if (a == "--seed") seed = static_cast<std::uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
    else if (a == "--corpus") corpus = argv[i + 1];
  }
  if (positions > 0) chooseMoveFigures(corpus, positions, seed);
  if (games > 0) randomGames(games, seed);
  return 0;
}
