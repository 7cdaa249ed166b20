#include "patterns/pattern_library.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>

#include "model/board_transform.h"
#include "patterns/pattern_file_header.h"
#include "platform/buffered_file_reader.h"
#include "platform/byte_io.h"

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

// t applied to a snapshot. A snapshot as boards make it (counts matching the points, each list
// strictly ascending, no point in both lists, every point mapping onto the board) is mapped
// point by point; anything else goes through a board, which drops what a board cannot hold.
bool turnSnapshot(const BoardTransform& t, const BoardSnapshot& in, BoardSnapshot& out) {
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
    for (size_t i = 0; i < in.points.size() && mapped; ++i) {
      out.points[i] = t.mapPoint(in.points[i]);
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
  entries_.clear();
  entries_.shrink_to_fit();
  records_.clear();
  records_.shrink_to_fit();
  hash_.clear();
  (void)dataFile_.close();
  dataSize_ = 0;
  if (warehouse_) {
    warehouse_->close();
    warehouse_.reset();
  }
  mode_ = Mode::Memory;
}

bool PatternLibrary::closeWarehouse() {
  if (!warehouse_) return true;
  const bool ok = warehouse_->close();
  warehouse_.reset();
  return ok;
}

int PatternLibrary::entryCount() const {
  return static_cast<int>(mode_ == Mode::Memory ? entries_.size() : records_.size());
}

void PatternLibrary::rebuildHash() {
  hash_.clear();
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
  rebuildHash();
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
    BufferedFileReader in(dataFile_, static_cast<std::uint64_t>(location), dataSize_, kRandomReadBuffer);
    if (!out.readKey(in)) return false;
    if (!keyMatches()) return true;
    matched = out.readBody(in, PatternEntryForm::DataFile);
    return matched;
  }
  if (mode_ == Mode::Warehouse) {
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
    // The record rules out most neighbours in the bucket without touching the file.
    const PatternIndexRecord& r = records_[static_cast<size_t>(n)];
    if (r.side != side || r.blackCount != snapshot.blackCount || r.whiteCount != snapshot.whiteCount) continue;
    PatternEntry& target = out ? *out : scratch;
    bool matched = false;
    if (readFromStore(n, &snapshot, side, target, matched) && matched) return n;
  }
  return -1;
}

int PatternLibrary::find(const BoardSnapshot& snapshot, int side) const {
  return findEntry(snapshot, side, nullptr);
}

bool PatternLibrary::findWithSymmetries(const BoardSnapshot& snapshot, int side, PatternEntry& out) const {
  if (findEntry(snapshot, side, &out) >= 0) return true;
  for (int kind = 0; kind <= 6; ++kind) {
    const BoardTransform forward(kind, snapshot.width, snapshot.height);
    BoardSnapshot turned;
    if (!turnSnapshot(forward, snapshot, turned)) continue;
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
    if (!storeEntryValue(number, entry)) return false;
    records_.push_back(recordFor(entry, number));
    hash_.insert(records_.back().hash, number);
    return true;
  }
  return false;
}

bool PatternLibrary::storeEntryValue(int number, const PatternEntry& entry) {
  if (!warehouse_ || !warehouse_->isOpen()) return false;
  // The encoding grows with the entry: an entry of any size is stored whole, never cut short.
  std::vector<std::uint8_t> bytes;
  ByteWriter w(bytes);
  if (!entry.write(w, PatternEntryForm::Warehouse)) return false;
  return warehouse_->put(entryName(number), bytes);
}

bool PatternLibrary::storeEntry(int number, const PatternEntry& entry) {
  if (mode_ != Mode::Warehouse || number < 0 || number >= entryCount()) return false;
  return storeEntryValue(number, entry);
}

bool PatternLibrary::writeIndex(const std::string& path) const {
  if (mode_ == Mode::Memory) return false;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(PatternFileHeader::kBytes + records_.size() * PatternIndexRecord::kBytes);
  ByteWriter w(bytes);
  PatternFileHeader::write(w, kPatternIndexTag, static_cast<std::int32_t>(records_.size()));
  for (const auto& r : records_) r.write(w);
  BinaryFile file;
  return file.open(path, BinaryFile::Mode::Create) && file.writeAt(0, bytes.data(), bytes.size()) && file.close();
}

bool PatternLibrary::writeData(const std::string& path) const {
  if (mode_ == Mode::Index) return false;
  BinaryFile file;
  if (!file.open(path, BinaryFile::Mode::Create)) return false;
  std::vector<std::uint8_t> buffer;
  ByteWriter w(buffer);
  std::uint64_t at = 0;
  const int count = entryCount();
  PatternFileHeader::write(w, kPatternDataTag, count);
  PatternEntry scratch;
  bool ok = true;
  for (int n = 0; n < count && ok; ++n) {
    const PatternEntry* e = &scratch;
    if (mode_ == Mode::Memory) e = &entries_[static_cast<size_t>(n)];
    else ok = readEntry(n, scratch);
    ok = ok && e->write(w, PatternEntryForm::DataFile);
    if (buffer.size() >= kWriteChunk && !flushTo(file, at, buffer)) ok = false;
  }
  if (!flushTo(file, at, buffer)) ok = false;
  return file.close() && ok;
}

}  // namespace mh
