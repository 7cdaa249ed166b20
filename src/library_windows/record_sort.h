#pragma once

#include <cstdint>
#include <vector>

#include "patterns/game_index.h"

namespace mh {

// How the record library's rows are sorted: by no column at first; the direction is 1 (ascending)
// or 2 (descending) and starts at 1, so the first click on a header sorts descending.
struct RecordSortState {
  int column = -1;
  int direction = 1;

  friend bool operator==(const RecordSortState&, const RecordSortState&) = default;
};

// What a click on a column's header asks of the rows.
enum class HeaderClick {
  Ignored,   // not a sortable column
  Reversed,  // the column was already the sort column: reverse the rows as they stand
  Sorted,    // a new sort column: sort the rows by it
};

// Applies a click on a header to the state: the direction toggles, and the column becomes the
// sort column.
HeaderClick clickHeader(RecordSortState& state, int column);

// Sorts the games (numbers of the index's games) by a column: ascending in the order of
// recordPrecedes, descending in its exact reverse. Without a sort column the order stays.
// While it runs it holds 16 bytes per sorted game besides the games.
void sortGames(std::vector<std::uint32_t>& games, const GameIndex& index, const RecordSortState& state);

}  // namespace mh
