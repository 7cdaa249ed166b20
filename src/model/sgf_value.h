#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/point.h"

namespace mh::sgf {

// Trims single-byte white space (space, tab, LF, VT, FF, CR) from both ends.
std::string_view trim(std::string_view text);

// Splits at ":"; runs of ":" count as one separator, leading and trailing ones are ignored.
std::vector<std::string_view> splitAtColons(std::string_view text);

// (first letter - 'a', second letter - 'a') when the trimmed text is exactly two characters.
std::optional<Coord> parseCoord(std::string_view text);

// Two letters 'a' + x, 'a' + y for point p on a board of the given width.
std::string pointText(Point p, int width);
std::string coordText(Coord c);

// The letter pair written for a pass on a board of the given width: one that reads back as a
// point off the board. "tt" up to 19 wide (the usual form), "ZZ" (x below 0) on wider boards.
std::string passText(int width);

// A decimal integer with optional sign and surrounding white space; nothing when the text holds
// anything else or the value does not fit an int.
std::optional<int> parseInt(std::string_view text);

}  // namespace mh::sgf
