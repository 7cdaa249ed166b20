#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "patterns/game_index.h"

namespace mh {

// Which games of the record library are listed: every game when the name is empty, otherwise the
// games this player (a GB name, compared byte for byte) played with the chosen colour.
struct PlayerFilter {
  enum Colour : int { AnyColour = 0, AsBlack = 1, AsWhite = 2 };

  std::string name;
  int colour = AnyColour;

  friend bool operator==(const PlayerFilter&, const PlayerFilter&) = default;
};

bool passesFilter(const GameIndexEntry& entry, const PlayerFilter& filter);

// The numbers of the index's games that pass the filter, in index order.
std::vector<std::uint32_t> filteredGames(const GameIndex& index, const PlayerFilter& filter);

}  // namespace mh
