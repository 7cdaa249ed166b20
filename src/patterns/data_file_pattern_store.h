#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "patterns/pattern_store.h"
#include "platform/binary_file.h"
#include "platform/mapped_file.h"
#include "platform/paged_array.h"  // PagedMemory

namespace mh {

// A finished library, read-only. In memory, for look-ups only: by hash bucket, each entry's
// location with a word of what it is filtered on (8 bytes an entry). The index file stays
// open, read where an entry's number must become its location or back; the entries stay in
// the data file ("wpbin"), read on demand (through a map of the file when it maps). Buckets lie
// side by side, so a bucket is walked as one short run of memory.
class DataFilePatternStore final : public PatternStore {
 public:
  // From an index file ("wpindex") and its data file. False when either does not open or the
  // index does not read (or changes while it is read). An index that does not fit the data file
  // (checked at its first and last record) is replaced by scanning the data file, as openData
  // does. keysPath may name the pair's
  // key file (see PatternKeyFileHeader): used only when it agrees with both, it spares look-ups
  // reading the keys of neighbours that merely share the stone counts and side.
  [[nodiscard]] bool openIndex(const std::string& indexPath, const std::string& dataPath,
                               const std::string& keysPath = {});
  // By scanning a data file, indexing entries up to the first that does not read. False only
  // when the file does not open or its header is wrong. The records are kept (see records).
  [[nodiscard]] bool openData(const std::string& dataPath);

  PatternStoreKind kind() const override { return PatternStoreKind::Index; }
  int count() const override { return static_cast<int>(count_); }
  int find(const BoardSnapshot& snapshot, int side, PatternEntry* out) const override;
  bool findEntry(const BoardSnapshot& snapshot, int side, PatternEntry& out, EntryParts parts) const override;
  bool read(int number, PatternEntry& out) const override;
  bool add(PatternEntry) override { return false; }
  bool store(int, const PatternEntry&) override { return false; }
  PatternEntry* beginUpdate(int) override { return nullptr; }
  bool endUpdate(int) override { return false; }
  // A turn may hold the key only when the turned position's bucket has a neighbour with its
  // counts and side (19 x 19 boards; other sizes may always hold).
  unsigned turnsThatMayHold(const BoardSnapshot& snapshot, int side) const override;
  // Whether look-ups use the marks of a key file given to openIndex (it agreed with the pair).
  bool usesKeyFile() const { return keyed_; }
  // Called between the two passes over the records that lay the buckets: where a test changes
  // the index file under an opening, as another program could.
  void setBetweenPasses(std::function<void()> hook) { betweenPasses_ = std::move(hook); }
  // The records of a scanned data file; an index read from its file keeps none (nullptr).
  const std::vector<PatternIndexRecord>* records() const override {
    return scanned_ ? &records_ : nullptr;
  }

 private:
  // One entry of a bucket: the filter word of its record (its stone counts and side above 12
  // bits of its key's mark, or zeros there without a key file), then its location.
  struct Slot {
    std::uint32_t filter;
    std::int32_t location;
  };

  bool openFile(const std::string& dataPath, std::int32_t& count);
  // Opens the index file and checks its header and length; false when it does not.
  bool openIndexFile(const std::string& indexPath);
  // The record of entry number; its location is -1 when it does not read.
  PatternIndexRecord indexRecord(size_t number) const;
  // The location of entry number, or -1 when it does not read.
  std::int32_t locationOf(size_t number) const;
  // The number of the entry at location, or -1: records lie in the order of their locations.
  int numberAt(std::int32_t location) const;
  bool indexMatchesData() const;
  void mapData(const std::string& dataPath);
  // Lays out the buckets from the records. forEach(pass, f) passes every record to
  // f(record, mark), mark being the key's mark or 0: in any order on pass 1, from the last record
  // to the first on pass 2, and the same records both times; false when it cannot (a read
  // failed). False when there is no memory for the buckets or the passes disagree.
  template <class ForEachRecord>
  bool layBuckets(ForEachRecord&& forEach);
  // Reads the index file's records twice, a chunk at a time, to lay the buckets, taking the marks
  // of the key file at keysPath when it agrees with the pair.
  bool layBucketsFromIndex(const std::string& keysPath);
  // The slots of bucket hash (which is in range) and one past them.
  const Slot* bucketBegin(std::int32_t hash) const { return slots_ + starts_[hash]; }
  const Slot* bucketEnd(std::int32_t hash) const { return slots_ + starts_[hash + 1]; }
  // The location of the entry with the key, or -1.
  std::int32_t findIn(const BoardSnapshot& snapshot, int side, PatternEntry* out, EntryParts parts) const;
  // Whether bucket hash holds a slot with the counts word (stone counts and side) counts.
  bool bucketHolds(std::int32_t hash, std::uint32_t counts) const;
  // Reads the key of the entry at location, and its body when the key matches (or always when
  // key is null).
  bool readAt(std::int32_t location, const BoardSnapshot* key, int side, PatternEntry& out, bool& matched,
              EntryParts parts) const;
  bool keyBytesMatch(std::int32_t location, const std::vector<std::uint8_t>& keyBytes) const;
  // The mark of the key of the entry at location, or nothing when it does not read.
  std::optional<std::uint16_t> keyMarkAt(std::int32_t location) const;
  // An entry whose mark in a key file is checked against its key before the file is trusted:
  // its number, its location and its mark in the file, as the passes over the index find them.
  struct MarkSample {
    size_t number = 0;
    std::int32_t location = -1;
    std::uint16_t mark = 0;
  };
  static constexpr size_t kMarkSamples = 16;
  // Whether the samples' marks are those of their keys in the data file.
  bool marksAgree(std::span<const MarkSample> samples) const;

  size_t count_ = 0;
  bool scanned_ = false;
  std::vector<PatternIndexRecord> records_;  // only when scanned
  BinaryFile indexFile_;                     // only when opened from the index file
  BinaryFile dataFile_;
  MappedFile dataMap_;  // the data file, when it maps
  std::uint64_t dataSize_ = 0;
  // Bucket b is slots_[starts_[b] .. starts_[b + 1]). Both arrays lie in one block of paged
  // memory, the starts first, so that laying them costs few page faults; null until laid.
  PagedMemory buckets_;
  std::int32_t* starts_ = nullptr;
  Slot* slots_ = nullptr;
  bool keyed_ = false;  // the slots hold the marks of a key file that agrees with the pair
  std::function<void()> betweenPasses_;
};

// Reads an index file ("wpindex") into records; false when its header or a record does not read.
bool readPatternIndexFile(const std::string& path, std::vector<PatternIndexRecord>& records);

}  // namespace mh
