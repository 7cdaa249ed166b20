#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "patterns/pattern_entry.h"
#include "platform/number_map.h"

namespace mh {

// The list buffers of entries a cache dropped, kept by each thread for the new entries it makes
// next: a build adds a new entry for most positions it meets and drops about as many, and a
// buffer taken from here spares the allocator a call and the free that went before it. Only a
// buffer of exactly the capacity the new entry would have allocated is handed out, so every
// entry's capacities, and with them what it counts against a cache limit, stay what they would
// be. What is kept is bounded (kMaxBytes, as the allocator counts them); beyond it buffers are
// freed as before.
class SpareEntryLists {
 public:
  static constexpr size_t kMaxBytes = size_t{1} << 20;
  // The longest point list kept (a full 19 x 19 board): longer ones are freed.
  static constexpr size_t kMaxPoints = 361;

  // The calling thread's spares.
  static SpareEntryLists& ofThread();
  // Takes entry's lists as spares where they fit, frees the rest; entry is left empty.
  void keep(PatternEntry& entry);
  // Gives the empty lists of a new entry the buffers they would allocate for a key of
  // pointCount points and a first candidate and occurrence, where spares of those capacities
  // are kept; a list left without one allocates as it would have.
  void lend(PatternEntry& entry, size_t pointCount);
  size_t bytes() const { return bytes_; }

 private:
  template <class T>
  void keepList(std::vector<T>& list, std::vector<std::vector<T>>& shelf);
  template <class T>
  void lendList(std::vector<T>& list, std::vector<std::vector<T>>& shelf);

  std::vector<std::vector<std::vector<Point>>> points_;  // by capacity
  std::vector<std::vector<PatternCandidate>> candidates_;  // of capacity 1
  std::vector<std::vector<PatternOccurrence>> occurrences_;  // of capacity 1
  size_t bytes_ = 0;
};

// Changed library entries held in memory by entry number instead of being stored at each change,
// at most about a byte limit of them. When the held bytes pass the limit, entries are written out
// through the store function and dropped, down to a sixteenth below the limit: the store gathers
// what it writes anyway, and short batches keep the cache nearly full (fewer entries read back)
// and the caller's pace even (a long batch stalls whatever waits on it). The hand goes round the
// held entries in the order they were taken in; each use gives an entry another round (up to
// kMaxRounds), so an entry used in every game (the opening's, which are also the largest and so
// the dearest to write and read back) outlives those used once.
// An entry whose store fails stays held, so nothing is lost while the cache lives.
class WriteBackCache {
 public:
  using Store = std::function<bool(int number, const PatternEntry& entry)>;

  WriteBackCache(size_t limit, Store store) : limit_(limit), store_(std::move(store)) {}

  void setLimit(size_t limit) { limit_ = limit; }
  size_t limit() const { return limit_; }
  // Bytes held, as accounted against the limit.
  size_t bytes() const { return bytes_; }

  // The held entry of number, or nullptr.
  const PatternEntry* find(int number) const;
  // Holds entry (new or changed) for number, in place of what was held: changed and recently used.
  PatternEntry& hold(int number, PatternEntry entry);
  // The held entry of number, opened for a change in place, or nullptr when it is not held.
  // endChange must follow before any other call.
  PatternEntry* beginChange(int number);
  // Marks the entry opened by beginChange changed and recently used, then evicts.
  [[nodiscard]] bool endChange(int number);
  // Writes out and drops entries until the held bytes are under the limit; false when a store
  // failed (that entry stays held and is tried again later).
  [[nodiscard]] bool evict();
  // The numbers of every held entry, ascending, appended to out.
  void heldNumbers(std::vector<std::int32_t>& out) const;
  // Stores every changed entry, in number order, keeping them held. False when a store failed.
  [[nodiscard]] bool flush();
  // Lets go of number's entry when it is held and stored as it stands (not changed since it was
  // last stored), giving its memory back; a later find reads it from the store. False when it is
  // not held, or held changed (then it stays).
  bool dropStored(int number);

  // What one held entry counts against the limit: the entry, its holder and the heap blocks of
  // its lists, each with the allocator's overhead.
  static size_t heldBytes(const PatternEntry& entry);
  // The rounds of the hand an entry used again and again survives unused.
  static constexpr std::uint8_t kMaxRounds = 3;
  // An eviction goes down to limit - limit / kBatchShare.
  static constexpr size_t kBatchShare = 16;

 private:
  struct Holder {
    std::unique_ptr<PatternEntry> entry;  // kept, emptied, while the holder is free
    std::int32_t number = -1;  // the entry it holds
    bool dirty = false;
    std::uint8_t rounds = 0;  // rounds of the hand it survives unused
    void used() { rounds = std::min<std::uint8_t>(rounds + 1, kMaxRounds); }
  };
  Holder* holderOf(int number);
  const Holder* holderOf(int number) const;
  // Frees a holder in use: its entry goes, its number is no longer held.
  void release(Holder* h);
  Holder& newHolder(int number);
  void compactClock();

  size_t limit_;
  Store store_;
  size_t bytes_ = 0;
  // Held numbers' holders in pool_: a few hundred thousand among millions of numbers, so a map,
  // where an array by number would take 4 bytes for every entry of the library.
  NumberMap<std::int32_t> slotOf_;
  // The holder last looked up or taken: an update looks its entry up to begin and again to end,
  // and each look-up in the map is a miss of the processor's cache.
  mutable int lastNumber_ = -1;
  mutable std::int32_t lastSlot_ = -1;
  std::vector<Holder> pool_;
  std::vector<std::int32_t> freeSlots_;
  // Held numbers in the order they were taken in, each with the holder it was in when queued, so
  // that the hand's pass reads the holder straight away instead of probing the map.
  struct Place {
    std::int32_t number;
    std::int32_t slot;
  };
  std::vector<Place> clock_;
  size_t hand_ = 0;
};

}  // namespace mh
