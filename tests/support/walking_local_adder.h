#pragma once

#include "model/game_record.h"
#include "patterns/pattern_library.h"

namespace mh::test {

// The local adder in its plainest form: both clusters walked on every move of the first 150, as
// the rule for local positions reads. The library's adder follows the clusters move by move
// instead and must record exactly what this records.
void addByWalkingClusters(PatternLibrary& library, const GameRecord& record, int winner, int game);

}  // namespace mh::test
