#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli_command.h"
#include "model/game_state.h"
#include "model/sgf_value.h"
#include "platform/decimal_text.h"
#include "records/record_loader.h"
#include "room/counting.h"

namespace {

constexpr const char* kUsage =
    "count FILE [--move N] [--big5] --rule chinese|japanese --komi K [--handicap H] [--dead P,P,...]";

struct CountArgs {
  std::string file;
  bool big5 = false;
  std::optional<int> move;
  int ruleType = mh::GameSettings::NoRules;
  std::optional<double> komi;
  int handicap = 0;
  std::vector<std::string> dead;  // SGF point texts
};

std::vector<std::string> splitAtCommas(std::string_view text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t comma = text.find(','); comma != std::string_view::npos; comma = text.find(',', start)) {
    parts.emplace_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  parts.emplace_back(text.substr(start));
  return parts;
}

// Reads the arguments; on a usage error returns its text.
std::optional<std::string> parseArgs(const std::vector<std::string>& args, CountArgs& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--big5") {
      out.big5 = true;
      continue;
    }
    if (a == "--move" || a == "--rule" || a == "--komi" || a == "--handicap" || a == "--dead") {
      if (i + 1 >= args.size()) return a + " needs a value";
      const std::string& v = args[++i];
      if (a == "--move") {
        out.move = mh::sgf::parseInt(v);
        if (!out.move) return "--move needs a number, not '" + v + "'";
      } else if (a == "--rule") {
        if (v == "chinese") out.ruleType = mh::GameSettings::Chinese;
        else if (v == "japanese") out.ruleType = mh::GameSettings::Japanese;
        else return "--rule takes chinese or japanese, not '" + v + "'";
      } else if (a == "--komi") {
        out.komi = mh::parseDecimal(v);
        if (!out.komi) return "--komi needs a number, not '" + v + "'";
      } else if (a == "--handicap") {
        const auto h = mh::sgf::parseInt(v);
        if (!h || *h < 0 || *h > 9) return "--handicap takes 0 to 9, not '" + v + "'";
        out.handicap = *h;
      } else {
        for (std::string& p : splitAtCommas(v)) out.dead.push_back(std::move(p));
      }
      continue;
    }
    if (a.rfind("--", 0) == 0 || !out.file.empty()) return "unexpected '" + a + "'";
    out.file = a;
  }
  if (out.file.empty()) return std::string("a record FILE is needed");
  if (out.ruleType == mh::GameSettings::NoRules) return std::string("--rule is needed");
  if (!out.komi) return std::string("--komi is needed");
  return std::nullopt;
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

int usageError(const std::string& error) {
  std::fprintf(stderr, "count: %s\nusage: moonhaven-cli %s\n", error.c_str(), kUsage);
  return 1;
}

int runCount(const std::vector<std::string>& input, const mh::cli::CommandContext& /*context*/) {
  CountArgs args;
  if (const auto error = parseArgs(input, args)) return usageError(*error);

  mh::GameRecord record;
  int resultCode = 0;
  const mh::RecordLoadStatus status = mh::loadRecordFile(args.file, args.big5, record, resultCode);
  if (status != mh::RecordLoadStatus::Ok) {
    std::fprintf(stderr, "%s\n", mh::recordLoadMessage(status));
    return 1;
  }
  mh::GameState game;
  game.load(record);
  if (!game.goTo(args.move.value_or(game.lastIndex()))) {
    std::fprintf(stderr, "count: the record has no position %d\n", args.move.value_or(-1));
    return 1;
  }
  const mh::GameStateView view = game.view();
  mh::PointList chosen;
  if (const auto error = deadPoints(args.dead, view.board, chosen)) return usageError(*error);

  mh::GameSettings settings;
  settings.ruleType = args.ruleType;
  settings.komi = *args.komi;
  settings.handicap = args.handicap;
  const auto report = mh::countGame(mh::countRequest(view, settings, mh::deadStringStones(view.board, chosen)));
  if (!report) return 1;  // unreachable: the rule type is one of the two
  for (const std::string& line : report->lines) std::printf("%s\n", line.c_str());
  std::printf("winner %s\n", report->winner == mh::Black ? "b" : report->winner == mh::White ? "w" : "draw");
  return 0;
}

mh::cli::CommandRegistrar reg{{"count", kUsage, "count a finished game under Chinese or Japanese rules", runCount}};

}  // namespace
