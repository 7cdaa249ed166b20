#pragma once

#include <string>

#include "patterns/game_index.h"

namespace mh {

// One line per game of the index, in index order, tab-separated and in UTF-8: game number, black
// name, black rank, white name, white rank, winner code, result text, move count, relative file
// name. Texts are GB and are converted; the file name is shown as it is when it is UTF-8 (as the
// file system names it) and converted from GB otherwise.
std::string gameIndexListing(const GameIndex& index);

}  // namespace mh
