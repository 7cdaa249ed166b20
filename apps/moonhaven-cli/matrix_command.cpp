#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli_command.h"
#include "engine/matrix_matcher.h"
#include "model/sgf_value.h"
#include "position_args.h"

namespace {

struct MatrixOptions {
  mh::cli::PositionArgs where;
  std::string files[3];  // interior, edge and corner pattern files; empty when not given
};

int runMatrix(const MatrixOptions& o) {
  mh::MatrixLibraries libraries;
  for (int n = 0; n < 3; ++n) {
    if (o.files[n].empty()) continue;
    if (!libraries.byNumber(n)->LoadText(o.files[n], true)) {
      std::fprintf(stderr, "matrix: cannot open the pattern file '%s'\n", o.files[n].c_str());
      return 1;
    }
  }
  mh::Board board;
  int side = mh::Black;
  if (!o.where.resolve("matrix", board, side)) return 1;
  mh::MatrixMatcher matcher;
  matcher.run(board, side, libraries);
  for (mh::Point p : mh::cornerHintPoints(matcher, libraries.corner, board))
    std::printf("star %s\n", mh::sgf::pointText(p, board.width()).c_str());
  return 0;
}

mh::cli::CommandRegistrar reg{
    {"matrix", "print the \"*\" points of the corner patterns that match a position", [](CLI::App& command) {
       auto o = std::make_shared<MatrixOptions>();
       command.add_option("--interior", o->files[0], "matrix patterns for the interior")->type_name("F");
       command.add_option("--edge", o->files[1], "matrix patterns for the edges")->type_name("F");
       command.add_option("--corner", o->files[2], "matrix patterns for the corners")->type_name("F");
       o->where.define(command);
       return [o](const mh::cli::CommandContext&) { return runMatrix(*o); };
     }}};

}  // namespace
