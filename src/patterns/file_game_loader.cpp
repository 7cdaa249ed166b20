#include "patterns/file_game_loader.h"

#include "records/record_loader.h"

namespace mh {

GameLoader fileGameLoader() {
  return [](const std::string& path, GameRecord& record, int& winner) {
    return loadRecordFile(path, false, record, winner) == RecordLoadStatus::Ok;
  };
}

}  // namespace mh
