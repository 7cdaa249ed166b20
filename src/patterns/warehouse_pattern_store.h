#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "patterns/data_file_stamp.h"
#include "patterns/key_print.h"
#include "patterns/pattern_hash_table.h"
#include "patterns/pattern_store.h"
#include "patterns/warehouse_volumes.h"
#include "patterns/write_back_cache.h"

namespace mh {

// A library under construction: every entry is a warehouse value named by its decimal number, the
// index records (locations are entry numbers) stay in memory. With write-back on, changed entries
// are held in a WriteBackCache and a print of every key answers finds that miss without reading.
class WarehousePatternStore final : public PatternStore {
 public:
  // Flushes what is held and closes the warehouse.
  ~WarehousePatternStore() override;

  // From a warehouse index file and the warehouse; false when either does not open.
  [[nodiscard]] bool open(const std::string& warehousePath, const std::string& indexPath);
  // On a new, empty warehouse file at path (created or truncated).
  [[nodiscard]] bool create(const std::string& warehousePath);

  PatternStoreKind kind() const override { return PatternStoreKind::Warehouse; }
  int count() const override { return static_cast<int>(records_.size()); }
  int find(const BoardSnapshot& snapshot, int side, PatternEntry* out) const override;
  bool read(int number, PatternEntry& out) const override;
  bool add(PatternEntry entry) override;
  // An encoding of any size is stored whole.
  bool store(int number, const PatternEntry& entry) override;
  const PatternEntry* peek(int number) const override { return cache_ ? cache_->find(number) : nullptr; }
  bool peekableNumbers(std::vector<std::int32_t>& out) const override {
    out.clear();
    if (cache_) cache_->heldNumbers(out);
    return true;
  }
  PatternEntry* beginUpdate(int number) override;
  bool endUpdate(int number) override;
  // Lets go of number's held entry when it is stored as it stands (see WriteBackCache::dropStored).
  bool dropStored(int number) { return cache_ && cache_->dropStored(number); }
  unsigned turnsThatMayHold(const BoardSnapshot& snapshot, int side) const override;
  unsigned keysThatMayHold(const BoardSnapshot& snapshot, int side,
                           const std::array<std::uint64_t, 8>* prints) const override;
  // The stored value of entry number as it lies in the warehouse (what is held is not seen);
  // false when it is absent or does not read.
  [[nodiscard]] bool readValue(int number, std::vector<std::uint8_t>& out) const;
  bool indexRecord(int number, PatternIndexRecord& out) const override {
    return number >= 0 && records_.at(static_cast<size_t>(number), out);
  }

  // Turns write-back on with a cache of about cacheBytes (or changes its limit). The print of
  // every stored entry comes from the prints file when given and it holds them (see
  // writePrints), else from reading the entry's key. False when the warehouse is closed.
  [[nodiscard]] bool enableWriteBack(size_t cacheBytes, const std::string& printsPath = {});
  // Writes the print of every entry, in number order (8 bytes each, little-endian), then their
  // count and a check over both, to a file replaced whole (or, when it is the file enableWriteBack
  // took them from, appended to in place): a later run reads them instead of every key. Keys
  // never change and entries are only appended, so the prints of an earlier state of
  // the same library are a true prefix; a use takes them only when the check holds and the first
  // and last print it takes agree with those entries' keys.
  // The stamp of the data file written by the same finish (entries 0 when none was) goes with
  // them, for dataStamp.
  [[nodiscard]] bool writePrints(const std::string& path, const DataFileStamp& data) const;
  // The data-file stamp the prints file taken by enableWriteBack carried (entries 0 when none).
  const DataFileStamp& dataStamp() const { return dataStamp_; }
  // Entries when the store was opened, and whether entry number was added or changed since.
  int openCount() const { return openCount_; }
  // The records indexPath held when the store was opened from it (its first records, which never
  // change), or -1 when the store was not opened from that file.
  int recordsReadFrom(const std::string& indexPath) const {
    return !indexPath_.empty() && indexPath == indexPath_ ? openCount_ : -1;
  }
  bool changedSinceOpen(int number) const {
    return number >= openCount_ || changed_[static_cast<size_t>(number)];
  }
  // Stores every held entry; false when a store failed (the entry stays held).
  [[nodiscard]] bool flush();
  // Flushes, then closes the warehouse, writing its directory; false when either fails. The
  // records stay but stored entries can no longer be read.
  bool close();
  // Called once before the first change to the warehouse file; a false return refuses the change.
  void setBeforeFirstWrite(std::function<bool()> hook) { beforeFirstWrite_ = std::move(hook); }
  size_t cachedBytes() const { return cache_ ? cache_->bytes() : 0; }
  // The reach of each warehouse file; past it values go to a further volume (WarehouseVolumes).
  void setAreaLimit(std::int64_t limit) { warehouse_->setAreaLimit(limit); }
  size_t volumeCount() const { return warehouse_ ? warehouse_->volumeCount() : 0; }
  // Why the last failed change or close did (file, operation, system error text).
  const std::string& error() const { return error_; }

 private:
  // The keys that may be held (bit 7: as it stands, asked only when asItStands; bits 0..6: the
  // turns), from the key prints looked up together.
  unsigned keysThatMayHold(const BoardSnapshot& snapshot, int side, bool asItStands,
                           const std::array<std::uint64_t, 8>* known) const;
  // Reads the records of a warehouse index file; false when it does not open or read whole.
  bool readRecords(const std::string& indexPath);
  bool writeAllowed();
  bool failed(const std::string& why);
  // Encodes and stores entry number's value now.
  bool storeValue(int number, const PatternEntry& entry);
  // Reads entry number's key, and its body when the key matches (or always when key is null).
  bool readAt(int number, const BoardSnapshot* key, int side, PatternEntry& out, bool& matched) const;
  // The print's answer to a find: the number, -1 for a proven miss, nullopt when unsettled.
  std::optional<int> findByPrint(const BoardSnapshot& snapshot, int side, PatternEntry* out) const;
  void ensureBuckets() const;
  // The print of entry number read from its key; 0 when the key does not read.
  std::uint64_t printFromKey(size_t number) const;
  // Takes the prints of the first entries from a prints file; the count taken.
  size_t loadPrints(const std::string& path);

  NumberedIndexRecords records_;
  std::string directory_;  // the warehouse's folder, where the records spill
  mutable PatternHashTable hash_;
  // With write-back the prints answer finds; the buckets are filled only when a print's entry
  // turns out not to be the one sought, which practically never happens.
  mutable bool bucketsStale_ = false;
  std::unique_ptr<WarehouseVolumes> warehouse_;
  std::unique_ptr<WriteBackCache> cache_;  // while write-back is on
  KeyPrintTable prints_;
  PatternEntry updateScratch_;
  // The stored entry the last find read to compare its key (while foundNumber_ >= 0): the update
  // that mostly follows takes it instead of reading and decoding the value a second time. A
  // store of that number ends it.
  mutable PatternEntry found_;
  mutable int foundNumber_ = -1;
  void forgetFound() const {
    foundNumber_ = -1;
    found_ = PatternEntry{};
  }
  // The print of the key keysThatMayHold was last asked about: the find and the add that follow
  // it for the same key take it instead of working it out again.
  mutable BoardSnapshot printedKey_;
  mutable int printedSide_ = -1;
  mutable std::uint64_t printedPrint_ = 0;
  std::uint64_t printOf(const BoardSnapshot& snapshot, int side) const {
    return side == printedSide_ && snapshot == printedKey_ ? printedPrint_ : keyPrintOf(snapshot, side);
  }
  std::vector<std::uint8_t> storeBytes_;  // the encoding of the entry being stored
  mutable std::vector<std::uint8_t> readBytes_;  // the value of the entry being read
  std::function<bool()> beforeFirstWrite_;
  bool wroteWarehouse_ = false;
  std::string error_;
  int openCount_ = 0;
  std::string indexPath_;  // the index file the store was opened from, if any
  // The prints file taken whole at the start of write-back, if any: its count of prints and the
  // check over them, from which writePrints goes on after them instead of writing them again.
  std::string printsPath_;
  size_t printsKept_ = 0;
  std::uint64_t printsKeptCheck_ = 0;
  std::vector<bool> changed_;  // by number below openCount_
  DataFileStamp dataStamp_;
  void markChanged(int number) {
    if (number < openCount_) changed_[static_cast<size_t>(number)] = true;
  }
};

}  // namespace mh
