#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mh {

// The hash index of a pattern library: 200000 buckets, each listing entry numbers in insertion
// order. Stored as intrusive chains (a head and a tail per bucket, one link per entry) so an
// empty table costs nothing and a full one about 1.6 MB plus 4 bytes per entry.
class PatternHashTable {
 public:
  static constexpr std::int32_t kBuckets = 200000;

  void clear();
  // Room for entry numbers below count without regrowing.
  void reserve(size_t count) { link_.reserve(count); }
  // Appends number to bucket hash; a hash outside 0..kBuckets-1 or a negative number is ignored.
  // Each number may be inserted once.
  void insert(std::int32_t hash, std::int32_t number);
  // The first number in bucket hash, or -1; then next(number) walks the bucket, -1 at its end.
  std::int32_t first(std::int32_t hash) const {
    return hash >= 0 && hash < kBuckets && !head_.empty() ? head_[static_cast<size_t>(hash)] : -1;
  }
  std::int32_t next(std::int32_t number) const { return link_[static_cast<size_t>(number)]; }

 private:
  std::vector<std::int32_t> head_;
  std::vector<std::int32_t> tail_;
  std::vector<std::int32_t> link_;  // by entry number: the next number in the same bucket
};

}  // namespace mh
