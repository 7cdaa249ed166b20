#include "patterns/pattern_library.h"

#include <algorithm>
#include <utility>

#include "model/board_transform.h"
#include "patterns/data_file_pattern_store.h"
#include "patterns/memory_pattern_store.h"
#include "patterns/pattern_data_writer.h"
#include "patterns/previous_data_file.h"
#include "patterns/warehouse_pattern_store.h"
#include "patterns/pattern_file_header.h"
#include "platform/byte_io.h"
#include "platform/free_heap.h"
#include "platform/replacing_file.h"

namespace mh {

PatternLibrary::PatternLibrary() : store_(std::make_unique<MemoryPatternStore>()) {}

PatternLibrary::~PatternLibrary() = default;

std::int32_t PatternLibrary::hashOf(const BoardSnapshot& snapshot) { return patternHashOf(snapshot); }

void PatternLibrary::setStore(std::unique_ptr<PatternStore> store, WarehousePatternStore* warehouse) {
  warehouse_ = nullptr;
  store_ = std::move(store);
  warehouse_ = warehouse;
}

void PatternLibrary::reset() { setStore(std::make_unique<MemoryPatternStore>()); }

bool PatternLibrary::openIndex(const std::string& indexPath, const std::string& dataPath,
                               const std::string& keysPath) {
  reset();
  auto store = std::make_unique<DataFilePatternStore>();
  if (!store->openIndex(indexPath, dataPath, keysPath)) return false;
  setStore(std::move(store));
  return true;
}

bool PatternLibrary::openData(const std::string& dataPath) {
  reset();
  auto store = std::make_unique<DataFilePatternStore>();
  if (!store->openData(dataPath)) return false;
  setStore(std::move(store));
  return true;
}

bool PatternLibrary::openWarehouse(const std::string& warehousePath, const std::string& indexPath) {
  reset();
  auto store = std::make_unique<WarehousePatternStore>();
  if (!store->open(warehousePath, indexPath)) return false;
  WarehousePatternStore* warehouse = store.get();
  setStore(std::move(store), warehouse);
  return true;
}

bool PatternLibrary::createWarehouse(const std::string& warehousePath) {
  reset();
  auto store = std::make_unique<WarehousePatternStore>();
  if (!store->create(warehousePath)) return false;
  WarehousePatternStore* warehouse = store.get();
  setStore(std::move(store), warehouse);
  return true;
}

const std::vector<PatternIndexRecord>& PatternLibrary::indexRecords() const {
  static const std::vector<PatternIndexRecord> kNone;
  const auto* records = store_->records();
  return records ? *records : kNone;
}

bool PatternLibrary::readEntry(int number, PatternEntry& out) const { return store_->read(number, out); }

PatternEntry* PatternLibrary::entryAt(int number) {
  return mode() == Mode::Memory ? store_->beginUpdate(number) : nullptr;
}

int PatternLibrary::find(const BoardSnapshot& snapshot, int side) const { return store_->find(snapshot, side, nullptr); }

int PatternLibrary::findUnderSymmetries(const BoardSnapshot& snapshot, int side, int& kind,
                                        const std::array<std::uint64_t, 8>* prints) const {
  kind = -1;
  // A key the store can rule out is not looked for, and a turn so ruled out needs no turned
  // snapshot at all.
  const unsigned maybe = store_->keysThatMayHold(snapshot, side, prints);
  if (maybe & 0x80u) {
    const int n = find(snapshot, side);
    if (n >= 0) return n;
  }
  for (int k = 0; k <= 6; ++k) {
    if ((maybe >> k & 1) == 0) continue;
    BoardSnapshot turned;
    if (!turnSnapshot(k, snapshot, turned)) continue;
    const int m = find(turned, side);
    if (m >= 0) {
      kind = k;
      return m;
    }
  }
  return -1;
}

bool PatternLibrary::findWithSymmetries(const BoardSnapshot& snapshot, int side, PatternEntry& out,
                                        EntryParts parts) const {
  if (store_->findEntry(snapshot, side, out, parts)) return true;
  const unsigned maybe = store_->turnsThatMayHold(snapshot, side);
  BoardSnapshot turned;
  for (int kind = 0; kind <= 6; ++kind) {
    if ((maybe >> kind & 1) == 0 || !turnSnapshot(kind, snapshot, turned)) continue;
    if (store_->findEntry(turned, side, out, parts)) return out.transform(kind, true);
  }
  return false;
}

bool PatternLibrary::storeEntry(int number, const PatternEntry& entry) { return store_->store(number, entry); }

bool PatternLibrary::closeWarehouse() { return warehouse_ == nullptr || warehouse_->close(); }

bool PatternLibrary::enableWriteBack(size_t cacheBytes, const std::string& printsPath) {
  return warehouse_ != nullptr && warehouse_->enableWriteBack(cacheBytes, printsPath);
}

bool PatternLibrary::writePrints(const std::string& path, const DataFileStamp& data) const {
  return warehouse_ != nullptr && warehouse_->writePrints(path, data);
}

bool PatternLibrary::flush() { return warehouse_ == nullptr || warehouse_->flush(); }

void PatternLibrary::setBeforeFirstWrite(std::function<bool()> hook) {
  if (warehouse_ != nullptr) warehouse_->setBeforeFirstWrite(std::move(hook));
}

size_t PatternLibrary::cachedBytes() const { return warehouse_ != nullptr ? warehouse_->cachedBytes() : 0; }

void PatternLibrary::setWarehouseLimit(std::int64_t bytes) {
  if (warehouse_ != nullptr) warehouse_->setAreaLimit(bytes);
}

std::string PatternLibrary::lastError() const { return warehouse_ != nullptr ? warehouse_->error() : std::string(); }

std::vector<std::uint8_t> PatternLibrary::indexFileBytes(const std::vector<PatternIndexRecord>& records) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(PatternFileHeader::kBytes + records.size() * PatternIndexRecord::kBytes);
  ByteWriter w(bytes);
  PatternFileHeader::write(w, kPatternIndexTag, static_cast<std::int32_t>(records.size()));
  for (const auto& r : records) r.write(w);
  return bytes;
}

bool PatternLibrary::writeIndex(const std::string& path) const {
  PatternIndexRecord record;
  if (mode() == Mode::Memory) return false;
  // Records never change once appended: the index the warehouse was opened from keeps its records
  // and gets only the new ones.
  const int kept = warehouse_ != nullptr ? warehouse_->recordsReadFrom(path) : -1;
  if (kept >= 0 && kept <= entryCount()) {
    PatternFileAppend append;
    if (append.open(path, kPatternIndexTag, PatternIndexRecord::kBytes, kept)) {
      bool ok = true;
      for (int n = kept; ok && n < entryCount(); ++n) {
        ok = store_->indexRecord(n, record);
        if (ok) record.write(append.out());
        ok = ok && append.flushIfFull();
      }
      return ok && append.finish();
    }
  }
  // Written a piece at a time: the index of millions of entries never sits in memory as bytes.
  ReplacingFile out(path);
  if (!out.open()) return false;
  std::vector<std::uint8_t> bytes;
  ByteWriter w(bytes);
  PatternFileHeader::write(w, kPatternIndexTag, static_cast<std::int32_t>(entryCount()));
  std::uint64_t at = 0;
  for (int n = 0; n < entryCount(); ++n) {
    if (!store_->indexRecord(n, record)) return false;
    record.write(w);
    if (bytes.size() >= (size_t{1} << 20)) {
      if (!out.file().writeAt(at, bytes.data(), bytes.size())) return false;
      at += bytes.size();
      bytes.clear();
    }
  }
  return out.file().writeAt(at, bytes.data(), bytes.size()) && out.commit();
}

bool PatternLibrary::writeData(const std::string& path) const {
  ReplacingFile out(path);
  return out.open() && writeDataTo(out.file(), nullptr) && out.commit();
}

std::unique_ptr<PreviousDataFile> PatternLibrary::previousData(const DataWrite* how) const {
  if (how == nullptr || how->previousData.empty() || warehouse_ == nullptr) return nullptr;
  auto old = std::make_unique<PreviousDataFile>();
  if (!old->open(how->previousData, how->previousIndex, warehouse_->dataStamp(), warehouse_->openCount()))
    return nullptr;
  if (how->keys != nullptr) old->openKeys(how->previousKeys);
  return old;
}

bool PatternLibrary::writeDataTo(BinaryFile& file, BinaryFile* indexFile, DataWrite* how) const {
  if (mode() == Mode::Index) return false;
  const auto old = previousData(how);
  const bool ok = writeEntries(file, indexFile, how, old.get());
  if (old == nullptr || old->checked()) return ok;
  // The last data file is no longer the one its finish stamped: nothing taken from it stands,
  // and the files are written again from the library alone, cut to their new length.
  how->error.clear();
  how->copied = 0;
  return writeEntries(file, indexFile, how, nullptr) && file.truncate(how->stamp.bytes) &&
         (indexFile == nullptr ||
          indexFile->truncate(PatternFileHeader::kBytes +
                              static_cast<std::uint64_t>(how->stamp.entries) * PatternIndexRecord::kBytes)) &&
         (indexFile == nullptr || how->keys == nullptr ||
          how->keys->truncate(
              PatternKeyFileHeader{static_cast<std::uint32_t>(how->stamp.entries), 0, 0}.fileBytes()));
}

bool PatternLibrary::writeEntries(BinaryFile& file, BinaryFile* indexFile, DataWrite* how,
                                  PreviousDataFile* old) const {
  const int count = entryCount();
  PatternDataWriter writer(file, indexFile, count);
  if (how != nullptr) writer.setKeyFile(how->keys);
  PatternEntry scratch;
  std::vector<std::uint8_t> value;
  // The held entries are few among many: a walk along their sorted numbers spares a probe of the
  // cache for every other number.
  std::vector<std::int32_t> held;
  const bool listed = store_->peekableNumbers(held);
  size_t nextHeld = 0;
  // Held entries let go as they are written (see DataWrite::dropStored): what they free lies
  // among other blocks of the heap and stays resident until it is given back, which is done
  // each time a sixteenth of the cache has gone (a walk over the free blocks: a few
  // milliseconds).
  const bool dropping = listed && how != nullptr && how->dropStored && warehouse_ != nullptr;
  const size_t trimStep = std::max(warehouse_ != nullptr ? warehouse_->cachedBytes() / 16 : 0, size_t{1} << 20);
  size_t heldAtTrim = warehouse_ != nullptr ? warehouse_->cachedBytes() : 0;
  auto dropWritten = [&](int n) {
    if (!warehouse_->dropStored(n)) return;
    if (heldAtTrim - std::min(heldAtTrim, warehouse_->cachedBytes()) < trimStep) return;
    returnFreeHeapPages();
    heldAtTrim = warehouse_->cachedBytes();
  };
  bool ok = true;
  for (int n = 0; n < count && ok; ++n) {
    PatternIndexRecord record;
    if (old != nullptr && !warehouse_->changedSinceOpen(n) && store_->indexRecord(n, record)) {
      // An unchanged entry is taken as it lies in the last data file, when its record agrees.
      PatternIndexRecord key;
      std::uint16_t mark = 0;
      bool marked = false;
      const auto bytes = old->entry(n, key, &mark, &marked);
      key.location = record.location;
      if (!bytes.empty() && key == record) {
        ok = writer.addEncoded(bytes, key, marked ? &mark : nullptr, old);
        ++how->copied;
        continue;
      }
    }
    const PatternEntry* e = nullptr;
    if (listed) {
      while (nextHeld < held.size() && held[nextHeld] < n) ++nextHeld;
      if (nextHeld < held.size() && held[nextHeld] == n) e = store_->peek(n);
    } else {
      e = store_->peek(n);
    }
    if (e == nullptr && warehouse_ != nullptr) {
      // A stored entry goes across as its warehouse value, which differs from the data-file form
      // only in the width of the text length.
      ok = warehouse_->readValue(n, value) && writer.addWarehouseValue(value);
      if (!ok && how != nullptr && writer.error().empty()) how->error = "entry " + std::to_string(n) + " does not read";
      continue;
    }
    const bool wasHeld = e != nullptr;
    if (e == nullptr) e = store_->read(n, scratch) ? &scratch : nullptr;
    if (e == nullptr && how != nullptr) how->error = "entry " + std::to_string(n) + " does not read";
    ok = e != nullptr && writer.add(*e);
    if (ok && wasHeld && dropping) dropWritten(n);
  }
  if (dropping) returnFreeHeapPages();
  ok = writer.finish() && ok;
  if (how != nullptr) {
    if (!ok && how->error.empty()) how->error = writer.error();
    how->stamp = ok ? writer.stamp() : DataFileStamp{};
  }
  return ok;
}

}  // namespace mh
