#include "patterns/data_file_pattern_store.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "model/board_transform.h"
#include "patterns/pattern_file_header.h"
#include "patterns/pattern_hash_table.h"
#include "patterns/pattern_key_file.h"
#include "platform/buffered_file_reader.h"
#include "platform/byte_io.h"

namespace mh {

namespace {

// Entry reads are random: a small buffer reads the key and most small entries in one system call
// without fetching much that is not needed.
constexpr size_t kRandomReadBuffer = 4096;
constexpr size_t kScanBuffer = 256 * 1024;

// What a bucket's neighbours are filtered on before their keys are compared: the stone counts
// and side (in 20 bits, above a key mark's 12). Counts past 511 share their word with smaller
// ones, which only lets more neighbours through to the comparison of their keys.
constexpr int kMarkBits = 12;
constexpr std::uint32_t kMarkMask = (1u << kMarkBits) - 1;
std::uint32_t countsWord(std::int32_t blackCount, std::int32_t whiteCount, int side) {
  return (static_cast<std::uint32_t>(side) & 3) << 18 | (static_cast<std::uint32_t>(blackCount) & 0x1ff) << 9 |
         (static_cast<std::uint32_t>(whiteCount) & 0x1ff);
}
std::uint32_t filterWord(const PatternIndexRecord& r, std::uint16_t mark) {
  return countsWord(r.blackCount, r.whiteCount, r.side) << kMarkBits | (mark & kMarkMask);
}

bool inBucketRange(std::int32_t hash) { return hash >= 0 && hash < PatternHashTable::kBuckets; }

// A record's fields as PatternIndexRecord::read takes them, from bytes known to hold one.
PatternIndexRecord decodeIndexRecord(const std::uint8_t* p) {
  PatternIndexRecord r;
  std::memcpy(&r.hash, p, 4);
  std::memcpy(&r.location, p + 4, 4);
  std::memcpy(&r.blackCount, p + 8, 4);
  std::memcpy(&r.whiteCount, p + 12, 4);
  r.side = p[16];
  return r;
}

// The index is read through one small buffer, reused chunk after chunk, rather than through its
// map: where page tables are shadowed (virtual machines), the first touch of each page of a map
// costs several times what copying the page does, and the buffer's pages are touched only once.
constexpr size_t kChunkRecords = 8192;

// Calls f(first, records, marks, n) for the index's records in chunks of at most kChunkRecords,
// first to last or last to first; marks is null unless keys is open. False when a read fails.
template <class F>
bool forEachChunk(const BinaryFile& index, size_t count, const BinaryFile* keys, bool backwards,
                  std::vector<std::uint8_t>& records, std::vector<std::uint8_t>& marks, F&& f) {
  records.resize(kChunkRecords * PatternIndexRecord::kBytes);
  if (keys != nullptr) marks.resize(kChunkRecords * PatternKeyFileHeader::kMarkBytes);
  const size_t chunks = (count + kChunkRecords - 1) / kChunkRecords;
  for (size_t c = 0; c < chunks; ++c) {
    const size_t first = (backwards ? chunks - 1 - c : c) * kChunkRecords;
    const size_t n = std::min(kChunkRecords, count - first);
    if (!index.readAt(PatternFileHeader::kBytes + std::uint64_t{first} * PatternIndexRecord::kBytes, records.data(),
                      n * PatternIndexRecord::kBytes))
      return false;
    constexpr size_t kMark = PatternKeyFileHeader::kMarkBytes;
    if (keys != nullptr &&
        !keys->readAt(PatternKeyFileHeader::kBytes + std::uint64_t{first} * kMark, marks.data(), n * kMark))
      return false;
    f(first, records.data(), keys != nullptr ? marks.data() : nullptr, n);
  }
  return true;
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

bool DataFilePatternStore::openIndexFile(const std::string& indexPath) {
  std::array<std::uint8_t, PatternFileHeader::kBytes> head;
  std::int32_t count = 0;
  const auto size = indexFile_.open(indexPath, BinaryFile::Mode::ReadOnly) ? indexFile_.size() : std::nullopt;
  ByteReader hr(head);
  if (!size || *size < head.size() || !indexFile_.readAt(0, head.data(), head.size()) ||
      !PatternFileHeader::read(hr, kPatternIndexTag, count) ||
      static_cast<std::uint64_t>(count) * PatternIndexRecord::kBytes > *size - PatternFileHeader::kBytes) {
    (void)indexFile_.close();
    return false;
  }
  count_ = static_cast<size_t>(count);
  return true;
}

// Reads by number go to the file, not through a map of it: they are few (the checks of an
// opening, a look-up's number), and a touched page of a map brings in the whole folio around it,
// which would count megabytes of the index as the opening's memory.
PatternIndexRecord DataFilePatternStore::indexRecord(size_t number) const {
  if (scanned_) return records_[number];
  std::array<std::uint8_t, PatternIndexRecord::kBytes> bytes;
  if (!indexFile_.readAt(PatternFileHeader::kBytes + std::uint64_t{number} * bytes.size(), bytes.data(), bytes.size())) {
    PatternIndexRecord unread;
    unread.location = -1;
    return unread;
  }
  return decodeIndexRecord(bytes.data());
}

std::int32_t DataFilePatternStore::locationOf(size_t number) const {
  if (scanned_) return records_[number].location;
  std::int32_t location = 0;
  return indexFile_.readAt(PatternFileHeader::kBytes + std::uint64_t{number} * PatternIndexRecord::kBytes + 4,
                           &location, sizeof location)
             ? location
             : -1;
}

int DataFilePatternStore::numberAt(std::int32_t location) const {
  // Records are written in the order of the data file; an index that is not (no build writes one)
  // is searched through.
  size_t low = 0;
  size_t high = count_;
  while (low < high) {
    const size_t mid = low + (high - low) / 2;
    if (locationOf(mid) < location) low = mid + 1;
    else high = mid;
  }
  if (low < count_ && locationOf(low) == location) return static_cast<int>(low);
  int found = -1;
  if (scanned_) {
    for (size_t n = 0; n < count_ && found < 0; ++n)
      if (records_[n].location == location) found = static_cast<int>(n);
    return found;
  }
  std::vector<std::uint8_t> records;
  std::vector<std::uint8_t> marks;
  (void)forEachChunk(indexFile_, count_, nullptr, false, records, marks,
                     [&](size_t first, const std::uint8_t* chunk, const std::uint8_t*, size_t n) {
                       for (size_t i = 0; i < n && found < 0; ++i)
                         if (decodeIndexRecord(chunk + i * PatternIndexRecord::kBytes).location == location)
                           found = static_cast<int>(first + i);
                     });
  return found;
}

bool DataFilePatternStore::openIndex(const std::string& indexPath, const std::string& dataPath,
                                     const std::string& keysPath) {
  std::int32_t count = 0;
  if (!openIndexFile(indexPath) || !openFile(dataPath, count)) return false;
  // Entries are read where look-ups and the checks land, never in a run.
  dataFile_.advise(BinaryFile::Access::Random);
  // An index left from another run of the data file (a build stopped between replacing the two
  // files, or files copied apart) would send reads into the middle of entries: the pair is checked
  // at its ends and, when it does not agree, the data file is indexed by scanning it instead.
  if (count_ > static_cast<size_t>(count) || !indexMatchesData()) {
    (void)indexFile_.close();
    count_ = 0;
    (void)dataFile_.close();
    return openData(dataPath);
  }
  if (!layBucketsFromIndex(keysPath)) return false;
  mapData(dataPath);
  return true;
}

bool DataFilePatternStore::layBucketsFromIndex(const std::string& keysPath) {
  // A key file is taken only when its header names this pair (the entry count, the data file's
  // size and a fold of every index record, which the first pass computes on its way) and the
  // marks of a spread of entries are those of their keys. The samples cost no wait of their own:
  // the first pass notes where their entries lie and asks for those to be read in, the second
  // notes their marks, and they are checked once the buckets are laid (a failed check then
  // clears the marks from the slots).
  BinaryFile keys;
  PatternKeyFileHeader keysHead;
  std::array<std::uint8_t, PatternKeyFileHeader::kBytes> head;
  const bool keysFit = !keysPath.empty() && keys.open(keysPath, BinaryFile::Mode::ReadOnly) &&
                       keys.readAt(0, head.data(), head.size()) && keysHead.read(head) &&
                       keysHead.entries == count_ && keysHead.dataBytes == dataSize_ &&
                       keys.size() == keysHead.fileBytes();
  // The marks are read on the second pass, from the last to the first, which the system does not
  // read ahead of: the file is read in while the first pass runs.
  if (keysFit) keys.advise(BinaryFile::Access::Soon);
  std::array<MarkSample, kMarkSamples> samples;
  for (size_t k = 0; k < samples.size(); ++k)
    samples[k].number = count_ == 0 ? 0 : k * (count_ - 1) / (samples.size() - 1);
  // Calls take(sample, at) for each sample whose number lies in the chunk [first, first + n).
  const auto forSamplesIn = [&](size_t first, size_t n, auto&& take) {
    for (MarkSample& sample : samples)
      if (sample.number >= first && sample.number - first < n) take(sample, sample.number - first);
  };
  std::vector<std::uint8_t> records;
  std::vector<std::uint8_t> marks;
  PatternIndexFold fold;
  bool useMarks = false;
  const bool laid = layBuckets([&](int pass, auto&& f) {
    if (pass == 2) useMarks = keysFit && fold.value() == keysHead.indexFold;
    return forEachChunk(indexFile_, count_, useMarks ? &keys : nullptr, pass == 2, records, marks,
                        [&](size_t first, const std::uint8_t* chunk, const std::uint8_t* chunkMarks, size_t n) {
                          if (pass == 1) {
                            if (keysFit)
                              forSamplesIn(first, n, [&](MarkSample& sample, size_t i) {
                                sample.location = decodeIndexRecord(chunk + i * PatternIndexRecord::kBytes).location;
                                if (sample.location >= 0)
                                  dataFile_.advise(BinaryFile::Access::Soon, static_cast<std::uint64_t>(sample.location),
                                                   kRandomReadBuffer);
                              });
                            for (size_t i = 0; i < n; ++i) {
                              const std::uint8_t* record = chunk + i * PatternIndexRecord::kBytes;
                              if (keysFit) fold.add(first + i, record);
                              f(decodeIndexRecord(record), std::uint16_t{0});
                            }
                            return;
                          }
                          const auto markAt = [chunkMarks](size_t i) {
                            return static_cast<std::uint16_t>(chunkMarks[2 * i] | chunkMarks[2 * i + 1] << 8);
                          };
                          if (chunkMarks != nullptr)
                            forSamplesIn(first, n, [&](MarkSample& sample, size_t i) { sample.mark = markAt(i); });
                          for (size_t i = n; i-- > 0;)
                            f(decodeIndexRecord(chunk + i * PatternIndexRecord::kBytes),
                              chunkMarks != nullptr ? markAt(i) : std::uint16_t{0});
                        });
  });
  keyed_ = laid && useMarks && marksAgree(samples);
  if (laid && useMarks && !keyed_)
    for (Slot* slot = slots_; slot != slots_ + starts_[PatternHashTable::kBuckets]; ++slot) slot->filter &= ~kMarkMask;
  return laid;
}

std::optional<std::uint16_t> DataFilePatternStore::keyMarkAt(std::int32_t location) const {
  if (location < 0 || static_cast<std::uint64_t>(location) >= dataSize_) return std::nullopt;
  const auto at = static_cast<std::uint64_t>(location);
  // Read, not touched through the map: a touch maps the whole folio around it, which would count
  // megabytes of the data file as the opening's memory. The key's length is told by its stone
  // counts, which its first 17 bytes hold.
  std::array<std::uint8_t, kPatternKeyHeadBytes> head;
  if (dataSize_ - at < head.size() || !dataFile_.readAt(at, head.data(), head.size())) return std::nullopt;
  const std::uint64_t keyBytes = patternKeyLength(head);
  if (keyBytes == 0 || keyBytes > dataSize_ - at) return std::nullopt;
  std::vector<std::uint8_t> key(static_cast<size_t>(keyBytes));
  if (!dataFile_.readAt(at, key.data(), key.size())) return std::nullopt;
  return patternKeyMark(key);
}

bool DataFilePatternStore::marksAgree(std::span<const MarkSample> samples) const {
  if (count_ == 0) return true;
  for (const MarkSample& sample : samples) {
    const auto mark = keyMarkAt(sample.location);
    if (!mark || *mark != sample.mark) return false;
  }
  return true;
}

bool DataFilePatternStore::indexMatchesData() const {
  for (const size_t i : {size_t{0}, count_ - 1}) {
    if (i >= count_) break;
    const PatternIndexRecord r = indexRecord(i);
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
  count_ = records_.size();
  return layBuckets([&](int pass, auto&& f) {
    if (pass == 1)
      for (const auto& r : records_) f(r, std::uint16_t{0});
    else
      for (auto r = records_.rbegin(); r != records_.rend(); ++r) f(*r, std::uint16_t{0});
    return true;
  });
}

template <class ForEachRecord>
bool DataFilePatternStore::layBuckets(ForEachRecord&& forEach) {
  // A counting sort by hash in two passes over the records. The first counts each bucket's
  // entries and leaves each start at its bucket's end; the second, from the last record to the
  // first, places each entry just below its bucket's start and moves the start down to it, so
  // that the starts end where their buckets begin, each bucket's entries in the order of their
  // records with the word they are filtered on.
  starts_ = nullptr;
  slots_ = nullptr;
  constexpr auto kBuckets = static_cast<size_t>(PatternHashTable::kBuckets);
  const size_t startBytes = (kBuckets + 1) * sizeof(std::int32_t);
  const size_t slotsAt = (startBytes + alignof(Slot) - 1) / alignof(Slot) * alignof(Slot);
  if (count_ > static_cast<size_t>(std::numeric_limits<std::int32_t>::max()) ||
      !buckets_.allocate(slotsAt + count_ * sizeof(Slot), PagedMemory::Use::FilledWhole))
    return false;
  auto* starts = static_cast<std::int32_t*>(buckets_.data());
  auto* slots = reinterpret_cast<Slot*>(static_cast<std::uint8_t*>(buckets_.data()) + slotsAt);
  size_t counted = 0;
  const bool counts = forEach(1, [&](const PatternIndexRecord& r, std::uint16_t) {
    if (!inBucketRange(r.hash) || counted == count_) return;
    ++starts[r.hash];
    ++counted;
  });
  for (size_t b = 1; b < kBuckets; ++b) starts[b] += starts[b - 1];
  starts[kBuckets] = static_cast<std::int32_t>(counted);
  if (betweenPasses_) betweenPasses_();
  // The second pass must meet the records the first counted. Should the file change between the
  // passes, a bucket that would be given more than was counted fails the whole, and no entry is
  // ever written outside the slots.
  bool fits = true;
  size_t placed = 0;
  const bool places = counts && forEach(2, [&](const PatternIndexRecord& r, std::uint16_t mark) {
    if (!inBucketRange(r.hash)) return;
    const std::int32_t at = starts[r.hash] - 1;
    if (at < (r.hash == 0 ? 0 : starts[r.hash - 1]) || placed == counted) {
      fits = false;
      return;
    }
    starts[r.hash] = at;
    slots[at] = Slot{filterWord(r, mark), r.location};
    ++placed;
  });
  if (!places || !fits || placed != counted) {
    buckets_.release();
    return false;
  }
  starts_ = starts;
  slots_ = slots;
  return true;
}

bool DataFilePatternStore::readAt(std::int32_t location, const BoardSnapshot* key, int side, PatternEntry& out,
                                  bool& matched, EntryParts parts) const {
  matched = false;
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
  return number >= 0 && number < count() &&
         readAt(locationOf(static_cast<size_t>(number)), nullptr, 0, out, matched, EntryParts::Whole) && matched;
}

bool DataFilePatternStore::keyBytesMatch(std::int32_t location, const std::vector<std::uint8_t>& keyBytes) const {
  const auto mapped = dataMap_.bytes();
  return location >= 0 && static_cast<size_t>(location) <= mapped.size() &&
         mapped.size() - static_cast<size_t>(location) >= keyBytes.size() &&
         std::memcmp(mapped.data() + location, keyBytes.data(), keyBytes.size()) == 0;
}

int DataFilePatternStore::find(const BoardSnapshot& snapshot, int side, PatternEntry* out) const {
  const std::int32_t location = findIn(snapshot, side, out, EntryParts::Whole);
  return location < 0 ? -1 : numberAt(location);
}

bool DataFilePatternStore::findEntry(const BoardSnapshot& snapshot, int side, PatternEntry& out,
                                     EntryParts parts) const {
  return findIn(snapshot, side, &out, parts) >= 0;
}

std::int32_t DataFilePatternStore::findIn(const BoardSnapshot& snapshot, int side, PatternEntry* out,
                                          EntryParts parts) const {
  const std::int32_t h = patternHashOf(snapshot);
  if (starts_ == nullptr || !inBucketRange(h)) return -1;
  const std::uint32_t counts = countsWord(snapshot.blackCount, snapshot.whiteCount, side);
  // With the file mapped, a neighbour's key is compared as bytes where it lies: the key's binary
  // form (snapshot, then side) is equal exactly when the key is, and nothing is read or
  // allocated for the many neighbours that differ. The key is encoded only once a neighbour
  // passes the counts; with a key file, its mark then passes over the neighbours whose keys
  // differ without touching their bytes at all.
  std::vector<std::uint8_t> keyBytes;
  bool writable = false;
  bool encoded = false;
  std::uint32_t mark = 0;
  PatternEntry scratch;
  for (const Slot* slot = bucketBegin(h); slot != bucketEnd(h); ++slot) {
    const std::uint32_t filter = slot->filter;
    if (filter >> kMarkBits != counts) continue;
    if (!encoded) {
      encoded = true;
      ByteWriter w(keyBytes);
      writable = snapshot.write(w);
      w.writeU8(static_cast<std::uint8_t>(side));
      if (writable && keyed_) mark = patternKeyMark(keyBytes) & kMarkMask;
    }
    if (writable && keyed_ && (filter & kMarkMask) != mark) continue;
    const std::int32_t location = slot->location;
    if (writable && dataMap_.isOpen() && !keyBytesMatch(location, keyBytes)) continue;
    bool matched = false;
    if (readAt(location, &snapshot, side, out ? *out : scratch, matched, parts) && matched) return location;
  }
  return -1;
}

bool DataFilePatternStore::bucketHolds(std::int32_t hash, std::uint32_t counts) const {
  if (starts_ == nullptr || !inBucketRange(hash)) return false;
  for (const Slot* slot = bucketBegin(hash); slot != bucketEnd(hash); ++slot)
    if (slot->filter >> kMarkBits == counts) return true;
  return false;
}

unsigned DataFilePatternStore::turnsThatMayHold(const BoardSnapshot& snapshot, int side) const {
  // A turn moves the points but keeps the counts and the side, so only its hash must be found
  // again: the sum of the turned points, taken from the turn's table without building the
  // turned snapshot.
  if (!turnsThroughTable19(snapshot)) return 0x7f;
  const std::uint32_t want = countsWord(snapshot.blackCount, snapshot.whiteCount, side);
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
