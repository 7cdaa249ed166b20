#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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
// big5 is the user's choice for a file whose charset is not otherwise known (see RecordText):
// its text is then converted from BIG5 to GB. tree picks a game of an SGF collection (0, the
// default, is the first); a GIB file holds one. On success the record holds the game and
// resultCode the winner code; on failure the record is unspecified and error (when given) says
// why and, for a file that does not parse, where.
RecordLoadStatus loadRecordFile(const std::string& path, bool big5, GameRecord& record, int& resultCode,
                                ParseError* error = nullptr, size_t tree = 0);

// As loadRecordFile for the first game, without the properties of each entry (comments, marks,
// labels): what an index or a pattern library takes from a record, read with little allocation
// so that a whole collection reads fast.
RecordLoadStatus loadRecordMoves(const std::string& path, bool big5, GameRecord& record, int& resultCode,
                                 ParseError* error = nullptr);

// One game of a record file, as a list of the file's games shows it.
struct RecordSummary {
  bool isRecord = false;  // false for a game tree that is not a game record (the rest is empty)
  GameInfo info;          // names, ranks, result (GB)
  int moves = 0;          // entries, as the record counts them
};

// The games of a record file in order: every game tree of an SGF collection, the one game of a
// GIB file. Read as loadRecordFile reads them. On failure (the status of the file as a whole)
// error says why; when a later tree of a collection does not parse, the games before it are
// listed, the status is Ok and error (when given) says where the reading stopped.
RecordLoadStatus listRecordFile(const std::string& path, bool big5, std::vector<RecordSummary>& games,
                                ParseError* error = nullptr);

// The system's message for a failed load, in UTF-8 ("" for Ok): what a user is shown, whatever
// the details of the error.
const char* recordLoadMessage(RecordLoadStatus status);

// Whether a path names a game-record file by its extension: ".sgf" or ".gib" in any letter case.
bool isRecordFileName(std::string_view path);

}  // namespace mh
