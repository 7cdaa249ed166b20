#pragma once

#include <string>

#include "model/game_record.h"

namespace mh {

// What happened when a game-record file was opened.
enum class RecordLoadStatus {
  Ok,
  UnknownFormat,     // the extension is neither .sgf nor .gib
  SgfReadFailed,     // not readable or not SGF
  SgfConvertFailed,  // SGF, but not a game record
  GibReadFailed,
  GibConvertFailed,
};

// Opens a game record by the extension of its file name (".sgf" or ".gib", any letter case).
// big5 converts an SGF file's text from BIG5 to GB. On success the record holds the game and
// resultCode the winner code; on failure the record is unspecified.
RecordLoadStatus loadRecordFile(const std::string& path, bool big5, GameRecord& record, int& resultCode);

// The system's message for a failed load, in UTF-8 ("" for Ok).
const char* recordLoadMessage(RecordLoadStatus status);

}  // namespace mh
