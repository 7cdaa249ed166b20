#pragma once

#include <string_view>

#include "patterns/game_index_entry.h"

namespace mh {

// The columns of the record library's table, in display order.
enum RecordColumn : int {
  kBlackColumn = 0,
  kBlackRankColumn = 1,
  kWhiteColumn = 2,
  kWhiteRankColumn = 3,
  kResultColumn = 4,
  kFileColumn = 5,
};
inline constexpr int kRecordColumnCount = 6;

// The text a column shows for a game: the stored bytes up to the field's first NUL (GB for names,
// ranks and the result; the file system's bytes for the file name). Empty for a column out of
// range. The view lives as long as the entry.
std::string_view recordCellText(const GameIndexEntry& entry, int column);

// The sort key of a column: the result column orders by winner code first, then by result text;
// every other column by its text. Texts compare byte by byte.
struct RecordSortKey {
  int winner = 0;
  std::string_view text;

  friend bool operator==(const RecordSortKey&, const RecordSortKey&) = default;
};
RecordSortKey recordSortKey(const GameIndexEntry& entry, int column);
// Negative, zero or positive as a sorts before, with or after b.
int compareSortKeys(const RecordSortKey& a, const RecordSortKey& b);

// The full ascending order of a column: keys first, then the stored entry numbers, then the
// games' places in the index (gameA, gameB), so that any two games of one index are ordered.
bool recordPrecedes(const GameIndexEntry& a, int gameA, const GameIndexEntry& b, int gameB, int column);

}  // namespace mh
