#include "patterns/write_back_cache.h"

#include <algorithm>
#include <utility>

namespace mh {

namespace {

// What a buffer of n bytes takes from the allocator: a word of its own, rounded up to 16 bytes,
// at least 32.
size_t chunkBytes(size_t n) { return std::max<size_t>(32, (n + 8 + 15) & ~size_t{15}); }

}  // namespace

SpareEntryLists& SpareEntryLists::ofThread() {
  thread_local SpareEntryLists spares;
  return spares;
}

template <class T>
void SpareEntryLists::keepList(std::vector<T>& list, std::vector<std::vector<T>>& shelf) {
  const size_t bytes = chunkBytes(list.capacity() * sizeof(T));
  if (list.capacity() == 0 || bytes_ + bytes > kMaxBytes) {
    list = {};
    return;
  }
  list.clear();
  shelf.push_back(std::move(list));
  list = {};
  bytes_ += bytes;
}

template <class T>
void SpareEntryLists::lendList(std::vector<T>& list, std::vector<std::vector<T>>& shelf) {
  if (shelf.empty() || list.capacity() != 0) return;
  list = std::move(shelf.back());
  shelf.pop_back();
  bytes_ -= chunkBytes(list.capacity() * sizeof(T));
}

void SpareEntryLists::keep(PatternEntry& entry) {
  std::vector<Point>& points = entry.snapshot.points;
  if (points.capacity() <= kMaxPoints) {
    if (points_.size() <= points.capacity()) points_.resize(points.capacity() + 1);
    keepList(points, points_[points.capacity()]);
  }
  if (entry.candidates.capacity() == 1) keepList(entry.candidates, candidates_);
  if (entry.occurrences.capacity() == 1) keepList(entry.occurrences, occurrences_);
  entry = PatternEntry{};
}

void SpareEntryLists::lend(PatternEntry& entry, size_t pointCount) {
  if (pointCount < points_.size()) lendList(entry.snapshot.points, points_[pointCount]);
  lendList(entry.candidates, candidates_);
  lendList(entry.occurrences, occurrences_);
}

size_t WriteBackCache::heldBytes(const PatternEntry& e) {
  constexpr size_t kBlock = 16;
  return sizeof(PatternEntry) + sizeof(Holder) + 4 * kBlock + e.snapshot.points.capacity() * sizeof(Point) +
         e.candidates.capacity() * sizeof(PatternCandidate) + e.occurrences.capacity() * sizeof(PatternOccurrence) +
         (e.text.capacity() > 15 ? e.text.capacity() : 0);
}

const WriteBackCache::Holder* WriteBackCache::holderOf(int number) const {
  if (number < 0) return nullptr;
  if (number == lastNumber_) return &pool_[static_cast<size_t>(lastSlot_)];
  const std::int32_t* slot = slotOf_.find(static_cast<size_t>(number));
  if (!slot) return nullptr;
  lastNumber_ = number;
  lastSlot_ = *slot;
  return &pool_[static_cast<size_t>(*slot)];
}

WriteBackCache::Holder* WriteBackCache::holderOf(int number) {
  return const_cast<Holder*>(std::as_const(*this).holderOf(number));
}

const PatternEntry* WriteBackCache::find(int number) const {
  const Holder* h = holderOf(number);
  return h ? h->entry.get() : nullptr;
}

void WriteBackCache::release(Holder* h) {
  const int number = h->number;
  if (number == lastNumber_) lastNumber_ = -1;
  bytes_ -= std::min(bytes_, heldBytes(*h->entry));
  SpareEntryLists::ofThread().keep(*h->entry);
  h->dirty = false;
  h->number = -1;
  freeSlots_.push_back(static_cast<std::int32_t>(h - pool_.data()));
  slotOf_.erase(static_cast<size_t>(number));
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
  slotOf_.set(static_cast<size_t>(number), slot);
  clock_.push_back({number, slot});
  Holder& h = pool_[static_cast<size_t>(slot)];
  h.number = number;
  lastNumber_ = number;
  lastSlot_ = slot;
  return h;
}

PatternEntry& WriteBackCache::hold(int number, PatternEntry entry) {
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
    const auto [number, slot] = clock_[hand_++];
    // The holder the number was taken in mostly still holds it; else it may have been released
    // and taken again elsewhere.
    Holder* h = &pool_[static_cast<size_t>(slot)];
    if (h->number != number && (h = holderOf(number)) == nullptr) continue;
    const Place place{number, static_cast<std::int32_t>(h - pool_.data())};
    if (h->rounds > 0) {  // used since the hand last passed: another round
      --h->rounds;
      clock_.push_back(place);
      continue;
    }
    if (h->dirty && !store_(number, *h->entry)) {
      ok = false;
      clock_.push_back(place);
      break;
    }
    release(h);
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

void WriteBackCache::heldNumbers(std::vector<std::int32_t>& out) const {
  const size_t from = out.size();
  for (const Holder& h : pool_)
    if (h.number >= 0) out.push_back(h.number);
  std::sort(out.begin() + static_cast<std::ptrdiff_t>(from), out.end());
}

bool WriteBackCache::dropStored(int number) {
  Holder* h = holderOf(number);
  if (h == nullptr || h->dirty) return false;
  release(h);
  return true;
}

bool WriteBackCache::flush() {
  std::vector<std::int32_t> changed;
  for (const Holder& h : pool_)
    if (h.number >= 0 && h.dirty) changed.push_back(h.number);
  std::sort(changed.begin(), changed.end());
  bool ok = true;
  for (const std::int32_t number : changed) {
    Holder& h = *holderOf(number);
    if (store_(number, *h.entry)) h.dirty = false;
    else ok = false;
  }
  return ok;
}

}  // namespace mh
