#include "support/pattern_entries.h"

namespace mh::test {

PatternEntry patternEntry(const Board& board, int side, std::vector<PatternCandidate> candidates,
                          std::vector<PatternOccurrence> occurrences) {
  PatternEntry e;
  e.snapshot = board.snapshot();
  e.side = static_cast<std::uint8_t>(side);
  e.candidates = std::move(candidates);
  e.occurrences = std::move(occurrences);
  return e;
}

}  // namespace mh::test
