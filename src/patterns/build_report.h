#pragma once

#include <string>

#include "patterns/pattern_base_build.h"

namespace mh {

// The three closing lines of a build:
//   index <games in the index>
//   global <entries> entries, <games added in this run> games added
//   local <entries> entries, <games added in this run> games added
std::string buildSummary(const BuildResult& result);

// One line of build progress: the phase's name ("index", "global", "local"), games done and
// total, and with a bar width above 0 a bar of that many cells in front ("[#####.....] ").
std::string buildProgressLine(int phase, int total, int current, int barWidth);

}  // namespace mh
