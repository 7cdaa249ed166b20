#include <cstdio>
#include <string>
#include <vector>

#include "cli_command.h"
#include "engine/matrix_matcher.h"
#include "model/sgf_value.h"
#include "position_args.h"

namespace {

constexpr const char* kUsage = "matrix [--interior F] [--edge F] [--corner F] (FILE [--move N] | --empty) [--side b|w]";

int runMatrix(const std::vector<std::string>& args, const mh::cli::CommandContext& /*context*/) {
  mh::cli::PositionArgs where;
  std::string files[3];
  for (size_t i = 0; i < args.size();) {
    std::string error;
    const std::string& a = args[i];
    const int library = a == "--interior" ? 0 : a == "--edge" ? 1 : a == "--corner" ? 2 : -1;
    if (library >= 0 && i + 1 < args.size()) {
      files[library] = args[i + 1];
      i += 2;
      continue;
    }
    if (!where.take(args, i, error) || !error.empty()) {
      std::fprintf(stderr, "matrix: %s\nusage: moonhaven-cli %s\n", error.empty() ? ("unexpected '" + a + "'").c_str() : error.c_str(), kUsage);
      return 1;
    }
  }
  mh::MatrixLibraries libraries;
  for (int n = 0; n < 3; ++n) {
    if (files[n].empty()) continue;
    if (!libraries.byNumber(n)->LoadText(files[n], true)) {
      std::fprintf(stderr, "matrix: cannot open the pattern file '%s'\n", files[n].c_str());
      return 1;
    }
  }
  mh::Board board;
  int side = mh::Black;
  if (!where.resolve("matrix", board, side)) return 1;
  mh::MatrixMatcher matcher;
  matcher.run(board, side, libraries);
  for (mh::Point p : mh::cornerHintPoints(matcher, libraries.corner, board))
    std::printf("star %s\n", mh::sgf::pointText(p, board.width()).c_str());
  return 0;
}

mh::cli::CommandRegistrar reg{{"matrix", kUsage, "print the \"*\" points of the corner patterns that match a position",
                               runMatrix}};

}  // namespace
