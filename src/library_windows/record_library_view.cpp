#include "library_windows/record_library_view.h"

#include <algorithm>

#include "library_windows/record_columns.h"

namespace mh {

void RecordLibraryView::setIndex(const GameIndex* index) {
  index_ = index;
  relist();
}

void RecordLibraryView::setFilter(PlayerFilter filter) {
  filter_ = std::move(filter);
  relist();
}

void RecordLibraryView::relist() {
  rows_ = {};
  if (!index_) return;
  rows_ = filteredGames(*index_, filter_);
  sortGames(rows_, *index_, sort_);
}

HeaderClick RecordLibraryView::clickHeader(int column) {
  const HeaderClick click = mh::clickHeader(sort_, column);
  if (click == HeaderClick::Reversed) std::reverse(rows_.begin(), rows_.end());
  else if (click == HeaderClick::Sorted && index_) sortGames(rows_, *index_, sort_);
  return click;
}

int RecordLibraryView::gameAt(int row) const {
  return row >= 0 && row < rowCount() ? static_cast<int>(rows_[static_cast<size_t>(row)]) : -1;
}

std::string_view RecordLibraryView::cellText(int row, int column) const {
  const int game = gameAt(row);
  return game < 0 ? std::string_view{} : recordCellText(index_->entry(game), column);
}

std::optional<std::string> RecordLibraryView::pathOf(int row) const {
  const int game = gameAt(row);
  if (game < 0 || recordCellText(index_->entry(game), kFileColumn).empty()) return std::nullopt;
  return index_->pathOf(game);
}

}  // namespace mh
