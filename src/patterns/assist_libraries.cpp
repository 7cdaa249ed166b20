#include "patterns/assist_libraries.h"

#include "shapes/local_position.h"

namespace mh {

namespace {

constexpr int kClusterDistance = 5;

std::optional<Point> fromGlobal(const PatternLibrary& library, const GameState& state, int colour,
                                std::mt19937& rng) {
  PatternEntry entry;
  if (!library.findWithSymmetries(state.board().snapshot(), colour, entry, EntryParts::WithoutOccurrences))
    return std::nullopt;
  const int picked = pickByPlayed(entry.candidates, static_cast<std::uint32_t>(rng()));
  if (picked < 0) return std::nullopt;
  const Point point = entry.candidates[static_cast<size_t>(picked)].point;
  if (point < 0 || state.isIllegal(colour, point)) return std::nullopt;
  return point;
}

std::optional<Point> fromLocal(const PatternLibrary& library, const GameState& state, int colour,
                               std::mt19937& rng) {
  const auto& entries = state.mainRecord().entries();
  if (entries.empty() || !entries.back().hasMove() || entries.back().point < 0) return std::nullopt;
  LocalPosition cluster;
  if (!clusterAt(state.board(), entries.back().point, kClusterDistance, cluster)) return std::nullopt;
  Board only;
  if (!boardOf(cluster, only)) return std::nullopt;
  PatternEntry entry;
  if (!library.findWithSymmetries(only.snapshot(), colour, entry, EntryParts::WithoutOccurrences) ||
      entry.candidates.empty())
    return std::nullopt;
  const Point point = entry.candidates[rng() % entry.candidates.size()].point;
  if (point >= 0 && state.isIllegal(colour, point)) return std::nullopt;
  return point;
}

}  // namespace

int pickByPlayed(const std::vector<PatternCandidate>& candidates, std::uint32_t r) {
  std::int64_t sum = 0;
  for (const PatternCandidate& c : candidates) sum += c.played > 0 ? c.played : 0;
  if (sum <= 0) return -1;
  const std::int64_t target = static_cast<std::int64_t>(r) % sum;
  std::int64_t running = 0;
  for (size_t i = 0; i < candidates.size(); ++i) {
    running += candidates[i].played > 0 ? candidates[i].played : 0;
    if (running > target) return static_cast<int>(i);
  }
  return -1;  // not reached: the running sum ends at sum > target
}

std::optional<Point> assistMove(const AssistLibraries& libraries, const GameState& state, int colour,
                                std::mt19937& rng) {
  if (libraries.global) {
    if (auto point = fromGlobal(*libraries.global, state, colour, rng)) return point;
  }
  if (libraries.local) return fromLocal(*libraries.local, state, colour, rng);
  return std::nullopt;
}

}  // namespace mh
