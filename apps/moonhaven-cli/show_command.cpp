#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli_command.h"
#include "load_record.h"
#include "records/position_report.h"

namespace {

struct ShowOptions {
  std::string path;
  bool big5 = false;
  std::optional<int> move;
};

int runShow(const ShowOptions& o) {
  mh::GameRecord record;
  if (!mh::cli::loadRecord(o.path, o.big5, record)) return 1;
  std::string text;
  if (!mh::showRecord(record, o.move, text)) {
    std::fprintf(stderr, "show: the record has no position %d\n", o.move.value_or(-1));
    return 1;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

mh::cli::CommandRegistrar reg{
    {"show", "print a game record's information and the board at move N (default: the end)", [](CLI::App& command) {
       auto o = std::make_shared<ShowOptions>();
       command.add_option("FILE", o->path, "an SGF or GIB game record")->required();
       command.add_flag("--big5", o->big5, "read the record's text as BIG5");
       command.add_option("--move", o->move, "the position after move N (default: the last)")->type_name("N");
       return [o](const mh::cli::CommandContext&) { return runShow(*o); };
     }}};

}  // namespace
