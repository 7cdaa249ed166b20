#include "patterns/pattern_library.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "model/board_transform.h"
#include "patterns/pattern_file_header.h"
#include "platform/buffered_file_reader.h"
#include "platform/byte_io.h"
#include "platform/replacing_file.h"

namespace mh {

namespace {

// Entry reads in index mode are random: a small buffer reads the key and most small entries in
// one system call without fetching much that is not needed.
constexpr size_t kRandomReadBuffer = 4096;
constexpr size_t kScanBuffer = 256 * 1024;
constexpr size_t kWriteChunk = 1 << 20;

std::string entryName(int number) { return std::to_string(number); }

PatternIndexRecord recordFor(const PatternEntry& e, std::int32_t location) {
  return PatternIndexRecord{PatternLibrary::hashOf(e.snapshot), location, e.snapshot.blackCount,
                            e.snapshot.whiteCount, e.side};
}

// Writes buffered bytes at the file's current end and empties the buffer.
bool flushTo(BinaryFile& file, std::uint64_t& at, std::vector<std::uint8_t>& buffer) {
  if (buffer.empty()) return true;
  const bool ok = file.writeAt(at, buffer.data(), buffer.size());
  if (ok) at += buffer.size();
  buffer.clear();
  return ok;
}

bool strictlyAscending(PointList::const_iterator first, PointList::const_iterator last) {
  return std::adjacent_find(first, last, [](Point a, Point b) { return a >= b; }) == last;
}

// t (symmetry kind) applied to a snapshot. A snapshot as boards make it (counts matching the points, each list
// strictly ascending, no point in both lists, every point mapping onto the board) is mapped
// point by point; anything else goes through a board, which drops what a board cannot hold.
bool turnSnapshot(const BoardTransform& t, int kind, const BoardSnapshot& in, BoardSnapshot& out) {
  const auto blacks = static_cast<std::ptrdiff_t>(in.blackCount);
  const bool wellFormed =
      in.blackCount >= 0 && in.whiteCount >= 0 &&
      static_cast<std::int64_t>(in.blackCount) + in.whiteCount == static_cast<std::int64_t>(in.points.size()) &&
      strictlyAscending(in.points.begin(), in.points.begin() + blacks) &&
      strictlyAscending(in.points.begin() + blacks, in.points.end());
  if (wellFormed) {
    out.width = in.width;
    out.height = in.height;
    out.blackCount = in.blackCount;
    out.whiteCount = in.whiteCount;
    out.points.resize(in.points.size());
    bool mapped = true;
    const Point* table = t.inverse ? nullptr : turnTable19(kind, in.width, in.height);
    for (size_t i = 0; i < in.points.size() && mapped; ++i) {
      const Point p = in.points[i];
      out.points[i] = table != nullptr ? (p >= 0 && p < 361 ? table[p] : kNoPoint) : t.mapPoint(p);
      mapped = out.points[i] >= 0 && static_cast<std::int64_t>(out.points[i]) <
                                         static_cast<std::int64_t>(in.width) * in.height;
    }
    if (mapped) {
      const auto mid = out.points.begin() + blacks;
      std::sort(out.points.begin(), mid);
      std::sort(mid, out.points.end());
      // No point in both lists: otherwise the board's rule (white written last) must decide.
      if (!std::any_of(out.points.begin(), mid,
                       [&](Point p) { return std::binary_search(mid, out.points.end(), p); }))
        return true;
    }
  }
  return t.mapSnapshot(in, out);
}

}  // namespace

PatternLibrary::~PatternLibrary() { reset(); }

std::int32_t PatternLibrary::hashOf(const BoardSnapshot& snapshot) {
  std::uint32_t sum = 0;
  for (Point p : snapshot.points) sum += static_cast<std::uint32_t>(p);
  const auto value = static_cast<std::int64_t>(static_cast<std::int32_t>(sum));
  return static_cast<std::int32_t>((value < 0 ? -value : value) % PatternHashTable::kBuckets);
}

void PatternLibrary::reset() {
  if (writeBack_) (void)flush();
  writeBack_ = false;
  cacheLimit_ = 0;
  cacheBytes_ = 0;
  heldSlot_.clear();
  heldSlot_.shrink_to_fit();
  heldPool_.clear();
  heldPool_.shrink_to_fit();
  freeHolders_.clear();
  freeHolders_.shrink_to_fit();
  bucketsStale_ = false;
  clock_.clear();
  clock_.shrink_to_fit();
  clockHand_ = 0;
  prints_.clear();
  updateScratch_ = PatternEntry{};
  beforeFirstWrite_ = nullptr;
  wroteWarehouse_ = false;
  entries_.clear();
  entries_.shrink_to_fit();
  records_.clear();
  records_.shrink_to_fit();
  dropBuckets();
  (void)dataFile_.close();
  dataMap_.close();
  dataSize_ = 0;
  if (warehouse_) {
    warehouse_->close();
    warehouse_.reset();
  }
  mode_ = Mode::Memory;
}

bool PatternLibrary::closeWarehouse() {
  if (!warehouse_) return true;
  bool ok = !writeBack_ || flush();
  ok = warehouse_->close() && ok;
  warehouse_.reset();
  return ok;
}

int PatternLibrary::entryCount() const {
  return static_cast<int>(mode_ == Mode::Memory ? entries_.size() : records_.size());
}

std::uint32_t PatternLibrary::filterWord(std::int32_t blackCount, std::int32_t whiteCount, int side) {
  return (static_cast<std::uint32_t>(side) & 0xff) << 24 | (static_cast<std::uint32_t>(blackCount) & 0xfff) << 12 |
         (static_cast<std::uint32_t>(whiteCount) & 0xfff);
}

void PatternLibrary::dropBuckets() {
  hash_.clear();
  // Swapping with empty vectors hands their memory back at once.
  std::vector<std::int32_t>().swap(bucketStarts_);
  std::vector<std::int32_t>().swap(bucketNumbers_);
  std::vector<std::uint32_t>().swap(bucketFilters_);
}

void PatternLibrary::rebuildHash() {
  dropBuckets();
  if (mode_ == Mode::Index) {
    // A read-only library lays its buckets out side by side (a counting sort by hash), each
    // bucket's numbers ascending with a word of what the record filters on: a bucket is then
    // walked as one short run of memory instead of a chain of scattered links.
    bucketStarts_.assign(PatternHashTable::kBuckets + 1, 0);
    for (const auto& r : records_)
      if (r.hash >= 0 && r.hash < PatternHashTable::kBuckets) ++bucketStarts_[static_cast<size_t>(r.hash) + 1];
    for (size_t b = 1; b < bucketStarts_.size(); ++b) bucketStarts_[b] += bucketStarts_[b - 1];
    bucketNumbers_.resize(static_cast<size_t>(bucketStarts_.back()));
    bucketFilters_.resize(bucketNumbers_.size());
    std::vector<std::int32_t> next(bucketStarts_.begin(), bucketStarts_.end() - 1);
    for (size_t i = 0; i < records_.size(); ++i) {
      const auto& r = records_[i];
      if (r.hash < 0 || r.hash >= PatternHashTable::kBuckets) continue;
      const auto at = static_cast<size_t>(next[static_cast<size_t>(r.hash)]++);
      bucketNumbers_[at] = static_cast<std::int32_t>(i);
      bucketFilters_[at] = filterWord(r.blackCount, r.whiteCount, r.side);
    }
    return;
  }
  if (mode_ == Mode::Memory) {
    hash_.reserve(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i)
      hash_.insert(hashOf(entries_[i].snapshot), static_cast<std::int32_t>(i));
  } else {
    hash_.reserve(records_.size());
    for (size_t i = 0; i < records_.size(); ++i) hash_.insert(records_[i].hash, static_cast<std::int32_t>(i));
  }
}

bool PatternLibrary::loadIndexFile(const std::string& path) {
  std::int32_t count = 0;
  std::vector<std::uint8_t> body;
  if (!PatternFileHeader::readFile(path, kPatternIndexTag, PatternIndexRecord::kBytes, count, body)) return false;
  ByteReader r(body);
  records_.resize(static_cast<size_t>(count));
  for (auto& rec : records_)
    if (!rec.read(r)) return false;
  return true;
}

bool PatternLibrary::openIndex(const std::string& indexPath, const std::string& dataPath) {
  reset();
  mode_ = Mode::Index;
  const bool ok = loadIndexFile(indexPath) && dataFile_.open(dataPath, BinaryFile::Mode::ReadOnly);
  const auto size = ok ? dataFile_.size() : std::nullopt;
  if (!size) {
    reset();
    return false;
  }
  dataSize_ = *size;
  // An index left from another run of the data file (a build stopped between replacing the two
  // files, or files copied apart) would send reads into the middle of entries: the pair is checked
  // at its ends and, when it does not agree, the data file is indexed by scanning it instead.
  if (!indexMatchesData()) return openData(dataPath);
  mapData(dataPath);
  rebuildHash();
  return true;
}

void PatternLibrary::mapData(const std::string& dataPath) {
  // Reads through the map only while it shows the file that was opened.
  if (dataMap_.open(dataPath) && dataMap_.bytes().size() != dataSize_) dataMap_.close();
}

bool PatternLibrary::indexMatchesData() const {
  std::vector<std::uint8_t> head(PatternFileHeader::kBytes);
  std::int32_t count = 0;
  if (!dataFile_.readAt(0, head.data(), head.size())) return false;
  ByteReader hr(head);
  if (!PatternFileHeader::read(hr, kPatternDataTag, count) || records_.size() > static_cast<size_t>(count))
    return false;
  for (const size_t i : {size_t{0}, records_.size() - 1}) {
    if (i >= records_.size()) break;
    const PatternIndexRecord& r = records_[i];
    if (r.location < static_cast<std::int32_t>(PatternFileHeader::kBytes) ||
        static_cast<std::uint64_t>(r.location) >= dataSize_)
      return false;
    BufferedFileReader in(dataFile_, static_cast<std::uint64_t>(r.location), dataSize_, kRandomReadBuffer);
    PatternEntry key;
    if (!key.readKey(in) || recordFor(key, r.location) != r) return false;
  }
  return true;
}

bool PatternLibrary::openData(const std::string& dataPath) {
  reset();
  mode_ = Mode::Index;
  std::vector<std::uint8_t> head(PatternFileHeader::kBytes);
  std::int32_t count = 0;
  const auto size = dataFile_.open(dataPath, BinaryFile::Mode::ReadOnly) ? dataFile_.size() : std::nullopt;
  bool ok = size && dataFile_.readAt(0, head.data(), head.size());
  if (ok) {
    ByteReader hr(head);
    ok = PatternFileHeader::read(hr, kPatternDataTag, count);
  }
  if (!ok) {
    reset();
    return false;
  }
  dataSize_ = *size;
  mapData(dataPath);
  BufferedFileReader in(dataFile_, PatternFileHeader::kBytes, dataSize_, kScanBuffer);
  PatternEntry scratch;  // reused so each entry's lists do not reallocate
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint64_t at = in.position();
    // Offsets are 32-bit in the index records; what lies beyond cannot be indexed.
    if (at > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) break;
    if (!scratch.read(in, PatternEntryForm::DataFile)) break;
    records_.push_back(recordFor(scratch, static_cast<std::int32_t>(at)));
  }
  rebuildHash();
  return true;
}

bool PatternLibrary::openWarehouse(const std::string& warehousePath, const std::string& indexPath) {
  reset();
  mode_ = Mode::Warehouse;
  warehouse_ = std::make_unique<Warehouse>();
  if (!loadIndexFile(indexPath) || !warehouse_->open(warehousePath, false)) {
    reset();
    return false;
  }
  rebuildHash();
  return true;
}

bool PatternLibrary::createWarehouse(const std::string& warehousePath) {
  reset();
  warehouse_ = std::make_unique<Warehouse>();
  if (!warehouse_->create(warehousePath)) {
    reset();
    return false;
  }
  mode_ = Mode::Warehouse;
  return true;
}

bool PatternLibrary::readFromStore(int number, const BoardSnapshot* key, int side, PatternEntry& out,
                                   bool& matched) const {
  matched = false;
  auto keyMatches = [&] { return key == nullptr || (out.snapshot == *key && out.side == side); };
  if (mode_ == Mode::Index) {
    const std::int32_t location = records_[static_cast<size_t>(number)].location;
    if (location < 0 || !dataFile_.isOpen()) return false;
    if (dataMap_.isOpen()) {
      const auto bytes = dataMap_.bytes();
      if (static_cast<size_t>(location) >= bytes.size()) return false;
      ByteReader in(bytes.subspan(static_cast<size_t>(location)));
      if (!out.readKey(in)) return false;
      if (!keyMatches()) return true;
      matched = out.readBody(in, PatternEntryForm::DataFile);
      return matched;
    }
    BufferedFileReader in(dataFile_, static_cast<std::uint64_t>(location), dataSize_, kRandomReadBuffer);
    if (!out.readKey(in)) return false;
    if (!keyMatches()) return true;
    matched = out.readBody(in, PatternEntryForm::DataFile);
    return matched;
  }
  if (mode_ == Mode::Warehouse) {
    if (const PatternEntry* e = held(number)) {
      if (key != nullptr && !(e->snapshot == *key && e->side == side)) {
        out.snapshot = e->snapshot;
        out.side = e->side;
        return true;
      }
      out = *e;
      matched = true;
      return true;
    }
    std::vector<std::uint8_t> bytes;
    if (!warehouse_ || !warehouse_->get(entryName(number), bytes)) return false;
    ByteReader in(bytes);
    if (!out.readKey(in)) return false;
    if (!keyMatches()) return true;
    matched = out.readBody(in, PatternEntryForm::Warehouse);
    return matched;
  }
  return false;
}

bool PatternLibrary::readEntry(int number, PatternEntry& out) const {
  if (number < 0 || number >= entryCount()) return false;
  if (mode_ == Mode::Memory) {
    out = entries_[static_cast<size_t>(number)];
    return true;
  }
  bool matched = false;
  return readFromStore(number, nullptr, 0, out, matched) && matched;
}

PatternEntry* PatternLibrary::entryAt(int number) {
  if (mode_ != Mode::Memory || number < 0 || number >= entryCount()) return nullptr;
  return &entries_[static_cast<size_t>(number)];
}

int PatternLibrary::findEntry(const BoardSnapshot& snapshot, int side, PatternEntry* out) const {
  PatternEntry scratch;
  if (writeBack_) {
    // No entry has a key whose print no entry has; the entry a print names is almost always the
    // one sought, and the walk below settles the rare case where it is not.
    const std::int32_t n = prints_.find(keyPrintOf(snapshot, side));
    if (n < 0) return -1;
    // A held entry is compared where it is: copying it (occurrences and all) only to compare its
    // key would cost most of a busy position's find.
    if (const PatternEntry* e = held(n); e && out == nullptr && e->side == side && e->snapshot == snapshot) return n;
    PatternEntry& target = out ? *out : scratch;
    bool matched = false;
    if (readFromStore(n, &snapshot, side, target, matched) && matched) return n;
    ensureBuckets();
  }
  // With the data file mapped, a neighbour's key is compared as bytes where it lies: the key's
  // binary form (snapshot, then side) is equal exactly when the key is, and nothing is read or
  // allocated for the many neighbours that differ.
  std::vector<std::uint8_t> keyBytes;
  std::span<const std::uint8_t> mapped;
  if (mode_ == Mode::Index && dataMap_.isOpen()) {
    ByteWriter w(keyBytes);
    if (snapshot.write(w)) {
      w.writeU8(static_cast<std::uint8_t>(side));
      mapped = dataMap_.bytes();
    }
  }
  // A stored neighbour (index or warehouse mode): its record rules out most of them without
  // touching the file.
  auto storedMatches = [&](std::int32_t n) {
    const PatternIndexRecord& r = records_[static_cast<size_t>(n)];
    if (r.side != side || r.blackCount != snapshot.blackCount || r.whiteCount != snapshot.whiteCount) return false;
    if (!mapped.empty() && (r.location < 0 || static_cast<size_t>(r.location) > mapped.size() ||
                            mapped.size() - static_cast<size_t>(r.location) < keyBytes.size() ||
                            std::memcmp(mapped.data() + r.location, keyBytes.data(), keyBytes.size()) != 0))
      return false;
    bool matched = false;
    return readFromStore(n, &snapshot, side, out ? *out : scratch, matched) && matched;
  };
  if (mode_ == Mode::Index) {
    const std::int32_t h = hashOf(snapshot);
    if (bucketStarts_.empty() || h < 0 || h >= PatternHashTable::kBuckets) return -1;
    const std::uint32_t want = filterWord(snapshot.blackCount, snapshot.whiteCount, side);
    const auto end = static_cast<size_t>(bucketStarts_[static_cast<size_t>(h) + 1]);
    for (auto at = static_cast<size_t>(bucketStarts_[static_cast<size_t>(h)]); at < end; ++at)
      if (bucketFilters_[at] == want && storedMatches(bucketNumbers_[at])) return bucketNumbers_[at];
    return -1;
  }
  for (std::int32_t n = hash_.first(hashOf(snapshot)); n >= 0; n = hash_.next(n)) {
    if (n >= entryCount()) continue;
    if (mode_ == Mode::Memory) {
      const PatternEntry& e = entries_[static_cast<size_t>(n)];
      if (e.side == side && e.snapshot == snapshot) {
        if (out) *out = e;
        return n;
      }
      continue;
    }
    if (storedMatches(n)) return n;
  }
  return -1;
}

int PatternLibrary::find(const BoardSnapshot& snapshot, int side) const {
  return findEntry(snapshot, side, nullptr);
}

int PatternLibrary::findUnderSymmetries(const BoardSnapshot& snapshot, int side, int& kind) const {
  kind = -1;
  const int n = find(snapshot, side);
  if (n >= 0) return n;
  for (int k = 0; k <= 6; ++k) {
    if (writeBack_) {
      // A turn whose print no entry has needs no turned snapshot at all.
      std::uint64_t print = 0;
      if (!turnedKeyPrint(snapshot, side, k, print) || prints_.find(print) < 0) continue;
    }
    const BoardTransform forward(k, snapshot.width, snapshot.height);
    BoardSnapshot turned;
    if (!turnSnapshot(forward, k, snapshot, turned)) continue;
    const int m = find(turned, side);
    if (m >= 0) {
      kind = k;
      return m;
    }
  }
  return -1;
}

bool PatternLibrary::findWithSymmetries(const BoardSnapshot& snapshot, int side, PatternEntry& out) const {
  if (findEntry(snapshot, side, &out) >= 0) return true;
  for (int kind = 0; kind <= 6; ++kind) {
    const BoardTransform forward(kind, snapshot.width, snapshot.height);
    BoardSnapshot turned;
    if (!turnSnapshot(forward, kind, snapshot, turned)) continue;
    if (findEntry(turned, side, &out) >= 0) return out.transform(kind, true);
  }
  return false;
}

bool PatternLibrary::add(PatternEntry entry) {
  if (mode_ == Mode::Memory) {
    if (entries_.size() >= static_cast<size_t>(std::numeric_limits<std::int32_t>::max())) return false;
    // A snapshot whose counts disagree with its points could never be written to a data file.
    const BoardSnapshot& s = entry.snapshot;
    if (s.blackCount < 0 || s.whiteCount < 0 ||
        static_cast<std::int64_t>(s.blackCount) + s.whiteCount != static_cast<std::int64_t>(s.points.size()))
      return false;
    if (find(entry.snapshot, entry.side) >= 0) return false;
    const auto number = static_cast<std::int32_t>(entries_.size());
    const std::int32_t h = hashOf(entry.snapshot);
    entries_.push_back(std::move(entry));
    hash_.insert(h, number);
    return true;
  }
  if (mode_ == Mode::Warehouse) {
    if (records_.size() >= static_cast<size_t>(std::numeric_limits<std::int32_t>::max())) return false;
    const auto number = static_cast<std::int32_t>(records_.size());
    if (writeBack_) {
      // Refuse what could never be stored, as a store would.
      std::vector<std::uint8_t> probe;
      ByteWriter w(probe);
      if (!entry.snapshot.write(w) || entry.text.size() > std::numeric_limits<std::uint16_t>::max()) return false;
      records_.push_back(recordFor(entry, number));
      if (!bucketsStale_) hash_.insert(records_.back().hash, number);
      prints_.append(keyPrintOf(entry.snapshot, entry.side));
      hold(number, std::move(entry));
      return evict();
    }
    if (!storeEntryValue(number, entry)) return false;
    records_.push_back(recordFor(entry, number));
    hash_.insert(records_.back().hash, number);
    return true;
  }
  return false;
}

bool PatternLibrary::writeAllowed() {
  if (wroteWarehouse_) return true;
  if (beforeFirstWrite_ && !beforeFirstWrite_()) return false;
  wroteWarehouse_ = true;
  return true;
}

bool PatternLibrary::storeEntryValue(int number, const PatternEntry& entry) {
  if (!warehouse_ || !warehouse_->isOpen() || !writeAllowed()) return false;
  // The encoding grows with the entry: an entry of any size is stored whole, never cut short.
  std::vector<std::uint8_t> bytes;
  ByteWriter w(bytes);
  if (!entry.write(w, PatternEntryForm::Warehouse)) return false;
  return warehouse_->put(entryName(number), bytes);
}

bool PatternLibrary::storeEntry(int number, const PatternEntry& entry) {
  if (mode_ != Mode::Warehouse || number < 0 || number >= entryCount()) return false;
  if (writeBack_) {
    if (entry.text.size() > std::numeric_limits<std::uint16_t>::max()) return false;
    hold(number, entry);
    return evict();
  }
  return storeEntryValue(number, entry);
}

// --- write-back ---------------------------------------------------------------------------------

size_t PatternLibrary::heldBytes(const PatternEntry& e) {
  // The entry, its holder and the heap blocks of its lists, each with the allocator's overhead.
  constexpr size_t kBlock = 16;
  return sizeof(PatternEntry) + sizeof(HeldEntry) + 4 * kBlock + e.snapshot.points.capacity() * sizeof(Point) +
         e.candidates.capacity() * sizeof(PatternCandidate) + e.occurrences.capacity() * sizeof(PatternOccurrence) +
         (e.text.capacity() > 15 ? e.text.capacity() : 0);
}

PatternLibrary::HeldEntry* PatternLibrary::holderOf(int number) {
  if (number < 0 || static_cast<size_t>(number) >= heldSlot_.size()) return nullptr;
  const std::int32_t slot = heldSlot_[static_cast<size_t>(number)];
  return slot < 0 ? nullptr : &heldPool_[static_cast<size_t>(slot)];
}

const PatternEntry* PatternLibrary::held(int number) const {
  if (!writeBack_) return nullptr;
  const HeldEntry* h = const_cast<PatternLibrary*>(this)->holderOf(number);
  return h ? h->entry.get() : nullptr;
}

void PatternLibrary::release(int number) {
  HeldEntry* h = holderOf(number);
  if (!h) return;
  cacheBytes_ -= std::min(cacheBytes_, heldBytes(*h->entry));
  h->entry.reset();
  h->dirty = false;
  freeHolders_.push_back(heldSlot_[static_cast<size_t>(number)]);
  heldSlot_[static_cast<size_t>(number)] = -1;
}

PatternEntry& PatternLibrary::hold(int number, PatternEntry entry) {
  const auto n = static_cast<size_t>(number);
  if (heldSlot_.size() <= n) heldSlot_.resize(n + 1, -1);
  HeldEntry* h = holderOf(number);
  if (h) {
    cacheBytes_ -= std::min(cacheBytes_, heldBytes(*h->entry));
    *h->entry = std::move(entry);
  } else {
    std::int32_t slot = -1;
    if (freeHolders_.empty()) {
      slot = static_cast<std::int32_t>(heldPool_.size());
      heldPool_.emplace_back();
    } else {
      slot = freeHolders_.back();
      freeHolders_.pop_back();
    }
    heldSlot_[n] = slot;
    h = &heldPool_[static_cast<size_t>(slot)];
    h->entry = std::make_unique<PatternEntry>(std::move(entry));
    clock_.push_back(number);
  }
  h->dirty = true;
  h->referenced = true;
  cacheBytes_ += heldBytes(*h->entry);
  return *h->entry;
}

void PatternLibrary::ensureBuckets() const {
  if (!bucketsStale_) return;
  bucketsStale_ = false;
  hash_.clear();
  hash_.reserve(records_.size());
  for (size_t i = 0; i < records_.size(); ++i) hash_.insert(records_[i].hash, static_cast<std::int32_t>(i));
}

bool PatternLibrary::evict() {
  if (cacheBytes_ <= cacheLimit_) return true;
  // Second chance in the order entries were taken in: an entry used since the hand last passed
  // stays for another round. Written down to three quarters of the limit, so eviction runs in
  // batches rather than on every move.
  const size_t target = cacheLimit_ / 4 * 3;
  bool ok = true;
  while (cacheBytes_ > target && clockHand_ < clock_.size()) {
    const std::int32_t number = clock_[clockHand_++];
    HeldEntry* h = holderOf(number);
    if (!h) continue;
    if (h->referenced) {
      h->referenced = false;
      clock_.push_back(number);
      continue;
    }
    if (h->dirty && !storeEntryValue(number, *h->entry)) {
      // Kept (and tried again later) so that nothing recorded is lost.
      ok = false;
      clock_.push_back(number);
      break;
    }
    release(number);
  }
  // The passed part of the queue is dropped once it outweighs the rest.
  if (clockHand_ > clock_.size() / 2) {
    clock_.erase(clock_.begin(), clock_.begin() + static_cast<std::ptrdiff_t>(clockHand_));
    clockHand_ = 0;
  }
  return ok;
}

bool PatternLibrary::enableWriteBack(size_t cacheBytes) {
  if (mode_ != Mode::Warehouse || !warehouse_) return false;
  if (writeBack_) {
    cacheLimit_ = cacheBytes;
    return evict();
  }
  prints_.clear();
  prints_.reserve(records_.size());
  PatternEntry scratch;
  std::vector<std::uint8_t> bytes;
  for (size_t n = 0; n < records_.size(); ++n) {
    // An entry whose key does not read can never be found; it gets the print nothing matches.
    bool ok = warehouse_->get(entryName(static_cast<int>(n)), bytes);
    ByteReader in(bytes);
    ok = ok && scratch.readKey(in);
    prints_.append(ok ? keyPrintOf(scratch.snapshot, scratch.side) : 0);
  }
  writeBack_ = true;
  cacheLimit_ = cacheBytes;
  bucketsStale_ = true;
  hash_.clear();
  // Held entries reach the warehouse about once each, mostly small: the format's smallest block
  // keeps the file near the size of its values.
  warehouse_->setMinimumPayload(BlockStore::kMinPayloadFloor);
  return true;
}

bool PatternLibrary::flush() {
  if (!writeBack_) return true;
  bool ok = true;
  for (size_t n = 0; n < heldSlot_.size(); ++n) {
    HeldEntry* h = holderOf(static_cast<int>(n));
    if (!h || !h->dirty) continue;
    if (storeEntryValue(static_cast<int>(n), *h->entry)) h->dirty = false;
    else ok = false;
  }
  return ok;
}

PatternEntry* PatternLibrary::beginUpdate(int number) {
  if (number < 0 || number >= entryCount()) return nullptr;
  if (mode_ == Mode::Memory) return &entries_[static_cast<size_t>(number)];
  if (mode_ != Mode::Warehouse) return nullptr;
  if (writeBack_) {
    if (HeldEntry* h = holderOf(number)) {
      cacheBytes_ -= std::min(cacheBytes_, heldBytes(*h->entry));
      return h->entry.get();
    }
    PatternEntry entry;
    if (!readEntry(number, entry)) return nullptr;
    PatternEntry& e = hold(number, std::move(entry));
    cacheBytes_ -= std::min(cacheBytes_, heldBytes(e));
    return &e;
  }
  return readEntry(number, updateScratch_) ? &updateScratch_ : nullptr;
}

bool PatternLibrary::endUpdate(int number) {
  if (mode_ == Mode::Memory) return true;
  if (writeBack_) {
    HeldEntry* h = holderOf(number);
    h->dirty = true;
    h->referenced = true;
    cacheBytes_ += heldBytes(*h->entry);
    return evict();
  }
  return storeEntryValue(number, updateScratch_);
}

std::vector<std::uint8_t> PatternLibrary::indexFileBytes(const std::vector<PatternIndexRecord>& records) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(PatternFileHeader::kBytes + records.size() * PatternIndexRecord::kBytes);
  ByteWriter w(bytes);
  PatternFileHeader::write(w, kPatternIndexTag, static_cast<std::int32_t>(records.size()));
  for (const auto& r : records) r.write(w);
  return bytes;
}

bool PatternLibrary::writeIndex(const std::string& path) const {
  if (mode_ == Mode::Memory) return false;
  return replaceFile(path, indexFileBytes(records_));
}

bool PatternLibrary::writeData(const std::string& path) const {
  ReplacingFile out(path);
  return out.open() && writeDataTo(out.file(), nullptr) && out.commit();
}

bool PatternLibrary::writeDataTo(BinaryFile& file, BinaryFile* indexFile) const {
  if (mode_ == Mode::Index) return false;
  std::vector<std::uint8_t> buffer;
  ByteWriter w(buffer);
  std::uint64_t at = 0;
  const int count = entryCount();
  PatternFileHeader::write(w, kPatternDataTag, count);
  // The index records a scan of the finished file gives: one per entry written, up to the 32-bit
  // limit of their offsets. They follow a header whose count is set at the end.
  std::vector<std::uint8_t> indexBuffer;
  ByteWriter iw(indexBuffer);
  std::uint64_t indexAt = 0;
  std::int32_t indexed = 0;
  bool indexing = indexFile != nullptr;
  if (indexing) PatternFileHeader::write(iw, kPatternIndexTag, 0);
  PatternEntry scratch;
  bool ok = true;
  for (int n = 0; n < count && ok; ++n) {
    const PatternEntry* e = &scratch;
    if (mode_ == Mode::Memory) e = &entries_[static_cast<size_t>(n)];
    else if (const PatternEntry* h = held(n)) e = h;
    else ok = readEntry(n, scratch);
    const std::uint64_t offset = at + buffer.size();
    ok = ok && e->write(w, PatternEntryForm::DataFile);
    if (ok && indexing && offset <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
      recordFor(*e, static_cast<std::int32_t>(offset)).write(iw);
      ++indexed;
    } else {
      indexing = false;
    }
    if (buffer.size() >= kWriteChunk && !flushTo(file, at, buffer)) ok = false;
    if (indexBuffer.size() >= kWriteChunk && !flushTo(*indexFile, indexAt, indexBuffer)) ok = false;
  }
  if (!flushTo(file, at, buffer)) ok = false;
  if (indexFile != nullptr) {
    std::vector<std::uint8_t> head;
    ByteWriter hw(head);
    PatternFileHeader::write(hw, kPatternIndexTag, indexed);
    if (!flushTo(*indexFile, indexAt, indexBuffer) || !indexFile->writeAt(0, head.data(), head.size())) ok = false;
  }
  return ok;
}

}  // namespace mh
