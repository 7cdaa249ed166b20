#include "patterns/write_back_cache.h"

#include <algorithm>
#include <utility>

namespace mh {

size_t WriteBackCache::heldBytes(const PatternEntry& e) {
  constexpr size_t kBlock = 16;
  return sizeof(PatternEntry) + sizeof(Holder) + 4 * kBlock + e.snapshot.points.capacity() * sizeof(Point) +
         e.candidates.capacity() * sizeof(PatternCandidate) + e.occurrences.capacity() * sizeof(PatternOccurrence) +
         (e.text.capacity() > 15 ? e.text.capacity() : 0);
}

const WriteBackCache::Holder* WriteBackCache::holderOf(int number) const {
  if (number < 0 || static_cast<size_t>(number) >= slotOf_.size()) return nullptr;
  const std::int32_t slot = slotOf_[static_cast<size_t>(number)];
  return slot < 0 ? nullptr : &pool_[static_cast<size_t>(slot)];
}

WriteBackCache::Holder* WriteBackCache::holderOf(int number) {
  return const_cast<Holder*>(std::as_const(*this).holderOf(number));
}

const PatternEntry* WriteBackCache::find(int number) const {
  const Holder* h = holderOf(number);
  return h ? h->entry.get() : nullptr;
}

void WriteBackCache::release(int number) {
  Holder* h = holderOf(number);
  if (!h) return;
  bytes_ -= std::min(bytes_, heldBytes(*h->entry));
  *h->entry = PatternEntry{};
  h->dirty = false;
  freeSlots_.push_back(slotOf_[static_cast<size_t>(number)]);
  slotOf_[static_cast<size_t>(number)] = -1;
}

WriteBackCache::Holder& WriteBackCache::newHolder(int number) {
  std::int32_t slot = -1;
  if (freeSlots_.empty()) {
    slot = static_cast<std::int32_t>(pool_.size());
    pool_.emplace_back();
    pool_.back().entry = std::make_unique<PatternEntry>();
  } else {
    slot = freeSlots_.back();
    freeSlots_.pop_back();
  }
  slotOf_[static_cast<size_t>(number)] = slot;
  clock_.push_back(number);
  return pool_[static_cast<size_t>(slot)];
}

PatternEntry& WriteBackCache::hold(int number, PatternEntry entry) {
  const auto n = static_cast<size_t>(number);
  if (slotOf_.size() <= n) slotOf_.resize(n + 1, -1);
  Holder* h = holderOf(number);
  if (h) {
    bytes_ -= std::min(bytes_, heldBytes(*h->entry));
    *h->entry = std::move(entry);
  } else {
    h = &newHolder(number);
    *h->entry = std::move(entry);
  }
  h->dirty = true;
  h->used();
  bytes_ += heldBytes(*h->entry);
  return *h->entry;
}

PatternEntry* WriteBackCache::beginChange(int number) {
  Holder* h = holderOf(number);
  if (!h) return nullptr;
  bytes_ -= std::min(bytes_, heldBytes(*h->entry));
  return h->entry.get();
}

bool WriteBackCache::endChange(int number) {
  Holder* h = holderOf(number);
  if (!h) return false;
  h->dirty = true;
  h->used();
  bytes_ += heldBytes(*h->entry);
  return evict();
}

bool WriteBackCache::evict() {
  if (bytes_ <= limit_) return true;
  const size_t target = limit_ - limit_ / kBatchShare;
  bool ok = true;
  while (bytes_ > target && hand_ < clock_.size()) {
    const std::int32_t number = clock_[hand_++];
    Holder* h = holderOf(number);
    if (!h) continue;
    if (h->rounds > 0) {  // used since the hand last passed: another round
      --h->rounds;
      clock_.push_back(number);
      continue;
    }
    if (h->dirty && !store_(number, *h->entry)) {
      ok = false;
      clock_.push_back(number);
      break;
    }
    release(number);
  }
  compactClock();
  return ok;
}

void WriteBackCache::compactClock() {
  // The passed part of the queue is dropped once it outweighs the rest.
  if (hand_ <= clock_.size() / 2) return;
  clock_.erase(clock_.begin(), clock_.begin() + static_cast<std::ptrdiff_t>(hand_));
  hand_ = 0;
}

bool WriteBackCache::flush() {
  bool ok = true;
  for (size_t n = 0; n < slotOf_.size(); ++n) {
    Holder* h = holderOf(static_cast<int>(n));
    if (!h || !h->dirty) continue;
    if (store_(static_cast<int>(n), *h->entry)) h->dirty = false;
    else ok = false;
  }
  return ok;
}

}  // namespace mh
