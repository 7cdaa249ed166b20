#include <cstdio>
#include <string>
#include <vector>

#include "cli_command.h"
#include "model/sgf_value.h"
#include "pattern_base_options.h"
#include "patterns/pattern_hints.h"
#include "platform/text_codec.h"
#include "position_args.h"

namespace {

constexpr const char* kUsage =
    "hints [--home DIR] [--base N] (FILE [--move N] | --empty) [--side b|w] [--details]";

std::string pointText(mh::Point p, int width) { return p < 0 ? "pass" : mh::sgf::pointText(p, width); }

void printHints(const char* kind, const mh::HintList& list, const mh::Wpb& base, int width, bool details) {
  for (const mh::Hint& h : list.hints) {
    std::printf("%s %s %s %d %d %d %s\n", kind, h.label.c_str(), pointText(h.point, width).c_str(), h.played, h.wins,
                h.losses, h.red() ? "red" : "blue");
    if (!details) continue;
    for (const mh::PatternOccurrence& o : mh::occurrencesOf(list, h)) {
      const auto path = base.gameIndex().pathOf(o.game);
      std::printf("  game %d move %d %s\n", o.game, o.move, path ? mh::text::fileNameToUtf8(*path).c_str() : "?");
    }
  }
}

int runHints(const std::vector<std::string>& input, const mh::cli::CommandContext& /*context*/) {
  std::vector<std::string> args = input;
  mh::cli::PatternBaseOptions baseOptions;
  if (!baseOptions.parse("hints", args)) return 1;
  mh::cli::PositionArgs where;
  bool details = false;
  for (size_t i = 0; i < args.size();) {
    if (args[i] == "--details") {
      details = true;
      ++i;
      continue;
    }
    std::string error;
    if (!where.take(args, i, error) || !error.empty()) {
      std::fprintf(stderr, "hints: %s\nusage: moonhaven-cli %s\n",
                   error.empty() ? ("unexpected '" + args[i] + "'").c_str() : error.c_str(), kUsage);
      return 1;
    }
  }
  mh::Board board;
  int side = mh::Black;
  if (!where.resolve("hints", board, side)) return 1;
  mh::WpbList list;
  mh::Wpb* base = baseOptions.select("hints", list);
  if (!base) return 1;
  base->openForHints();
  printHints("global", mh::globalHints(base->globalLibrary(), board, side), *base, board.width(), details);
  printHints("local", mh::localHints(base->localLibrary(), board, side), *base, board.width(), details);
  return 0;
}

mh::cli::CommandRegistrar reg{{"hints", kUsage, "print the pattern-library hints for a position", runHints}};

}  // namespace
