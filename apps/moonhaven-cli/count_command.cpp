#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli_command.h"
#include "load_record.h"
#include "model/game_state.h"
#include "model/sgf_value.h"
#include "platform/decimal_text.h"
#include "room/counting.h"

namespace {

struct CountArgs {
  std::string file;
  mh::cli::RecordChoice choice;
  std::optional<int> move;
  std::string rule;  // "chinese" or "japanese"
  std::string komi;  // a decimal number, read without regard to the locale
  int handicap = 0;
  std::vector<std::string> dead;  // SGF point texts
};

void defineCount(CLI::App& command, CountArgs& a) {
  command.add_option("FILE", a.file, "an SGF or GIB game record")->required();
  command.add_option("--move", a.move, "count the position after move N (default: the last)")->type_name("N");
  mh::cli::defineRecordChoice(command, a.choice);
  command.add_option("--rule", a.rule, "chinese or japanese")->required()->check(CLI::IsMember({"chinese", "japanese"}));
  command.add_option("--komi", a.komi, "the komi, e.g. 6.5")
      ->required()
      ->type_name("K")
      ->check(CLI::Validator([](std::string& v) { return mh::parseDecimal(v) ? "" : "not a number: " + v; }, "K"));
  command.add_option("--handicap", a.handicap, "the handicap stones, 0 to 9")->type_name("H")->check(CLI::Range(0, 9));
  command.add_option("--dead", a.dead, "points of dead strings, as SGF letters (e.g. dd,pq)")
      ->type_name("P,P,...")
      ->delimiter(',')
      ->allow_extra_args(false);  // one value per --dead, so that FILE after it stays FILE
}

// The points of the --dead texts on the board; on a bad one returns its error text.
std::optional<std::string> deadPoints(const std::vector<std::string>& texts, const mh::Board& board,
                                      mh::PointList& out) {
  for (const std::string& t : texts) {
    const auto c = mh::sgf::parseCoord(t);
    if (!c || c->x < 0 || c->x >= board.width() || c->y < 0 || c->y >= board.height())
      return "--dead: '" + t + "' is not a point of the " + std::to_string(board.width()) + " x " +
             std::to_string(board.height()) + " board";
    out.push_back(board.point(c->x, c->y));
  }
  return std::nullopt;
}

int runCount(const CountArgs& args) {
  mh::GameState game;
  if (!mh::cli::loadPosition("count", args.file, args.choice, args.move, game)) return 1;
  const mh::GameStateView view = game.view();
  mh::PointList chosen;
  if (const auto error = deadPoints(args.dead, view.board, chosen)) return mh::cli::usageError("count", *error);

  mh::GameSettings settings;
  settings.ruleType = args.rule == "japanese" ? mh::GameSettings::Japanese : mh::GameSettings::Chinese;
  settings.komi = *mh::parseDecimal(args.komi);
  settings.handicap = args.handicap;
  const auto report = mh::countGame(mh::countRequest(view, settings, mh::deadStringStones(view.board, chosen)));
  if (!report) return 1;  // unreachable: the rule type is one of the two
  for (const std::string& line : report->lines) std::printf("%s\n", line.c_str());
  std::printf("winner %s\n", report->winner == mh::Black ? "b" : report->winner == mh::White ? "w" : "draw");
  return 0;
}

mh::cli::CommandRegistrar reg{{"count", "count a finished game under Chinese or Japanese rules", [](CLI::App& command) {
                                 auto a = std::make_shared<CountArgs>();
                                 defineCount(command, *a);
                                 return [a](const mh::cli::CommandContext&) { return runCount(*a); };
                               }}};

}  // namespace
