#include "library_windows/player_filter.h"

#include "library_windows/record_columns.h"

namespace mh {

bool passesFilter(const GameIndexEntry& entry, const PlayerFilter& filter) {
  if (filter.name.empty()) return true;
  const bool black = filter.colour == PlayerFilter::AnyColour || filter.colour == PlayerFilter::AsBlack;
  const bool white = filter.colour == PlayerFilter::AnyColour || filter.colour == PlayerFilter::AsWhite;
  return (black && recordCellText(entry, kBlackColumn) == filter.name) ||
         (white && recordCellText(entry, kWhiteColumn) == filter.name);
}

std::vector<std::uint32_t> filteredGames(const GameIndex& index, const PlayerFilter& filter) {
  std::vector<std::uint32_t> games;
  const auto& entries = index.entries();
  games.reserve(filter.name.empty() ? entries.size() : 0);
  for (size_t g = 0; g < entries.size(); ++g)
    if (passesFilter(entries[g], filter)) games.push_back(static_cast<std::uint32_t>(g));
  games.shrink_to_fit();
  return games;
}

}  // namespace mh
