#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli_command.h"
#include "load_record.h"
#include "records/position_report.h"
#include "records/record_loader.h"

namespace {

struct ShowOptions {
  std::string path;
  mh::cli::RecordChoice choice;
  std::optional<int> move;
  bool list = false;
};

// Lists the games of the file. A collection whose reading stopped at a tree that does not parse
// lists the trees before it and says where it stopped.
int runList(const ShowOptions& o) {
  std::vector<mh::RecordSummary> games;
  mh::ParseError error;
  const mh::RecordLoadStatus status = mh::listRecordFile(o.path, o.choice.big5, games, &error);
  if (status != mh::RecordLoadStatus::Ok) {
    std::fprintf(stderr, "%s\n%s: %s\n", mh::recordLoadMessage(status), o.path.c_str(), error.text().c_str());
    return 1;
  }
  const std::string text = mh::listReport(games);
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (!error.reason.empty()) std::fprintf(stderr, "%s: the reading stopped at %s\n", o.path.c_str(), error.text().c_str());
  return 0;
}

int runShow(const ShowOptions& o) {
  if (o.list) return runList(o);
  mh::GameRecord record;
  if (!mh::cli::loadRecord(o.path, o.choice, record)) return 1;
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
       mh::cli::defineRecordChoice(command, o->choice);
       CLI::Option* move =
           command.add_option("--move", o->move, "the position after move N (default: the last)")->type_name("N");
       command.add_flag("--list", o->list, "list the game trees of the file: players, result, moves")
           ->excludes(move)
           ->excludes("--tree");
       return [o](const mh::cli::CommandContext&) { return runShow(*o); };
     }}};

}  // namespace
