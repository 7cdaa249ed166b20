#include "patterns/data_file_pattern_store.h"

#include <cstring>
#include <limits>

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
  if (!readPatternIndexFile(indexPath, records_) || !openFile(dataPath, count)) return false;
  // An index left from another run of the data file (a build stopped between replacing the two
  // files, or files copied apart) would send reads into the middle of entries: the pair is checked
  // at its ends and, when it does not agree, the data file is indexed by scanning it instead.
  if (records_.size() > static_cast<size_t>(count) || !indexMatchesData()) {
    records_.clear();
    (void)dataFile_.close();
    return openData(dataPath);
  }
  mapData(dataPath);
  layBuckets();
  return true;
}

bool DataFilePatternStore::indexMatchesData() const {
  for (const size_t i : {size_t{0}, records_.size() - 1}) {
    if (i >= records_.size()) break;
    const PatternIndexRecord& r = records_[i];
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
  layBuckets();
  return true;
}

void DataFilePatternStore::layBuckets() {
  // A counting sort by hash, each bucket's numbers ascending with a word of what the record
  // filters on.
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
}

bool DataFilePatternStore::readAt(int number, const BoardSnapshot* key, int side, PatternEntry& out,
                                  bool& matched) const {
  matched = false;
  const std::int32_t location = records_[static_cast<size_t>(number)].location;
  if (location < 0 || !dataFile_.isOpen()) return false;
  if (dataMap_.isOpen()) {
    const auto bytes = dataMap_.bytes();
    if (static_cast<size_t>(location) >= bytes.size()) return false;
    ByteReader in(bytes.subspan(static_cast<size_t>(location)));
    return readEntryIfKey(in, PatternEntryForm::DataFile, key, side, out, matched);
  }
  BufferedFileReader in(dataFile_, static_cast<std::uint64_t>(location), dataSize_, kRandomReadBuffer);
  return readEntryIfKey(in, PatternEntryForm::DataFile, key, side, out, matched);
}

bool DataFilePatternStore::read(int number, PatternEntry& out) const {
  bool matched = false;
  return number >= 0 && number < count() && readAt(number, nullptr, 0, out, matched) && matched;
}

bool DataFilePatternStore::keyBytesMatch(const PatternIndexRecord& r, const std::vector<std::uint8_t>& keyBytes) const {
  const auto mapped = dataMap_.bytes();
  return r.location >= 0 && static_cast<size_t>(r.location) <= mapped.size() &&
         mapped.size() - static_cast<size_t>(r.location) >= keyBytes.size() &&
         std::memcmp(mapped.data() + r.location, keyBytes.data(), keyBytes.size()) == 0;
}

int DataFilePatternStore::find(const BoardSnapshot& snapshot, int side, PatternEntry* out) const {
  const std::int32_t h = patternHashOf(snapshot);
  if (bucketStarts_.empty() || h < 0 || h >= PatternHashTable::kBuckets) return -1;
  // With the file mapped, a neighbour's key is compared as bytes where it lies: the key's binary
  // form (snapshot, then side) is equal exactly when the key is, and nothing is read or
  // allocated for the many neighbours that differ.
  std::vector<std::uint8_t> keyBytes;
  bool compareBytes = false;
  if (dataMap_.isOpen()) {
    ByteWriter w(keyBytes);
    compareBytes = snapshot.write(w);
    w.writeU8(static_cast<std::uint8_t>(side));
  }
  const std::uint32_t want = filterWord(snapshot.blackCount, snapshot.whiteCount, side);
  PatternEntry scratch;
  const auto end = static_cast<size_t>(bucketStarts_[static_cast<size_t>(h) + 1]);
  for (auto at = static_cast<size_t>(bucketStarts_[static_cast<size_t>(h)]); at < end; ++at) {
    if (bucketFilters_[at] != want) continue;
    const std::int32_t n = bucketNumbers_[at];
    const PatternIndexRecord& r = records_[static_cast<size_t>(n)];
    if (r.side != side || r.blackCount != snapshot.blackCount || r.whiteCount != snapshot.whiteCount) continue;
    if (compareBytes && !keyBytesMatch(r, keyBytes)) continue;
    bool matched = false;
    if (readAt(n, &snapshot, side, out ? *out : scratch, matched) && matched) return n;
  }
  return -1;
}

}  // namespace mh
