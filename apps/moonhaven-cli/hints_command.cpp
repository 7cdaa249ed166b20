#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli_command.h"
#include "model/sgf_value.h"
#include "pattern_base_options.h"
#include "patterns/pattern_hints.h"
#include "platform/text_codec.h"
#include "position_args.h"

namespace {

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

struct HintsOptions {
  mh::cli::PatternBaseOptions base;
  mh::cli::PositionArgs where;
  bool details = false;
};

int runHints(const HintsOptions& o) {
  mh::Board board;
  int side = mh::Black;
  if (!o.where.resolve("hints", board, side)) return 1;
  mh::WpbList list;
  mh::Wpb* base = o.base.select("hints", list);
  if (!base) return 1;
  base->openForHints();
  printHints("global", mh::globalHints(base->globalLibrary(), board, side), *base, board.width(), o.details);
  printHints("local", mh::localHints(base->localLibrary(), board, side), *base, board.width(), o.details);
  return 0;
}

mh::cli::CommandRegistrar reg{{"hints", "print the pattern-library hints for a position", [](CLI::App& command) {
                                 auto o = std::make_shared<HintsOptions>();
                                 o->base.define(command);
                                 o->where.define(command);
                                 command.add_flag("--details", o->details, "list the games and moves behind each hint");
                                 return [o](const mh::cli::CommandContext&) { return runHints(*o); };
                               }}};

}  // namespace
