#include "patterns/pattern_store.h"

#include "patterns/pattern_hash_table.h"

namespace mh {

std::int32_t patternHashOf(const BoardSnapshot& snapshot) {
  std::uint32_t sum = 0;
  for (Point p : snapshot.points) sum += static_cast<std::uint32_t>(p);
  return patternHashOfSum(sum);
}

std::int32_t patternHashOfSum(std::uint32_t sum) {
  const auto value = static_cast<std::int64_t>(static_cast<std::int32_t>(sum));
  return static_cast<std::int32_t>((value < 0 ? -value : value) % PatternHashTable::kBuckets);
}

PatternIndexRecord patternRecordFor(const PatternEntry& e, std::int32_t location) {
  return PatternIndexRecord{patternHashOf(e.snapshot), location, e.snapshot.blackCount, e.snapshot.whiteCount, e.side};
}

bool countsMatchPoints(const BoardSnapshot& s) {
  return s.blackCount >= 0 && s.whiteCount >= 0 &&
         static_cast<std::int64_t>(s.blackCount) + s.whiteCount == static_cast<std::int64_t>(s.points.size());
}

}  // namespace mh
