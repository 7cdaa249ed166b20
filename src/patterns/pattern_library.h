#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/board_snapshot.h"
#include "patterns/data_file_stamp.h"
#include "patterns/pattern_entry.h"
#include "patterns/pattern_index_record.h"
#include "patterns/pattern_store.h"
#include "platform/binary_file.h"

namespace mh {

class PreviousDataFile;
class WarehousePatternStore;

// A store of positions keyed by (snapshot, side to move), with a hash index, over one of three
// stores (see PatternStoreKind):
// - Memory: entries can be added or changed in place (entryAt).
// - Index: read-only, entries read from the open data file ("wpbin") on demand.
// - Warehouse: entries can be added or stored; optionally with a write-back cache.
// An entry's number is its position in the entry list (memory) or index-record list (others).
// Nothing here shows a message; every operation reports by its result.
class PatternLibrary {
 public:
  using Mode = PatternStoreKind;

  PatternLibrary();
  // Closes like reset, which writes the warehouse directory in warehouse mode.
  ~PatternLibrary();
  PatternLibrary(const PatternLibrary&) = delete;
  PatternLibrary& operator=(const PatternLibrary&) = delete;

  // Sum of all points as a wrapping signed 32-bit value, made positive, modulo 200000.
  static std::int32_t hashOf(const BoardSnapshot& snapshot);

  // Empties everything, closes the data file and the warehouse; back to memory mode.
  void reset();
  // Index mode from an index file ("wpindex") and its data file. False, library reset, when
  // either file does not open or the index file's header or records do not read. An index that
  // does not fit the data file (checked at its first and last record) is replaced by scanning
  // the data file, as openData does. keysPath may name the pair's key file, which look-ups use
  // while it agrees with the pair (see DataFilePatternStore::openIndex).
  [[nodiscard]] bool openIndex(const std::string& indexPath, const std::string& dataPath,
                               const std::string& keysPath = {});
  // Index mode by scanning a data file, indexing entries up to the first that does not read.
  // False, library reset, only when the file does not open or its header is wrong.
  [[nodiscard]] bool openData(const std::string& dataPath);
  // Warehouse mode from a warehouse index file (locations are entry numbers) and the warehouse.
  // False, library reset and empty, when either does not open; see createWarehouse.
  [[nodiscard]] bool openWarehouse(const std::string& warehousePath, const std::string& indexPath);
  // Warehouse mode on a new, empty warehouse file at path (created or truncated).
  [[nodiscard]] bool createWarehouse(const std::string& warehousePath);

  Mode mode() const { return store_->kind(); }
  int entryCount() const { return store_->count(); }
  // The index records (index mode from a scanned data file; empty otherwise: an index opened
  // from its file keeps only what look-ups need, and a warehouse gives them one at a time).
  const std::vector<PatternIndexRecord>& indexRecords() const;
  // Index record number (index and warehouse modes); false in memory mode and out of range.
  [[nodiscard]] bool indexRecord(int number, PatternIndexRecord& out) const { return store_->indexRecord(number, out); }

  // A copy of entry number; false for a number out of range or an entry that does not read.
  [[nodiscard]] bool readEntry(int number, PatternEntry& out) const;
  // The stored entry itself, memory mode only (nullptr otherwise or out of range). Valid until
  // the next add or reset. The key must not be changed through it.
  PatternEntry* entryAt(int number);

  // The number of the entry whose snapshot and side equal the given ones, or -1.
  int find(const BoardSnapshot& snapshot, int side) const;
  // The entry for the position under any of the eight symmetries, turned into the orientation of
  // the given snapshot (its snapshot, candidate points and occurrence points). The identity is
  // tried first, then transforms 0..6; the first match wins. Without occurrences, the entry's
  // occurrences are left out where the store reads them from a file (see EntryParts).
  [[nodiscard]] bool findWithSymmetries(const BoardSnapshot& snapshot, int side, PatternEntry& out,
                                        EntryParts parts = EntryParts::Whole) const;

  // Memory mode: appends the entry unless find already knows its key. Warehouse mode: stores it
  // under the next number and appends its index record. Index mode: refused. In every mode an
  // entry that has no binary form (snapshot counts not matching its points) is refused.
  [[nodiscard]] bool add(PatternEntry entry) { return store_->add(std::move(entry)); }
  // Replaces the stored value of entry number, whose key stays (refused in index mode). An
  // encoding of any size is stored whole; on failure the old value stays in place.
  [[nodiscard]] bool storeEntry(int number, const PatternEntry& entry);

  // Index or warehouse mode: the index file ("wpindex") of the current records. The file is
  // replaced whole or not at all.
  [[nodiscard]] bool writeIndex(const std::string& path) const;
  // The bytes of an index file ("wpindex") holding the given records.
  static std::vector<std::uint8_t> indexFileBytes(const std::vector<PatternIndexRecord>& records);
  // Memory or warehouse mode: the data file ("wpbin") with every entry in number order. Fails at
  // the first entry that cannot be read or written; the file at path is then left as it was
  // (it is replaced whole or not at all).
  [[nodiscard]] bool writeData(const std::string& path) const;
  // The data file's bytes written into file from offset 0, as far as they can be written. When
  // indexFile is given it receives the index file of the data file (locations are file offsets),
  // as indexing the finished data file by scanning it would give.
  // Fails at an entry that would start past the 32-bit reach of the index file's offsets; how,
  // when given, receives why and the stamp of the file written, and may name the data and index
  // files of the last finish: while their data file has the stamp this run's warehouse was opened
  // with (see WarehousePatternStore::dataStamp), the entries not changed since are copied from it
  // instead of being read and encoded again. The bytes are the same either way.
  struct DataWrite {
    std::string error;
    DataFileStamp stamp;
    std::string previousData;
    std::string previousIndex;
    std::string previousKeys;  // the key file written with them, whose marks may be taken
    int copied = 0;  // entries taken from the previous data file
    // With an index file, receives the key file of the pair too (see PatternKeyFileHeader).
    BinaryFile* keys = nullptr;
    // With write-back, after flush: each held entry, once written, is let go and the freed heap
    // goes back to the system as the write proceeds, so that a finish does not hold a full cache
    // to its end. Entries held changed stay. The bytes written are the same either way.
    bool dropStored = false;
  };
  [[nodiscard]] bool writeDataTo(BinaryFile& file, BinaryFile* indexFile, DataWrite* how = nullptr) const;

  // Closes the warehouse now, writing its directory; false when that write fails. The library
  // keeps its records but can no longer read entries.
  bool closeWarehouse();

  // Warehouse mode, for builders that record many moves: keeps changed and new entries in memory
  // (at most about cacheBytes of them; the least recently used are written out first) instead of
  // storing each change at once, and keeps a print of every key so that a find that misses reads
  // nothing. Reads the key of every stored entry once. Every result stays as without it; flush
  // (or writeData, closeWarehouse, reset) writes what is held. False, nothing changed, outside
  // warehouse mode.
  // printsPath names a file of key prints an earlier run wrote (writePrints): the prints it holds
  // are taken instead of reading those keys.
  [[nodiscard]] bool enableWriteBack(size_t cacheBytes, const std::string& printsPath = {});
  // With write-back: writes the key prints for a later enableWriteBack; false outside it or when
  // the file cannot be written.
  [[nodiscard]] bool writePrints(const std::string& path, const DataFileStamp& data) const;
  // Stores every entry held in memory in the warehouse. False when a store failed (the entry
  // stays held, so nothing is lost while the library lives).
  [[nodiscard]] bool flush();
  // Called once before the first change this library makes to its warehouse file; a false return
  // refuses the change. Lets a builder retire the record of its last finished run before that
  // run's warehouse state is overwritten.
  void setBeforeFirstWrite(std::function<bool()> hook);
  // Bytes held by the write-back cache, as accounted against its limit.
  size_t cachedBytes() const;
  // Warehouse mode: the reach of each warehouse file, past which values go to a further volume
  // (see WarehouseVolumes); the format's 32-bit reach unless lowered to try splitting.
  void setWarehouseLimit(std::int64_t bytes);
  // Warehouse mode: why the last failed change or close did (file, operation, system error
  // text); empty otherwise.
  std::string lastError() const;

  // The number of the entry for the position under any of the eight symmetries (identity first,
  // then kinds 0..6, the first hit wins), with the kind that turns the given snapshot into the
  // stored one (-1 for the identity); -1 when none is stored.
  // prints, when given, are the snapshot's eight key prints as keyPrints gives them.
  int findUnderSymmetries(const BoardSnapshot& snapshot, int side, int& kind,
                          const std::array<std::uint64_t, 8>* prints = nullptr) const;

  // Changes entry number in place through change(entry): in memory mode the stored entry, with
  // write-back the held entry (read in first when needed), otherwise a copy that is read and
  // stored again. The key must not be changed. False when the entry cannot be read or stored.
  template <class Change>
  [[nodiscard]] bool updateEntry(int number, Change&& change) {
    PatternEntry* entry = beginUpdate(number);
    if (entry == nullptr) return false;
    change(*entry);
    return endUpdate(number);
  }

 private:
  // The last finish's data file when it may be copied from (see writeDataTo), else nullptr.
  std::unique_ptr<PreviousDataFile> previousData(const DataWrite* how) const;
  // writeDataTo's pass over the entries, copying unchanged ones from old when given.
  bool writeEntries(BinaryFile& file, BinaryFile* indexFile, DataWrite* how, PreviousDataFile* old) const;
  PatternEntry* beginUpdate(int number) { return store_->beginUpdate(number); }
  bool endUpdate(int number) { return store_->endUpdate(number); }
  // Replaces the store (the old one closes as it goes).
  void setStore(std::unique_ptr<PatternStore> store, WarehousePatternStore* warehouse = nullptr);

  std::unique_ptr<PatternStore> store_;
  WarehousePatternStore* warehouse_ = nullptr;  // store_, when it is a warehouse
};

}  // namespace mh
