#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/board_snapshot.h"
#include "patterns/pattern_entry.h"
#include "patterns/pattern_index_record.h"

namespace mh {

// Where a pattern library keeps its entries.
// - Memory: entries live in memory and can be added or changed in place.
// - Index: read-only; what look-ups need of the index records is in memory, the entries are read
//   from the data file ("wpbin") on demand.
// - Warehouse: entries live in a Warehouse under their decimal number; the records stay in memory.
enum class PatternStoreKind { Memory, Index, Warehouse };

// The storage of a pattern library: entries numbered from 0 in the order they were added, found
// by key (snapshot and side to move). Nothing here shows a message; every operation reports by
// its result.
class PatternStore {
 public:
  virtual ~PatternStore() = default;

  virtual PatternStoreKind kind() const = 0;
  virtual int count() const = 0;
  // The number of the entry whose snapshot and side equal the given ones, or -1; the entry is
  // copied into out when given.
  virtual int find(const BoardSnapshot& snapshot, int side, PatternEntry* out) const = 0;
  // Whether an entry has the key, copying the parts asked for into out: a store that reads
  // entries from a file leaves out what is not asked for; one that holds its entries may copy
  // them whole. Unlike find, it need not work out the entry's number.
  virtual bool findEntry(const BoardSnapshot& snapshot, int side, PatternEntry& out, EntryParts /*parts*/) const {
    return find(snapshot, side, &out) >= 0;
  }
  // A copy of entry number; false out of range or when it does not read.
  virtual bool read(int number, PatternEntry& out) const = 0;
  // Appends the entry as number count(). Refused by a read-only store and for an entry that has
  // no binary form (snapshot counts not matching its points).
  virtual bool add(PatternEntry entry) = 0;
  // Replaces the value of entry number (its key unchanged); on failure the old value stays.
  virtual bool store(int number, const PatternEntry& entry) = 0;

  // Entry number where it already lies in memory, for reading without a copy; nullptr when it
  // would have to be read.
  virtual const PatternEntry* peek(int /*number*/) const { return nullptr; }
  // The numbers peek answers for, ascending, into out, when the store keeps only some of its
  // entries in memory and can list them: a walk over every number then asks peek only about
  // those. False when peek has to be asked about each number.
  virtual bool peekableNumbers(std::vector<std::int32_t>& /*out*/) const { return false; }
  // Entry number opened for a change in place; endUpdate stores the change. nullptr when the
  // entry cannot be read or the store is read-only.
  virtual PatternEntry* beginUpdate(int number) = 0;
  virtual bool endUpdate(int number) = 0;
  // The turns 0..6 (bit k for kind k) under which an entry may have the key of the snapshot; a
  // clear bit proves that none has, and lets a search under symmetries skip turning the snapshot.
  virtual unsigned turnsThatMayHold(const BoardSnapshot& /*snapshot*/, int /*side*/) const { return 0x7f; }
  // The same with bit 7 for the snapshot as it stands: a search under symmetries asks once for
  // all eight keys, so a store can look them up together. prints, when given, are the key prints
  // of the eight keys as keyPrints gives them, which a store that looks keys up by print then
  // need not work out.
  virtual unsigned keysThatMayHold(const BoardSnapshot& snapshot, int side,
                                   const std::array<std::uint64_t, 8>* /*prints*/) const {
    return turnsThatMayHold(snapshot, side) | 0x80u;
  }
  // The index records of a store that keeps them as a list (index), else nullptr.
  virtual const std::vector<PatternIndexRecord>* records() const { return nullptr; }
  // Index record number of a store that keeps records (index and warehouse); false otherwise and
  // out of range.
  virtual bool indexRecord(int number, PatternIndexRecord& out) const {
    const auto* list = records();
    if (list == nullptr || number < 0 || static_cast<size_t>(number) >= list->size()) return false;
    out = (*list)[static_cast<size_t>(number)];
    return true;
  }
};

// The library hash of a snapshot: the sum of all points as a wrapping signed 32-bit value, made
// positive, modulo the bucket count.
std::int32_t patternHashOf(const BoardSnapshot& snapshot);
// The same from the sum of the points, taken as unsigned 32-bit.
std::int32_t patternHashOfSum(std::uint32_t sum);

// The index record of an entry found at location.
PatternIndexRecord patternRecordFor(const PatternEntry& entry, std::int32_t location);

// Reads an entry's key from in, and its body only when the key is the one sought (or always when
// key is null): matched tells whether the whole entry was read. False when the key does not read.
template <class Reader>
bool readEntryIfKey(Reader& in, PatternEntryForm form, const BoardSnapshot* key, int side, PatternEntry& out,
                    bool& matched, EntryParts parts = EntryParts::Whole) {
  matched = false;
  if (!out.readKey(in)) return false;
  if (key != nullptr && !(out.side == side && out.snapshot == *key)) return true;
  matched = out.readBody(in, form, parts);
  return matched;
}

// Whether a snapshot's counts agree with its points, as every binary form requires.
bool countsMatchPoints(const BoardSnapshot& snapshot);

}  // namespace mh
