#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace mh {

// The players files of the record library's player dialog, one per tab, in tab order: all
// players, famous professionals, well-known online players, famous amateurs. They live in the
// program's directory.
inline constexpr std::array<const char*, 4> kPlayersFileNames = {"players.ini", "players_ProfFamous.ini",
                                                                 "players_Net.ini", "players_Amateur.ini"};

// The names of a players file's text: one GB name per line, blanks (spaces, tabs, CR, LF) trimmed
// at both ends, empty lines and lines starting with ";" skipped; sorted by bytes, each name once.
// A line is taken up to its first 1023 bytes (never splitting a two-byte character); the rest of
// a longer line is dropped.
std::vector<std::string> parsePlayersText(std::string_view text);

// The names of a players file; a missing or unreadable file gives none.
std::vector<std::string> readPlayersFile(const std::string& path);

}  // namespace mh
