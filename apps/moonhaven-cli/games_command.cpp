#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli_command.h"
#include "pattern_base_options.h"
#include "patterns/game_index_listing.h"

namespace {

int runGames(const mh::cli::PatternBaseOptions& options) {
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

mh::cli::CommandRegistrar reg{{"games", "list the games of a pattern base's game index", [](CLI::App& command) {
                                 auto o = std::make_shared<mh::cli::PatternBaseOptions>();
                                 o->define(command);
                                 return [o](const mh::cli::CommandContext&) { return runGames(*o); };
                               }}};

}  // namespace
