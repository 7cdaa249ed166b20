#include "patterns/warehouse_pattern_store.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <string>
#include <utility>

#include "patterns/data_file_pattern_store.h"
#include "patterns/pattern_index_file.h"
#include "platform/byte_io.h"
#include "platform/replacing_file.h"

namespace mh {

namespace {

std::string entryName(int number) { return std::to_string(number); }

// The folder part of a path ("" for a bare name: the working folder).
std::string directoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

WarehousePatternStore::~WarehousePatternStore() { (void)close(); }

bool WarehousePatternStore::open(const std::string& warehousePath, const std::string& indexPath) {
  forgetFound();
  indexPath_.clear();
  directory_ = directoryOf(warehousePath);
  warehouse_ = std::make_unique<WarehouseVolumes>();
  if (!readRecords(indexPath) || !warehouse_->open(warehousePath)) {
    records_ = {};
    warehouse_.reset();
    return false;
  }
  // The buckets are laid at the first find that needs them: with write-back the prints answer.
  bucketsStale_ = true;
  openCount_ = count();
  indexPath_ = indexPath;
  changed_.assign(records_.size(), false);
  return true;
}

bool WarehousePatternStore::readRecords(const std::string& indexPath) {
  PatternIndexFileReader in;
  if (!in.open(indexPath)) return false;
  const auto count = static_cast<size_t>(in.count());
  records_.clear();
  records_.reserve(count);
  PatternIndexRecord r;
  while (records_.size() < count && in.next(r)) records_.push_back(r);
  return records_.size() == count;
}

bool WarehousePatternStore::create(const std::string& warehousePath) {
  forgetFound();
  indexPath_.clear();
  directory_ = directoryOf(warehousePath);
  warehouse_ = std::make_unique<WarehouseVolumes>();
  if (warehouse_->create(warehousePath)) return true;
  warehouse_.reset();
  return false;
}

bool WarehousePatternStore::close() {
  forgetFound();
  if (!warehouse_) return true;
  bool ok = flush();
  if (!warehouse_->close()) ok = failed(warehouse_->error());
  warehouse_.reset();
  return ok;
}

bool WarehousePatternStore::readAt(int number, const BoardSnapshot* key, int side, PatternEntry& out,
                                   bool& matched) const {
  matched = false;
  if (const PatternEntry* e = peek(number)) {
    if (key != nullptr && !(e->snapshot == *key && e->side == side)) {
      out.snapshot = e->snapshot;
      out.side = e->side;
      return true;
    }
    out = *e;
    matched = true;
    return true;
  }
  std::vector<std::uint8_t>& bytes = readBytes_;
  if (bytes.capacity() > (size_t{4} << 20)) bytes = {};
  if (!warehouse_ || !warehouse_->get(entryName(number), bytes)) return false;
  ByteReader in(bytes);
  return readEntryIfKey(in, PatternEntryForm::Warehouse, key, side, out, matched);
}

bool WarehousePatternStore::readValue(int number, std::vector<std::uint8_t>& out) const {
  return warehouse_ && number >= 0 && number < count() && warehouse_->get(entryName(number), out);
}

bool WarehousePatternStore::read(int number, PatternEntry& out) const {
  bool matched = false;
  return number >= 0 && number < count() && readAt(number, nullptr, 0, out, matched) && matched;
}

std::optional<int> WarehousePatternStore::findByPrint(const BoardSnapshot& snapshot, int side,
                                                      PatternEntry* out) const {
  // No entry has a key whose print no entry has; the entry a print names is almost always the
  // one sought, and the bucket walk settles the rare case where it is not.
  if (!prints_.whole()) return std::nullopt;
  const std::uint64_t print = printOf(snapshot, side);
  std::int32_t n = prints_.find(print);
  if (n < 0) return -1;
  // The table compares only part of each print: an entry whose key differs is checked against
  // the full prints, once, which names the entry with the print itself if there is one.
  for (bool exact = false;; exact = true) {
    // A held entry is compared where it is: copying it (occurrences and all) only to compare its
    // key would cost most of a busy position's find.
    if (const PatternEntry* e = peek(n); e && out == nullptr && e->side == side && e->snapshot == snapshot) return n;
    bool matched = false;
    if (out) {
      if (!readAt(n, &snapshot, side, *out, matched)) return std::nullopt;
    } else {
      // Decoded afresh, as a read of its own would decode it, and kept for the update that
      // mostly follows a find (see beginUpdate).
      found_ = PatternEntry{};
      foundNumber_ = -1;
      if (!readAt(n, &snapshot, side, found_, matched)) return std::nullopt;
      if (matched) foundNumber_ = n;
    }
    if (matched) return n;
    if (exact) return std::nullopt;
    const std::int32_t was = n;
    if (!prints_.findExact(print, n)) return std::nullopt;
    if (n < 0) return -1;
    // The entry named has the print itself, yet another key: the bucket walk settles it.
    if (n == was) return std::nullopt;
  }
}

int WarehousePatternStore::find(const BoardSnapshot& snapshot, int side, PatternEntry* out) const {
  if (cache_) {
    if (const auto n = findByPrint(snapshot, side, out)) return *n;
  }
  ensureBuckets();
  PatternEntry scratch;
  for (std::int32_t n = hash_.first(patternHashOf(snapshot)); n >= 0; n = hash_.next(n)) {
    if (n >= count()) continue;
    // The record rules out most neighbours without touching the file (one that cannot be read
    // back rules out nothing: the key read next decides).
    PatternIndexRecord r;
    if (records_.at(static_cast<size_t>(n), r) &&
        (r.side != side || r.blackCount != snapshot.blackCount || r.whiteCount != snapshot.whiteCount))
      continue;
    bool matched = false;
    if (readAt(n, &snapshot, side, out ? *out : scratch, matched) && matched) return n;
  }
  return -1;
}

unsigned WarehousePatternStore::turnsThatMayHold(const BoardSnapshot& snapshot, int side) const {
  return keysThatMayHold(snapshot, side, false, nullptr) & 0x7fu;
}

unsigned WarehousePatternStore::keysThatMayHold(const BoardSnapshot& snapshot, int side,
                                                const std::array<std::uint64_t, 8>* prints) const {
  return keysThatMayHold(snapshot, side, true, prints);
}

unsigned WarehousePatternStore::keysThatMayHold(const BoardSnapshot& snapshot, int side, bool asItStands,
                                                const std::array<std::uint64_t, 8>* known) const {
  if (!cache_ || !prints_.whole()) return 0xff;
  // All look-ups are started before the first is waited on: each mostly misses the processor's
  // caches, and one after the other they would wait in turn. The slot of the print as it stands
  // is fetched too: a find that passes the bit reads it, and so does the add of a new position,
  // the usual outcome when the bit is clear.
  std::array<std::uint64_t, 8> prints{};
  if (known != nullptr) prints = *known;
  else keyPrints(snapshot, side, prints);
  printedKey_ = snapshot;
  printedSide_ = side;
  printedPrint_ = prints[7];
  for (int k = 0; k < (asItStands ? 8 : 7); ++k) prints_.prefetch(prints[static_cast<size_t>(k)]);
  if (asItStands) {
    prints_.prefetchSlot(prints[7]);
    // A key found as it stands is mostly the entry sought, and then the turns are never asked
    // about: they are left unsettled (set) instead of looked up.
    if (prints_.find(prints[7]) >= 0) return 0xff;
  }
  unsigned maybe = 0;
  for (int k = 0; k <= 6; ++k)
    if (prints[static_cast<size_t>(k)] != 0 && prints_.find(prints[static_cast<size_t>(k)]) >= 0) maybe |= 1u << k;
  return maybe;
}

void WarehousePatternStore::ensureBuckets() const {
  if (!bucketsStale_) return;
  bucketsStale_ = false;
  hash_.clear();
  hash_.reserve(records_.size());
  PatternIndexRecord r;
  for (size_t i = 0; i < records_.size(); ++i) {
    // A record that cannot be read back gets its hash from the entry's key.
    if (!records_.at(i, r)) {
      PatternEntry key;
      bool matched = false;
      r.hash = readAt(static_cast<int>(i), nullptr, 0, key, matched) ? patternHashOf(key.snapshot) : 0;
    }
    hash_.insert(r.hash, static_cast<std::int32_t>(i));
  }
}

bool WarehousePatternStore::failed(const std::string& why) {
  error_ = why;
  return false;
}

bool WarehousePatternStore::writeAllowed() {
  if (wroteWarehouse_) return true;
  if (beforeFirstWrite_ && !beforeFirstWrite_()) return failed("cannot retire the record of the last finished run");
  wroteWarehouse_ = true;
  return true;
}

bool WarehousePatternStore::storeValue(int number, const PatternEntry& entry) {
  if (number == foundNumber_) forgetFound();
  if (!warehouse_ || !warehouse_->isOpen() || !writeAllowed()) return false;
  // The encoding grows with the entry: an entry of any size is stored whole, never cut short.
  // One buffer serves every store; it is cut back when a huge entry leaves it large.
  std::vector<std::uint8_t>& bytes = storeBytes_;
  if (bytes.capacity() > (size_t{4} << 20)) bytes = {};
  bytes.clear();
  ByteWriter w(bytes);
  if (!entry.write(w, PatternEntryForm::Warehouse)) return failed("entry " + entryName(number) + " has no binary form");
  return warehouse_->put(entryName(number), bytes) || failed(warehouse_->error());
}

bool WarehousePatternStore::add(PatternEntry entry) {
  if (records_.size() >= static_cast<size_t>(std::numeric_limits<std::int32_t>::max())) return false;
  const auto number = static_cast<std::int32_t>(records_.size());
  if (!cache_) {
    if (!storeValue(number, entry)) return false;
    const PatternIndexRecord record = patternRecordFor(entry, number);
    records_.push_back(record);
    if (!bucketsStale_) hash_.insert(record.hash, number);
    return true;
  }
  // Refuse what could never be stored, as a store would.
  if (!entry.snapshot.writable() || entry.text.size() > std::numeric_limits<std::uint16_t>::max()) return false;
  const PatternIndexRecord record = patternRecordFor(entry, number);
  records_.push_back(record);
  if (!bucketsStale_) hash_.insert(record.hash, number);
  prints_.append(printOf(entry.snapshot, entry.side));
  cache_->hold(number, std::move(entry));
  return cache_->evict();
}

bool WarehousePatternStore::store(int number, const PatternEntry& entry) {
  if (number < 0 || number >= count()) return false;
  markChanged(number);
  if (!cache_) return storeValue(number, entry);
  if (entry.text.size() > std::numeric_limits<std::uint16_t>::max()) return false;
  cache_->hold(number, entry);
  return cache_->evict();
}

PatternEntry* WarehousePatternStore::beginUpdate(int number) {
  if (number < 0 || number >= count()) return nullptr;
  markChanged(number);
  if (!cache_) return read(number, updateScratch_) ? &updateScratch_ : nullptr;
  if (PatternEntry* e = cache_->beginChange(number)) return e;
  PatternEntry entry;
  if (foundNumber_ == number) entry = std::move(found_);
  else if (!read(number, entry)) return nullptr;
  forgetFound();
  cache_->hold(number, std::move(entry));
  return cache_->beginChange(number);
}

bool WarehousePatternStore::endUpdate(int number) {
  return cache_ ? cache_->endChange(number) : storeValue(number, updateScratch_);
}

std::uint64_t WarehousePatternStore::printFromKey(size_t number) const {
  // An entry whose key does not read can never be found; it gets the print nothing matches.
  std::vector<std::uint8_t> bytes;
  PatternEntry key;
  if (!warehouse_->get(entryName(static_cast<int>(number)), bytes)) return 0;
  ByteReader in(bytes);
  return key.readKey(in) ? keyPrintOf(key.snapshot, key.side) : 0;
}

namespace {

// What closes a prints file: the count of prints and a check over them, so that a damaged file
// is never taken for one that was written whole.
constexpr std::uint64_t kPrintsCheckStart = 0x6d6f6f6e68617665ULL;
std::uint64_t printsCheck(std::span<const std::uint64_t> prints, std::uint64_t check = kPrintsCheckStart) {
  for (std::uint64_t p : prints) check = (check ^ p) * 0x100000001b3ULL + (check >> 29);
  return check;
}

}  // namespace

size_t WarehousePatternStore::loadPrints(const std::string& path) {
  constexpr size_t kTrailer = 5;  // count, the data file's entries, bytes and check, then the check
  constexpr size_t kWord = sizeof(std::uint64_t);
  printsPath_.clear();
  printsKept_ = 0;
  BinaryFile file;
  const auto size = !path.empty() && file.open(path, BinaryFile::Mode::ReadOnly) ? file.size() : std::nullopt;
  if (!size || records_.empty() || *size % kWord != 0 || *size < kTrailer * kWord) return 0;
  std::array<std::uint64_t, kTrailer> trailer{};
  const std::uint64_t body = *size / kWord - kTrailer;
  if (!file.readAt(body * kWord, trailer.data(), sizeof trailer) || trailer[0] != body) return 0;
  // The prints are read a piece at a time and checked as they go into the table; a file whose
  // check fails at the end is taken back out.
  const size_t count = static_cast<size_t>(std::min<std::uint64_t>(records_.size(), body));
  std::uint64_t check = kPrintsCheckStart;
  std::vector<std::uint64_t> piece;
  for (std::uint64_t at = 0; at < body; at += piece.size()) {
    piece.resize(static_cast<size_t>(std::min<std::uint64_t>(body - at, std::uint64_t{1} << 17)));
    if (!file.readAt(at * kWord, piece.data(), piece.size() * kWord)) break;
    check = printsCheck(piece, check);
    if (at < count) prints_.append(std::span(piece).first(static_cast<size_t>(std::min<std::uint64_t>(count - at, piece.size()))));
  }
  const std::uint64_t bodyCheck = check;
  check = printsCheck(std::span(trailer).first(kTrailer - 1), check);
  // Prints of another library would answer finds wrongly: its ends must agree with the keys.
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  if (prints_.count() != count || check != trailer[kTrailer - 1] || count == 0 || !prints_.print(0, first) ||
      !prints_.print(count - 1, last) || first != printFromKey(0) || last != printFromKey(count - 1)) {
    prints_.clear();
    prints_.reserve(records_.size(), records_.capacity());
    return 0;
  }
  if (body == records_.size())
    dataStamp_ = DataFileStamp{static_cast<std::int32_t>(trailer[1]), trailer[2], trailer[3]};
  if (body == count) {
    printsPath_ = path;
    printsKept_ = count;
    printsKeptCheck_ = bodyCheck;
  }
  return count;
}

bool WarehousePatternStore::writePrints(const std::string& path, const DataFileStamp& data) const {
  static_assert(std::endian::native == std::endian::little, "prints are stored little-endian as they lie");
  // Written a piece at a time: the prints of millions of entries never sit in memory twice.
  // Prints never change, so the file they were taken from keeps them and gets only the new ones
  // and a new end (count, stamp, check) in place. Until that end is written whole the file's last
  // words do not read as an end whose check holds, so a program killed meanwhile leaves a file
  // that is passed over, as a missing one is.
  ReplacingFile out(path);
  BinaryFile inPlace;
  const bool append = !printsPath_.empty() && path == printsPath_ && printsKept_ <= prints_.count() &&
                      inPlace.open(path, BinaryFile::Mode::ReadWrite);
  if (!append && !out.open()) return false;
  BinaryFile& file = append ? inPlace : out.file();
  std::vector<std::uint64_t> piece;
  std::uint64_t check = append ? printsKeptCheck_ : kPrintsCheckStart;
  std::uint64_t at = append ? printsKept_ * sizeof(std::uint64_t) : 0;
  // The end goes in one write with the last prints, its check after the words it covers.
  auto write = [&](bool end = false) {
    check = printsCheck(piece, check);
    if (end) piece.push_back(check);
    const bool ok = file.writeAt(at, piece.data(), piece.size() * sizeof(std::uint64_t));
    at += piece.size() * sizeof(std::uint64_t);
    piece.clear();
    return ok;
  };
  for (size_t n = append ? printsKept_ : 0; n < prints_.count(); ++n) {
    std::uint64_t print = 0;
    if (!prints_.print(n, print)) return false;
    piece.push_back(print);
    if (piece.size() == (size_t{1} << 17) && !write()) return false;
  }
  piece.push_back(prints_.count());
  piece.push_back(static_cast<std::uint64_t>(data.entries));
  piece.push_back(data.bytes);
  piece.push_back(data.check);
  if (!write(true)) return false;
  if (!append) return out.commit();
  return inPlace.truncate(at) && inPlace.close();
}

bool WarehousePatternStore::enableWriteBack(size_t cacheBytes, const std::string& printsPath) {
  if (!warehouse_) return false;
  if (cache_) {
    cache_->setLimit(cacheBytes);
    return cache_->evict();
  }
  prints_.clear();
  prints_.reserve(records_.size(), records_.capacity());
  // The full prints are read only when the slots grow, at the finish and for the rare entry
  // whose key differs from the one a find sought: they go to a scratch file as they come.
  (void)prints_.spillTo(directory_);
  for (size_t n = loadPrints(printsPath); n < records_.size(); ++n) prints_.append(printFromKey(n));
  // From here the records are read back mostly in order, at the finish: all but the newest go to a
  // scratch file beside the warehouse (where it cannot be made, they stay in memory).
  (void)records_.spillTo(directory_);
  cache_ = std::make_unique<WriteBackCache>(
      cacheBytes, [this](int number, const PatternEntry& entry) { return storeValue(number, entry); });
  bucketsStale_ = true;
  hash_.clear();
  // Held entries reach the warehouse about once each, mostly small: the format's smallest block
  // keeps the file near the size of its values.
  warehouse_->setMinimumPayload(BlockStore::kMinPayloadFloor);
  return true;
}

bool WarehousePatternStore::flush() { return !cache_ || cache_->flush(); }

}  // namespace mh
