#include "patterns/pattern_hash_table.h"

namespace mh {

void PatternHashTable::clear() {
  head_.clear();
  head_.shrink_to_fit();
  tail_.clear();
  tail_.shrink_to_fit();
  link_.clear();
  link_.shrink_to_fit();
}

void PatternHashTable::insert(std::int32_t hash, std::int32_t number) {
  if (hash < 0 || hash >= kBuckets || number < 0) return;
  if (head_.empty()) {
    head_.assign(kBuckets, -1);
    tail_.assign(kBuckets, -1);
  }
  const auto n = static_cast<size_t>(number);
  if (link_.size() <= n) link_.resize(n + 1, -1);
  link_[n] = -1;
  const auto b = static_cast<size_t>(hash);
  if (tail_[b] < 0) head_[b] = number;
  else link_[static_cast<size_t>(tail_[b])] = number;
  tail_[b] = number;
}

}  // namespace mh
