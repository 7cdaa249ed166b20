#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli_command.h"
#include "load_record.h"
#include "model/sgf_value.h"
#include "records/position_report.h"

namespace {

int runShow(const std::vector<std::string>& args, const mh::cli::CommandContext& /*context*/) {
  std::string path;
  bool big5 = false;
  std::optional<int> move;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--big5") {
      big5 = true;
    } else if (args[i] == "--move" && i + 1 < args.size()) {
      move = mh::sgf::parseInt(args[++i]);
      if (!move) {
        std::fprintf(stderr, "show: --move needs a number, not '%s'\n", args[i].c_str());
        return 1;
      }
    } else if (path.empty() && args[i].rfind("--", 0) != 0) {
      path = args[i];
    } else {
      std::fprintf(stderr, "usage: moonhaven-cli show FILE [--big5] [--move N]\n");
      return 1;
    }
  }
  if (path.empty()) {
    std::fprintf(stderr, "usage: moonhaven-cli show FILE [--big5] [--move N]\n");
    return 1;
  }
  mh::GameRecord record;
  if (!mh::cli::loadRecord(path, big5, record)) return 1;
  std::string text;
  if (!mh::showRecord(record, move, text)) {
    std::fprintf(stderr, "show: the record has no position %d\n", move.value_or(-1));
    return 1;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

mh::cli::CommandRegistrar reg{{"show", "show FILE [--big5] [--move N]",
                               "print a game record's information and the board at move N (default: the end)",
                               runShow}};

}  // namespace
