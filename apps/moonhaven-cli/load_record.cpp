#include "load_record.h"

#include <cstdio>

#include "records/record_loader.h"

namespace mh::cli {

void defineRecordChoice(CLI::App& command, RecordChoice& choice) {
  command.add_flag("--big5", choice.big5, "read a record that declares no charset as BIG5");
  command.add_option("--tree", choice.tree, "the game tree N of a collection (default: the first; see show --list)")
      ->type_name("N")
      ->check(CLI::PositiveNumber);
}

bool loadRecord(const std::string& path, const RecordChoice& choice, GameRecord& record) {
  int resultCode = 0;
  ParseError error;
  const RecordLoadStatus status =
      loadRecordFile(path, choice.big5, record, resultCode, &error, static_cast<size_t>(choice.tree - 1));
  if (status == RecordLoadStatus::Ok) return true;
  std::fprintf(stderr, "%s\n%s: %s\n", recordLoadMessage(status), path.c_str(), error.text().c_str());
  return false;
}

bool loadPosition(const char* command, const std::string& path, const RecordChoice& choice, std::optional<int> move,
                  GameState& game) {
  GameRecord record;
  if (!loadRecord(path, choice, record)) return false;
  game.load(record);
  if (game.goTo(move.value_or(game.lastIndex()))) return true;
  std::fprintf(stderr, "%s: the record has no position %d\n", command, move.value_or(-1));
  return false;
}

}  // namespace mh::cli
