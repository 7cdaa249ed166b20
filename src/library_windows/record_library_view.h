#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library_windows/player_filter.h"
#include "library_windows/record_sort.h"
#include "patterns/game_index.h"

namespace mh {

// The rows of the record library: the games of one game-record index that pass the player filter,
// in the order of the sort state. The rows are only the games' numbers (4 bytes each); every cell
// is read from the index when asked for. Filter and sort state outlive a change of index, so the
// window keeps them while it shows another pattern base or one rebuilt.
class RecordLibraryView {
 public:
  // Lists the games of an index (null: none) through the filter and the sort state. The index must
  // stay unchanged until the next setIndex.
  void setIndex(const GameIndex* index);
  const GameIndex* index() const { return index_; }

  // Lists the games that pass a new filter, in index order, then sorts them by the sort state.
  void setFilter(PlayerFilter filter);
  const PlayerFilter& filter() const { return filter_; }

  // A click on a column's header (see clickHeader): a second click on the sort column reverses
  // the rows as they stand, without sorting them again.
  HeaderClick clickHeader(int column);
  const RecordSortState& sortState() const { return sort_; }

  int rowCount() const { return static_cast<int>(rows_.size()); }
  // The game number shown in a row; -1 outside the rows.
  int gameAt(int row) const;
  // A cell's stored text (see recordCellText); empty outside the rows.
  std::string_view cellText(int row, int column) const;
  // The record file of a row's game; nothing outside the rows or when it has no path.
  std::optional<std::string> pathOf(int row) const;
  // Bytes held for the rows.
  size_t rowBytes() const { return rows_.capacity() * sizeof(std::uint32_t); }

 private:
  void relist();

  const GameIndex* index_ = nullptr;
  PlayerFilter filter_;
  RecordSortState sort_;
  std::vector<std::uint32_t> rows_;
};

}  // namespace mh
