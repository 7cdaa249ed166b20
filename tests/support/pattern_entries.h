#pragma once

#include <vector>

#include "model/board.h"
#include "patterns/pattern_entry.h"

namespace mh::test {

// A pattern-library entry for a position and side to move, with its candidates (in the order
// given) and occurrences.
PatternEntry patternEntry(const Board& board, int side, std::vector<PatternCandidate> candidates,
                          std::vector<PatternOccurrence> occurrences = {});

}  // namespace mh::test
