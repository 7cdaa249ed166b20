#include "patterns/data_file_pattern_store.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "model/board_transform.h"
#include "patterns/pattern_file_header.h"
#include "patterns/pattern_hash_table.h"
#include "platform/buffered_file_reader.h"
#include "platform/byte_io.h"

namespace mh {

namespace {

// Entry reads are random: a small buffer reads the key and most small entries in one system call
// without fetching much that is not needed.
constexpr size_t kRandomReadBuffer = 4096;
constexpr size_t kScanBuffer = 256 * 1024;

// What a bucket's neighbours are filtered on before their keys are compared.
std::uint32_t filterWord(std::int32_t blackCount, std::int32_t whiteCount, int side) {
  return (static_cast<std::uint32_t>(side) & 0xff) << 24 | (static_cast<std::uint32_t>(blackCount) & 0xfff) << 12 |
         (static_cast<std::uint32_t>(whiteCount) & 0xfff);
}

}  // namespace

// The records of an index file ("wpindex"), read a piece at a time: opening a library keeps no
// copy of the file, only what look-ups need.
class IndexFileRecords {
 public:
  // False when the file does not open or its header does not read, or the records it announces
  // do not fit the file.
  [[nodiscard]] bool open(const std::string& path) {
    std::vector<std::uint8_t> head(PatternFileHeader::kBytes);
    const auto size = file_.open(path, BinaryFile::Mode::ReadOnly) ? file_.size() : std::nullopt;
    if (!size || !file_.readAt(0, head.data(), head.size())) return false;
    ByteReader hr(head);
    std::int32_t count = 0;
    if (!PatternFileHeader::read(hr, kPatternIndexTag, count)) return false;
    if (static_cast<std::uint64_t>(count) * PatternIndexRecord::kBytes > *size - PatternFileHeader::kBytes)
      return false;
    size_ = static_cast<size_t>(count);
    return true;
  }
  size_t size() const { return size_; }
  [[nodiscard]] bool at(size_t i, PatternIndexRecord& r) const {
    std::uint8_t bytes[PatternIndexRecord::kBytes];
    if (!file_.readAt(offsetOf(i), bytes, sizeof bytes)) return false;
    r = decode(bytes);
    return true;
  }
  // Calls f(number, record) for every record in order; false when a read fails.
  template <class F>
  [[nodiscard]] bool forEach(F&& f) const {
    constexpr size_t kPiece = 61680;  // records a read: just under a mebibyte
    std::vector<std::uint8_t> buffer(kPiece * PatternIndexRecord::kBytes);
    for (size_t first = 0; first < size_; first += kPiece) {
      const size_t n = std::min(kPiece, size_ - first);
      if (!file_.readAt(offsetOf(first), buffer.data(), n * PatternIndexRecord::kBytes)) return false;
      for (size_t i = 0; i < n; ++i) f(first + i, decode(buffer.data() + i * PatternIndexRecord::kBytes));
    }
    return true;
  }

 private:
  static std::uint64_t offsetOf(size_t i) {
    return PatternFileHeader::kBytes + static_cast<std::uint64_t>(i) * PatternIndexRecord::kBytes;
  }
  // The fields as PatternIndexRecord::read takes them, without a bounds check a field.
  static PatternIndexRecord decode(const std::uint8_t* p) {
    PatternIndexRecord r;
    std::memcpy(&r.hash, p, 4);
    std::memcpy(&r.location, p + 4, 4);
    std::memcpy(&r.blackCount, p + 8, 4);
    std::memcpy(&r.whiteCount, p + 12, 4);
    r.side = p[16];
    return r;
  }

  BinaryFile file_;
  size_t size_ = 0;
};

bool readPatternIndexFile(const std::string& path, std::vector<PatternIndexRecord>& records) {
  std::int32_t count = 0;
  std::vector<std::uint8_t> body;
  if (!PatternFileHeader::readFile(path, kPatternIndexTag, PatternIndexRecord::kBytes, count, body)) return false;
  ByteReader r(body);
  records.resize(static_cast<size_t>(count));
  for (auto& rec : records)
    if (!rec.read(r)) return false;
  return true;
}

bool DataFilePatternStore::openFile(const std::string& dataPath, std::int32_t& count) {
  std::vector<std::uint8_t> head(PatternFileHeader::kBytes);
  const auto size = dataFile_.open(dataPath, BinaryFile::Mode::ReadOnly) ? dataFile_.size() : std::nullopt;
  if (!size || !dataFile_.readAt(0, head.data(), head.size())) return false;
  ByteReader hr(head);
  if (!PatternFileHeader::read(hr, kPatternDataTag, count)) return false;
  dataSize_ = *size;
  return true;
}

bool DataFilePatternStore::openIndex(const std::string& indexPath, const std::string& dataPath) {
  std::int32_t count = 0;
  IndexFileRecords records;
  if (!records.open(indexPath) || !openFile(dataPath, count)) return false;
  // An index left from another run of the data file (a build stopped between replacing the two
  // files, or files copied apart) would send reads into the middle of entries: the pair is checked
  // at its ends and, when it does not agree, the data file is indexed by scanning it instead.
  if (records.size() > static_cast<size_t>(count) || !indexMatchesData(records)) {
    (void)dataFile_.close();
    return openData(dataPath);
  }
  if (!layBuckets(records.size(), [&](auto&& f) { return records.forEach(f); })) return false;
  mapData(dataPath);
  return true;
}

bool DataFilePatternStore::indexMatchesData(const IndexFileRecords& records) const {
  for (const size_t i : {size_t{0}, records.size() - 1}) {
    if (i >= records.size()) break;
    PatternIndexRecord r;
    if (!records.at(i, r)) return false;
    if (r.location < static_cast<std::int32_t>(PatternFileHeader::kBytes) ||
        static_cast<std::uint64_t>(r.location) >= dataSize_)
      return false;
    BufferedFileReader in(dataFile_, static_cast<std::uint64_t>(r.location), dataSize_, kRandomReadBuffer);
    PatternEntry key;
    if (!key.readKey(in) || patternRecordFor(key, r.location) != r) return false;
  }
  return true;
}

void DataFilePatternStore::mapData(const std::string& dataPath) {
  // Reads through the map only while it shows the file that was opened.
  if (dataMap_.open(dataPath) && dataMap_.bytes().size() != dataSize_) dataMap_.close();
}

bool DataFilePatternStore::openData(const std::string& dataPath) {
  std::int32_t count = 0;
  if (!openFile(dataPath, count)) return false;
  mapData(dataPath);
  BufferedFileReader in(dataFile_, PatternFileHeader::kBytes, dataSize_, kScanBuffer);
  PatternEntry scratch;  // reused so each entry's lists do not reallocate
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint64_t at = in.position();
    // Offsets are 32-bit in the index records; what lies beyond cannot be indexed.
    if (at > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) break;
    if (!scratch.read(in, PatternEntryForm::DataFile)) break;
    records_.push_back(patternRecordFor(scratch, static_cast<std::int32_t>(at)));
  }
  scanned_ = true;
  return layBuckets(records_.size(), [&](auto&& f) {
    for (size_t i = 0; i < records_.size(); ++i) f(i, records_[i]);
    return true;
  });
}

template <class ForEachRecord>
bool DataFilePatternStore::layBuckets(size_t count, ForEachRecord&& forEach) {
  // A counting sort by hash in two passes over the records, each bucket's numbers ascending with
  // the word they are filtered on. The first pass also takes each location.
  locations_.resize(count);
  bucketStarts_.assign(PatternHashTable::kBuckets + 1, 0);
  const auto inRange = [](std::int32_t hash) { return hash >= 0 && hash < PatternHashTable::kBuckets; };
  const bool counted = forEach([&](size_t i, const PatternIndexRecord& r) {
    locations_[i] = r.location;
    if (inRange(r.hash)) ++bucketStarts_[static_cast<size_t>(r.hash) + 1];
  });
  if (!counted) return false;
  for (size_t b = 1; b < bucketStarts_.size(); ++b) bucketStarts_[b] += bucketStarts_[b - 1];
  bucketSlots_.resize(static_cast<size_t>(bucketStarts_.back()));
  std::vector<std::int32_t> next(bucketStarts_.begin(), bucketStarts_.end() - 1);
  return forEach([&](size_t i, const PatternIndexRecord& r) {
    if (!inRange(r.hash)) return;
    const auto at = static_cast<size_t>(next[static_cast<size_t>(r.hash)]++);
    bucketSlots_[at] = Slot{filterWord(r.blackCount, r.whiteCount, r.side), static_cast<std::int32_t>(i)};
  });
}

bool DataFilePatternStore::readAt(int number, const BoardSnapshot* key, int side, PatternEntry& out, bool& matched,
                                  EntryParts parts) const {
  matched = false;
  const std::int32_t location = locations_[static_cast<size_t>(number)];
  if (location < 0 || !dataFile_.isOpen()) return false;
  if (dataMap_.isOpen()) {
    const auto bytes = dataMap_.bytes();
    if (static_cast<size_t>(location) >= bytes.size()) return false;
    ByteReader in(bytes.subspan(static_cast<size_t>(location)));
    return readEntryIfKey(in, PatternEntryForm::DataFile, key, side, out, matched, parts);
  }
  BufferedFileReader in(dataFile_, static_cast<std::uint64_t>(location), dataSize_, kRandomReadBuffer);
  return readEntryIfKey(in, PatternEntryForm::DataFile, key, side, out, matched, parts);
}

bool DataFilePatternStore::read(int number, PatternEntry& out) const {
  bool matched = false;
  return number >= 0 && number < count() && readAt(number, nullptr, 0, out, matched, EntryParts::Whole) && matched;
}

bool DataFilePatternStore::keyBytesMatch(std::int32_t location, const std::vector<std::uint8_t>& keyBytes) const {
  const auto mapped = dataMap_.bytes();
  return location >= 0 && static_cast<size_t>(location) <= mapped.size() &&
         mapped.size() - static_cast<size_t>(location) >= keyBytes.size() &&
         std::memcmp(mapped.data() + location, keyBytes.data(), keyBytes.size()) == 0;
}

int DataFilePatternStore::find(const BoardSnapshot& snapshot, int side, PatternEntry* out) const {
  return findIn(snapshot, side, out, EntryParts::Whole);
}

int DataFilePatternStore::findEntry(const BoardSnapshot& snapshot, int side, PatternEntry& out,
                                    EntryParts parts) const {
  return findIn(snapshot, side, &out, parts);
}

int DataFilePatternStore::findIn(const BoardSnapshot& snapshot, int side, PatternEntry* out, EntryParts parts) const {
  const std::int32_t h = patternHashOf(snapshot);
  if (bucketStarts_.empty() || h < 0 || h >= PatternHashTable::kBuckets) return -1;
  const std::uint32_t want = filterWord(snapshot.blackCount, snapshot.whiteCount, side);
  // With the file mapped, a neighbour's key is compared as bytes where it lies: the key's binary
  // form (snapshot, then side) is equal exactly when the key is, and nothing is read or
  // allocated for the many neighbours that differ. The key is encoded only once a neighbour
  // passes the filter.
  std::vector<std::uint8_t> keyBytes;
  bool compareBytes = false;
  bool encoded = false;
  PatternEntry scratch;
  const auto end = static_cast<size_t>(bucketStarts_[static_cast<size_t>(h) + 1]);
  for (auto at = static_cast<size_t>(bucketStarts_[static_cast<size_t>(h)]); at < end; ++at) {
    if (bucketSlots_[at].filter != want) continue;
    const std::int32_t n = bucketSlots_[at].number;
    if (!encoded && dataMap_.isOpen()) {
      encoded = true;
      ByteWriter w(keyBytes);
      compareBytes = snapshot.write(w);
      w.writeU8(static_cast<std::uint8_t>(side));
    }
    if (compareBytes && !keyBytesMatch(locations_[static_cast<size_t>(n)], keyBytes)) continue;
    bool matched = false;
    if (readAt(n, &snapshot, side, out ? *out : scratch, matched, parts) && matched) return n;
  }
  return -1;
}

bool DataFilePatternStore::bucketHolds(std::int32_t hash, std::uint32_t want) const {
  if (bucketStarts_.empty() || hash < 0 || hash >= PatternHashTable::kBuckets) return false;
  const auto end = static_cast<size_t>(bucketStarts_[static_cast<size_t>(hash) + 1]);
  for (auto at = static_cast<size_t>(bucketStarts_[static_cast<size_t>(hash)]); at < end; ++at)
    if (bucketSlots_[at].filter == want) return true;
  return false;
}

unsigned DataFilePatternStore::turnsThatMayHold(const BoardSnapshot& snapshot, int side) const {
  // A turn moves the points but keeps the counts and the side, so only its hash must be found
  // again: the sum of the turned points, taken from the turn's table without building the
  // turned snapshot.
  if (!turnsThroughTable19(snapshot)) return 0x7f;
  const std::uint32_t want = filterWord(snapshot.blackCount, snapshot.whiteCount, side);
  unsigned maybe = 0;
  for (int k = 0; k <= 6; ++k) {
    const Point* table = turnTable19(k, snapshot.width, snapshot.height);
    std::uint32_t sum = 0;
    for (const Point p : snapshot.points) sum += static_cast<std::uint32_t>(table[p]);
    if (bucketHolds(patternHashOfSum(sum), want)) maybe |= 1u << k;
  }
  return maybe;
}

}  // namespace mh
