#include "patterns/file_game_loader.h"

#include "records/record_loader.h"

namespace mh {

GameLoader fileGameLoader() {
  return [](const std::string& path, GameRecord& record, int& winner, ParseError* error) {
    const RecordLoadStatus status = loadRecordMoves(path, false, record, winner, error);
    if (status == RecordLoadStatus::Ok) return true;
    if (error && error->reason.empty()) *error = ParseError::whole("not a game record");
    return false;
  };
}

}  // namespace mh
