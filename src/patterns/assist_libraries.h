#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "model/game_state.h"
#include "patterns/pattern_candidate.h"
#include "patterns/pattern_library.h"

namespace mh {

// The pattern libraries that may answer for a program player before it thinks itself: a global
// (whole-board) and a local (cluster) library, opened by whoever owns them (the application's
// default pattern base). Not owned: they must outlive every player that uses them. Look-ups only
// read them, so players on several threads may share them.
struct AssistLibraries {
  const PatternLibrary* global = nullptr;
  const PatternLibrary* local = nullptr;
};

// The candidate that draw r picks when each weighs its played count: r mod the sum of the counts,
// then the first candidate, in stored order, whose running sum exceeds that. -1 when the counts
// sum to 0 or less; a negative count (a damaged file) weighs nothing.
int pickByPlayed(const std::vector<PatternCandidate>& candidates, std::uint32_t r);

// The move the libraries suggest for colour on the state's current position, or nothing when
// they know no usable one:
// 1. the global library's entry for the whole board (any of its symmetries), a candidate picked
//    by pickByPlayed; a pass is not taken;
// 2. the local library's entry for the cluster (Manhattan distance 5) of the main record's last
//    move, a candidate picked uniformly; a pass is taken.
// A picked point that the state would refuse (occupied, suicide, ko) is not taken either, so the
// next step is tried. Draws from rng; runs on the thread that owns the state.
std::optional<Point> assistMove(const AssistLibraries& libraries, const GameState& state, int colour,
                                std::mt19937& rng);

}  // namespace mh
