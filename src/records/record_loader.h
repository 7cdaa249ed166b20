#pragma once

#include <string>
#include <string_view>

#include "model/game_record.h"
#include "platform/parse_error.h"

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
// resultCode the winner code; on failure the record is unspecified and error (when given) says
// why and, for a file that does not parse, where.
RecordLoadStatus loadRecordFile(const std::string& path, bool big5, GameRecord& record, int& resultCode,
                                ParseError* error = nullptr);

// The system's message for a failed load, in UTF-8 ("" for Ok): what a user is shown, whatever
// the details of the error.
const char* recordLoadMessage(RecordLoadStatus status);

// Whether a path names a game-record file by its extension: ".sgf" or ".gib" in any letter case.
bool isRecordFileName(std::string_view path);

}  // namespace mh
