#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli_command.h"
#include "engine/analysis_engine.h"
#include "model/sgf_value.h"
#include "pattern_base_options.h"
#include "patterns/wpb_list.h"
#include "position_args.h"

namespace {

std::string pointText(mh::Point p, int width) { return p < 0 ? "-" : mh::sgf::pointText(p, width); }

struct EngineOptions {
  mh::cli::PatternBaseOptions patternBase;
  mh::cli::PositionArgs where;
  int seed = 1;
};

int runEngine(const EngineOptions& o) {
  mh::Board board;
  int side = mh::Black;
  if (!o.where.resolve("engine", board, side)) return 1;

  // The library moves come from the chosen pattern base: the default one unless --base names one.
  mh::WpbList patternBases;
  mh::EngineLibraries libraries;
  if (mh::Wpb* base = o.patternBase.selectIfAny("engine", patternBases)) {
    base->openForHints();
    libraries.global = &base->globalLibrary();
    libraries.local = &base->localLibrary();
  } else if (o.patternBase.base) {
    return 1;
  }

  const int w = board.width();
  mh::AnalysisEngine engine(libraries);
  engine.seed(static_cast<std::uint32_t>(o.seed));
  engine.SetBoard(board);
  std::vector<std::pair<mh::Point, mh::MoveScore>> scores;
  engine.setScoreObserver([&scores](mh::Point p, const mh::ScoreBase& s) {
    if (const auto* score = dynamic_cast<const mh::MoveScore*>(&s)) scores.emplace_back(p, *score);
  });
  const mh::Point choice = engine.ChooseMove(side);
  std::string line = "candidates";
  for (mh::Point p : engine.lastCandidates()) line += " " + pointText(p, w);
  std::printf("%s\n", line.c_str());
  if (scores.empty() && engine.lastCandidates().size() == 1) {
    // A single candidate is taken without scoring it; score it here to show what it does.
    mh::MoveScore score;
    mh::AnalysisEngine scorer(libraries);
    scorer.SetBoard(board);
    scorer.EvaluateMove(side, engine.lastCandidates().front(), score);
    scores.emplace_back(engine.lastCandidates().front(), score);
  }
  for (const auto& [p, s] : scores) std::printf("score %s %g %g\n", pointText(p, w).c_str(), s.own.kill, s.own.threat);
  std::printf("choice %s\n", choice < 0 ? "none" : pointText(choice, w).c_str());

  // Each string read afresh, each query with a whole budget.
  mh::AnalysisEngine reader(libraries);
  reader.SetBoard(board);
  mh::PointList heads;
  reader.StringHeads(heads);
  mh::PointList libs;
  for (mh::Point head : heads) {
    reader.Liberties(head, libs);
    int captured = 0;
    int escapes = 0;
    reader.readingCounter().sinceReset = 0;
    reader.CanCapture(head, captured);
    reader.readingCounter().sinceReset = 0;
    reader.CanEscape(head, escapes);
    const mh::PointList takes = reader.captureMoves(head);
    const mh::PointList saves = reader.escapeMoves(head);
    std::printf("string %s %s %d %zu capture %d %s escape %d %s eye %g\n", pointText(head, w).c_str(),
                reader.ColourAt(head) == mh::Black ? "b" : "w", reader.StringSize(head), libs.size(), captured,
                takes.empty() ? "-" : pointText(takes.back(), w).c_str(), escapes,
                saves.empty() ? "-" : pointText(saves.back(), w).c_str(), reader.EyeValue(head));
  }
  return 0;
}

mh::cli::CommandRegistrar reg{
    {"engine", "explain the analysis engine's candidates, scores, choice and reading of a position",
     [](CLI::App& command) {
       auto o = std::make_shared<EngineOptions>();
       o->where.define(command, false);
       o->patternBase.define(command);
       command.add_option("--seed", o->seed, "seed the engine's random choices (default 1)")->type_name("S");
       return [o](const mh::cli::CommandContext&) { return runEngine(*o); };
     }}};

}  // namespace
