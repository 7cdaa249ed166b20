#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/board.h"
#include "model/game_record.h"
#include "records/record_loader.h"

namespace mh {

// The text that "moonhaven-cli show" prints for one position of a loaded record, in UTF-8:
//   size WxH / black NAME RANK / white NAME RANK / result WINNER TEXT / game NAME / rules TEXT /
//   moves ENTRIES / position INDEX of LAST / to-move b|w
// then one line per board row, top row first: "." empty, "X" black, "O" white. Texts are the
// record's GB text converted to UTF-8; a line whose last fields are empty ends without blanks.
std::string positionReport(const GameRecord& loaded, const Board& board, int sideToMove, int index, int lastIndex);

// A position of a replayed record.
struct RecordPosition {
  Board board;
  int sideToMove = Black;
  int index = 0;
  int lastIndex = 0;
};

// Replays the record from its start and goes to position `move` (the last position when none);
// nothing when the position does not exist.
std::optional<RecordPosition> replayRecord(const GameRecord& record, std::optional<int> move);

// Replays the record from its start, goes to position `move` (the last position when none) and
// sets out to its positionReport. False when the position does not exist.
[[nodiscard]] bool showRecord(const GameRecord& record, std::optional<int> move, std::string& out);

// The text that "moonhaven-cli show --list" prints for the games of a file, in UTF-8, one line
// per game tree, numbered from 1:
//   N: black NAME RANK, white NAME RANK, result TEXT, moves ENTRIES
// or "N: not a game record". Empty names and ranks are left out ("black -" when both are).
std::string listReport(const std::vector<RecordSummary>& games);

}  // namespace mh
