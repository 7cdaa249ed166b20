#include "load_record.h"

#include <cstdio>

#include "records/record_loader.h"

namespace mh::cli {

bool loadRecord(const std::string& path, bool big5, GameRecord& record) {
  int resultCode = 0;
  ParseError error;
  const RecordLoadStatus status = loadRecordFile(path, big5, record, resultCode, &error);
  if (status == RecordLoadStatus::Ok) return true;
  std::fprintf(stderr, "%s\n%s: %s\n", recordLoadMessage(status), path.c_str(), error.text().c_str());
  return false;
}

bool loadPosition(const char* command, const std::string& path, bool big5, std::optional<int> move, GameState& game) {
  GameRecord record;
  if (!loadRecord(path, big5, record)) return false;
  game.load(record);
  if (game.goTo(move.value_or(game.lastIndex()))) return true;
  std::fprintf(stderr, "%s: the record has no position %d\n", command, move.value_or(-1));
  return false;
}

}  // namespace mh::cli
