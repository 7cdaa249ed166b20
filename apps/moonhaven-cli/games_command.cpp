#include <cstdio>
#include <string>
#include <vector>

#include "cli_command.h"
#include "pattern_base_options.h"
#include "patterns/game_index_listing.h"

namespace {

constexpr const char* kUsage = "games [--home DIR] [--base N]";

int runGames(const std::vector<std::string>& arguments, const mh::cli::CommandContext& /*context*/) {
  std::vector<std::string> args = arguments;
  mh::cli::PatternBaseOptions options;
  if (!options.parse("games", args)) return 1;
  if (!args.empty()) {
    std::fprintf(stderr, "usage: moonhaven-cli %s\n", kUsage);
    return 1;
  }
  mh::WpbList list;
  const mh::Wpb* wpb = options.select("games", list);
  if (!wpb) return 1;
  mh::GameIndex index;
  if (!index.read(wpb->filePath("idx"), wpb->recordDirectory())) {
    std::fprintf(stderr, "games: cannot read %s (build the pattern base first)\n", wpb->filePath("idx").c_str());
    return 1;
  }
  const std::string text = mh::gameIndexListing(index);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

mh::cli::CommandRegistrar reg{{"games", kUsage, "list the games of a pattern base's game index", runGames}};

}  // namespace
