#include "patterns/write_back_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>
#include <vector>

namespace mh {
namespace {

PatternEntry entryOf(int seed, int occurrences = 1) {
  PatternEntry e;
  e.snapshot.blackCount = 1;
  e.snapshot.points = {seed};
  e.side = 1;
  for (int i = 0; i < occurrences; ++i) e.occurrences.push_back({seed, 1, static_cast<std::int16_t>(i)});
  return e;
}

// A store that records what reached it, and can be told to fail.
struct Sink {
  std::vector<int> order;
  std::map<int, PatternEntry> stored;
  bool failing = false;
  WriteBackCache::Store fn() {
    return [this](int n, const PatternEntry& e) {
      if (failing) return false;
      order.push_back(n);
      stored[n] = e;
      return true;
    };
  }
};

size_t bytesOf(int count) { return static_cast<size_t>(count) * WriteBackCache::heldBytes(entryOf(0)); }

// Held entries are written out only once the limit is passed, oldest first, down to a sixteenth
// below the limit; an entry used since the hand passed it gets a second round.
TEST(WriteBackCache, EvictsTheLeastRecentlyUsedDownToASixteenthBelowTheLimit) {
  constexpr int kLimit = static_cast<int>(WriteBackCache::kBatchShare);  // entries
  Sink sink;
  WriteBackCache cache(bytesOf(kLimit), sink.fn());
  for (int n = 0; n < kLimit; ++n) cache.hold(n, entryOf(n));
  ASSERT_TRUE(cache.evict());
  EXPECT_TRUE(sink.order.empty()) << "nothing passes the limit yet";
  // Every entry was just used: the first pass only clears their marks, then the oldest go.
  cache.hold(kLimit, entryOf(kLimit));
  ASSERT_TRUE(cache.evict());
  EXPECT_EQ(sink.order, (std::vector<int>{0, 1}));
  EXPECT_LE(cache.bytes(), bytesOf(kLimit - 1));
  for (int n : {0, 1}) EXPECT_EQ(cache.find(n), nullptr);
  EXPECT_EQ(sink.stored[1], entryOf(1));
  // Entry 2 is changed (and so used) now: 3 and 4 go before it.
  PatternEntry* e = cache.beginChange(2);
  ASSERT_NE(e, nullptr);
  e->occurrences.push_back({2, 2, 2});
  ASSERT_TRUE(cache.endChange(2));
  for (int n = kLimit + 1; n < kLimit + 3; ++n) cache.hold(n, entryOf(n));
  ASSERT_TRUE(cache.evict());
  // Entry 2 grew by its change, so a third entry may go as well; never entry 2 itself.
  ASSERT_GE(sink.order.size(), 4u);
  EXPECT_EQ(std::vector<int>(sink.order.begin(), sink.order.begin() + 4), (std::vector<int>{0, 1, 3, 4}));
  EXPECT_NE(cache.find(2), nullptr);
}

// Each use gives an entry another round of the hand: an entry used again and again (the opening's,
// the largest and dearest to write and read back) outlives entries used once.
TEST(WriteBackCache, EntriesUsedMoreOftenOutliveThoseUsedOnce) {
  constexpr int kLimit = static_cast<int>(WriteBackCache::kBatchShare);
  const struct {
    int uses;
    std::vector<int> evicted;
  } table[] = {{1, {0, 1}}, {2, {1, 2}}, {5, {1, 2}}};
  for (const auto& row : table) {
    Sink sink;
    WriteBackCache cache(bytesOf(kLimit), sink.fn());
    for (int n = 0; n < kLimit; ++n) cache.hold(n, entryOf(n));
    for (int u = 1; u < row.uses; ++u) {
      ASSERT_NE(cache.beginChange(0), nullptr);
      ASSERT_TRUE(cache.endChange(0));
    }
    cache.hold(kLimit, entryOf(kLimit));
    ASSERT_TRUE(cache.evict());
    EXPECT_EQ(sink.order, row.evicted) << row.uses << " uses";
  }
}

// A store that fails loses nothing: the entry stays held, the failure is reported, and a later
// eviction or flush writes it.
TEST(WriteBackCache, AFailedStoreKeepsTheEntry) {
  Sink sink;
  WriteBackCache cache(bytesOf(2), sink.fn());
  cache.hold(0, entryOf(0, 3));
  sink.failing = true;
  cache.hold(1, entryOf(1));
  cache.hold(2, entryOf(2));
  EXPECT_FALSE(cache.evict());
  EXPECT_FALSE(cache.flush());
  for (int n = 0; n < 3; ++n) ASSERT_NE(cache.find(n), nullptr) << n;
  sink.failing = false;
  ASSERT_TRUE(cache.flush());
  EXPECT_EQ(sink.order, (std::vector<int>{0, 1, 2})) << "flush goes in number order";
  EXPECT_EQ(sink.stored[0], entryOf(0, 3));
  sink.order.clear();
  ASSERT_TRUE(cache.flush());
  EXPECT_TRUE(sink.order.empty()) << "a flushed entry is clean until changed again";
}

// The bytes counted against the limit follow the entries as they are replaced and changed.
TEST(WriteBackCache, AccountsForChangedAndReplacedEntries) {
  Sink sink;
  WriteBackCache cache(size_t{1} << 30, sink.fn());
  cache.hold(5, entryOf(5));
  const size_t one = cache.bytes();
  EXPECT_EQ(one, WriteBackCache::heldBytes(*cache.find(5)));
  cache.hold(5, entryOf(5, 100));
  EXPECT_EQ(cache.bytes(), WriteBackCache::heldBytes(*cache.find(5)));
  EXPECT_GT(cache.bytes(), one);
  PatternEntry* e = cache.beginChange(5);
  e->occurrences.resize(1000);
  ASSERT_TRUE(cache.endChange(5));
  EXPECT_EQ(cache.bytes(), WriteBackCache::heldBytes(*cache.find(5)));
  EXPECT_EQ(cache.beginChange(6), nullptr) << "only held entries open for a change";
  EXPECT_FALSE(cache.endChange(6));
}


// The listing of held numbers that a walk over every number trusts instead of asking find: it
// must name exactly the entries find knows, ascending, through holds, changes, evictions and the
// reuse of freed holders, since an entry it left out would be taken from its stale stored value.
TEST(WriteBackCache, ListsExactlyTheHeldNumbersInOrder) {
  constexpr int kNumbers = 200;
  Sink sink;
  WriteBackCache cache(bytesOf(24), sink.fn());
  unsigned seed = 7;
  const auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
  for (int step = 0; step < 600; ++step) {
    const int n = static_cast<int>(next() % kNumbers);
    if (next() % 3 == 0 && cache.beginChange(n) != nullptr) {
      ASSERT_TRUE(cache.endChange(n));
    } else {
      cache.hold(n, entryOf(n, 1 + static_cast<int>(next() % 4)));
      ASSERT_TRUE(cache.evict());
    }
    std::vector<std::int32_t> expected;
    for (int m = 0; m < kNumbers; ++m)
      if (cache.find(m) != nullptr) expected.push_back(m);
    std::vector<std::int32_t> listed{-5};  // appended to, not replaced
    cache.heldNumbers(listed);
    ASSERT_EQ(std::vector<std::int32_t>(listed.begin() + 1, listed.end()), expected) << "step " << step;
  }
  EXPECT_FALSE(sink.order.empty()) << "the limit was passed and holders were reused";
}


// Only an entry whose held value is the stored one may be let go: dropping a changed one would
// lose the change. A dropped number is gone from every listing, and the hand passes over it.
TEST(WriteBackCache, DropsOnlyEntriesStoredAsTheyStand) {
  Sink sink;
  WriteBackCache cache(bytesOf(8), sink.fn());
  for (int n = 0; n < 4; ++n) cache.hold(n, entryOf(n));
  EXPECT_FALSE(cache.dropStored(1)) << "changed since it was last stored";
  EXPECT_FALSE(cache.dropStored(9)) << "not held";
  ASSERT_TRUE(cache.flush());
  cache.hold(2, entryOf(2, 2));  // changed again after the flush
  const size_t before = cache.bytes();
  EXPECT_TRUE(cache.dropStored(1));
  EXPECT_FALSE(cache.dropStored(1)) << "already gone";
  EXPECT_FALSE(cache.dropStored(2));
  EXPECT_EQ(cache.find(1), nullptr);
  ASSERT_NE(cache.find(2), nullptr);
  EXPECT_EQ(before - cache.bytes(), WriteBackCache::heldBytes(entryOf(1)));
  std::vector<std::int32_t> listed;
  cache.heldNumbers(listed);
  EXPECT_EQ(listed, (std::vector<std::int32_t>{0, 2, 3}));
  // The hand meets the dropped number's place in its queue and goes on to the next.
  sink.order.clear();
  for (int n = 10; n < 20; ++n) cache.hold(n, entryOf(n));
  ASSERT_TRUE(cache.evict());
  EXPECT_EQ(std::count(sink.order.begin(), sink.order.end(), 1), 0);
  ASSERT_TRUE(cache.flush());
  EXPECT_EQ(sink.stored[2], entryOf(2, 2)) << "the change made after the flush reaches the store";
  EXPECT_EQ(sink.stored[1], entryOf(1));
}

// A new entry made on spare buffers must have every capacity it would have had without them:
// what it counts against the limit decides when entries are written out, and so the warehouse.
TEST(SpareEntryLists, NewEntriesKeepTheCapacitiesTheyWouldHaveHad) {
  // On a thread of its own, so that no earlier test left spares behind.
  std::thread([] {
    SpareEntryLists& spares = SpareEntryLists::ofThread();
    const auto made = [](size_t points, bool lent) {
      PatternEntry e;
      if (lent) SpareEntryLists::ofThread().lend(e, points);
      BoardSnapshot key;
      key.points.assign(points, 3);
      key.blackCount = static_cast<std::int32_t>(points);
      e.snapshot = key;
      e.occurrences.push_back({1, 2, 3});
      e.insertCandidate({3, 1, 0, 0});
      return e;
    };
    // Spares of many capacities, including ones no new entry asks for.
    for (size_t points : {0, 1, 2, 3, 5, 8, 40, 361, 362, 700}) {
      PatternEntry e = made(points, false);
      e.occurrences.reserve(points + 1);
      spares.keep(e);
      EXPECT_EQ(e, PatternEntry{});
      PatternEntry plain = made(points, false);
      spares.keep(plain);
    }
    for (size_t points : {0, 1, 2, 3, 5, 8, 40, 361, 362, 700, 9}) {
      SCOPED_TRACE(points);
      const PatternEntry lent = made(points, true);
      const PatternEntry plain = made(points, false);
      EXPECT_EQ(lent, plain);
      EXPECT_EQ(lent.snapshot.points.capacity(), plain.snapshot.points.capacity());
      EXPECT_EQ(lent.candidates.capacity(), plain.candidates.capacity());
      EXPECT_EQ(lent.occurrences.capacity(), plain.occurrences.capacity());
      EXPECT_EQ(WriteBackCache::heldBytes(lent), WriteBackCache::heldBytes(plain));
    }
    // A buffer kept is the one handed out again.
    PatternEntry e = made(7, false);
    const Point* buffer = e.snapshot.points.data();
    spares.keep(e);
    PatternEntry next;
    spares.lend(next, 7);
    EXPECT_EQ(next.snapshot.points.data(), buffer);
    // What is kept stays within its bound however much is dropped.
    for (int i = 0; i < 100000; ++i) {
      PatternEntry big = made(static_cast<size_t>(i % 300), false);
      spares.keep(big);
    }
    EXPECT_LE(spares.bytes(), SpareEntryLists::kMaxBytes);
    EXPECT_GT(spares.bytes(), SpareEntryLists::kMaxBytes / 2);
  }).join();
}

}  // namespace
}  // namespace mh
