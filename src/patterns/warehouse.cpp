#include "patterns/warehouse.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdio>
#include <set>
#include <sys/stat.h>
#include <utility>

#include "patterns/data_file_stamp.h"
#include "platform/replacing_file.h"

namespace mh {

namespace {

constexpr char kTag[] = "AOWarehouseHead";  // 15 characters and the NUL: 16 bytes
constexpr size_t kVersionOffset = 30;
constexpr float kVersion = 1.0f;

std::array<std::uint8_t, Warehouse::kHeaderBytes> headerBytes() {
  std::array<std::uint8_t, Warehouse::kHeaderBytes> h{};
  std::memcpy(h.data(), kTag, sizeof kTag);
  std::memcpy(h.data() + kVersionOffset, &kVersion, sizeof kVersion);
  return h;
}

bool validName(std::string_view name) {
  return !name.empty() && name.size() < Warehouse::kNameBytes && name.find('\0') == std::string_view::npos;
}

// A directory record: the name, NUL-padded, then the start (-1 in the empty record).
void encodeRecord(std::string_view name, std::int32_t start, std::uint8_t* out) {
  std::memset(out, 0, Warehouse::kRecordBytes);
  // An empty name may have no data at all, which memcpy must not be given.
  if (!name.empty()) std::memcpy(out, name.data(), name.size());
  std::memcpy(out + Warehouse::kNameBytes, &start, sizeof start);
}

// The positions a check samples among count (above 0): samples spread from the first on, and the
// last, each once, ascending.
std::vector<size_t> spreadOf(size_t count, size_t samples) {
  std::vector<size_t> positions;
  for (size_t k = 0; k < samples; ++k) positions.push_back(k * count / samples);
  positions.push_back(count - 1);
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  return positions;
}

// Sorts keys by their upper 32 bits (a block offset, below 2^31) in three passes of a radix sort,
// which for millions of keys takes a fraction of a comparison sort's time.
void sortByOffset(std::vector<std::uint64_t>& keys, std::vector<std::uint64_t>& scratch) {
  scratch.resize(keys.size());
  for (int shift = 32; shift < 64; shift += 11) {
    std::array<size_t, 2048> counts{};
    for (const std::uint64_t k : keys) ++counts[k >> shift & 2047];
    size_t sum = 0;
    for (size_t& c : counts) sum += std::exchange(c, sum);
    for (const std::uint64_t k : keys) scratch[counts[k >> shift & 2047]++] = k;
    keys.swap(scratch);
  }
}

// The table beside a warehouse: a 64-byte head, then a body of every block header in file order
// (size, state with a linked bit, and prev and next for linked blocks, as LEB128 numbers, signed
// ones zigzagged) and every directory record in the directory's order (its name, a number, as the
// zigzagged step from the name before, and its start in 32 bits little-endian). A block's state
// is 0 free, 1 in use or 2 damaged (BlockStore::stateOf); its used count is read from the file
// with the block, so the table holds none.
constexpr char kTableTag[8] = {'M', 'H', 'W', 'T', 'A', 'B', 'L', '2'};
// The same with holes in the directory: an empty record in place of a removed name, its start
// kNoStart. Only a directory whose record n lies at n * 132 has them; tables of any other keep
// the tag above, and a program that knows only that tag scans the file instead.
constexpr char kHolesTableTag[8] = {'M', 'H', 'W', 'T', 'A', 'B', 'L', '3'};
constexpr size_t kTableHead = 64;
struct TableHead {
  std::uint64_t fileBytes = 0;  // the warehouse file's size
  std::int64_t mtimeSeconds = 0;  // and its modification time
  std::int64_t mtimeNanoseconds = 0;
  std::uint64_t blocks = 0;
  std::uint64_t names = 0;
  std::uint64_t bodyBytes = 0;
  std::uint64_t fold = 0;  // DataCheck over the body
};

void putU64(std::uint8_t* at, std::uint64_t v) { std::memcpy(at, &v, sizeof v); }
std::uint64_t getU64(const std::uint8_t* at) {
  std::uint64_t v = 0;
  std::memcpy(&v, at, sizeof v);
  return v;
}
std::uint64_t zigzag(std::int64_t v) { return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63); }
std::int64_t unzigzag(std::uint64_t v) { return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1); }

// The body read forwards through a window, folded as it comes.
class TableReader {
 public:
  TableReader(const BinaryFile& file, std::uint64_t bodyBytes) : file_(file), left_(bodyBytes) {}
  bool number(std::uint64_t& v) {
    if (!ensure(10)) return false;
    v = 0;
    for (int shift = 0; shift < 64 && pos_ < fill_; shift += 7) {
      const std::uint8_t b = buffer_[pos_++];
      v |= static_cast<std::uint64_t>(b & 0x7f) << shift;
      if ((b & 0x80) == 0) return true;
    }
    return false;
  }
  bool i32(std::int32_t& v) {
    if (!ensure(4) || fill_ - pos_ < 4) return false;
    std::memcpy(&v, buffer_.data() + pos_, 4);
    pos_ += 4;
    return true;
  }
  bool done() const { return left_ == 0 && pos_ == fill_ && !failed_; }
  std::uint64_t fold() const { return check_.value(); }

 private:
  // Reads on until k bytes wait or the body is read whole; false only when a read fails.
  bool ensure(size_t k) {
    if (fill_ - pos_ >= k || left_ == 0) return !failed_ && pos_ < fill_;
    std::memmove(buffer_.data(), buffer_.data() + pos_, fill_ - pos_);
    fill_ -= pos_;
    pos_ = 0;
    const auto piece = static_cast<size_t>(std::min<std::uint64_t>(left_, buffer_.size() - fill_));
    if (!file_.readAt(kTableHead + read_, buffer_.data() + fill_, piece)) {
      failed_ = true;
      return false;
    }
    check_.fold(std::span<const std::uint8_t>(buffer_.data() + fill_, piece));
    fill_ += piece;
    read_ += piece;
    left_ -= piece;
    return pos_ < fill_;
  }
  const BinaryFile& file_;
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(size_t{1} << 20);
  size_t pos_ = 0;
  size_t fill_ = 0;
  std::uint64_t read_ = 0;
  std::uint64_t left_;
  bool failed_ = false;
  DataCheck check_;
};

// The body written forwards a piece at a time, folded as it goes.
class TableWriter {
 public:
  explicit TableWriter(BinaryFile& file) : file_(file) { buffer_.reserve(kPiece + 64); }
  void number(std::uint64_t v) {
    while (v >= 0x80) {
      buffer_.push_back(static_cast<std::uint8_t>(v | 0x80));
      v >>= 7;
    }
    buffer_.push_back(static_cast<std::uint8_t>(v));
    if (buffer_.size() >= kPiece) (void)flush();
  }
  void i32(std::int32_t v) {
    const size_t at = buffer_.size();
    buffer_.resize(at + 4);
    std::memcpy(buffer_.data() + at, &v, 4);
    if (buffer_.size() >= kPiece) (void)flush();
  }
  bool flush() {
    check_.fold(buffer_);
    ok_ = ok_ && file_.writeAt(kTableHead + written_, buffer_.data(), buffer_.size());
    written_ += buffer_.size();
    buffer_.clear();
    return ok_;
  }
  std::uint64_t written() const { return written_; }
  std::uint64_t fold() const { return check_.value(); }

 private:
  static constexpr size_t kPiece = size_t{1} << 20;
  BinaryFile& file_;
  std::vector<std::uint8_t> buffer_;
  std::uint64_t written_ = 0;
  bool ok_ = true;
  DataCheck check_;
};

}  // namespace

Warehouse::~Warehouse() { close(); }

void Warehouse::drop() {
  store_.detach();
  (void)file_.close();
  directory_.clear();
  strays_.clear();
  sharedStarts_.clear();
  readOnly_ = false;
  changed_ = false;
  fromTable_ = false;
  tableStands_ = false;
  notePositional(false);
}

bool Warehouse::create(const std::string& path) {
  close();
  path_ = path;
  readOnly_ = false;
  fromTable_ = false;
  tableStands_ = false;
  // A table of an earlier warehouse here describes nothing now.
  (void)std::remove(tablePath(path).c_str());
  const auto header = headerBytes();
  if (!file_.open(path, BinaryFile::Mode::Create) || !file_.writeAt(0, header.data(), header.size()) ||
      !store_.attach(&file_, kHeaderBytes, minimumPayload_)) {
    drop();
    return false;
  }
  store_.setMinimumPayload(kDirectoryPayload);
  const bool ok = writeDirectory();
  store_.setMinimumPayload(minimumPayload_);
  if (!ok) drop();
  return ok;
}

bool Warehouse::open(const std::string& path, bool readOnly) {
  close();
  changed_ = false;
  path_ = path;
  readOnly_ = readOnly;
  std::array<std::uint8_t, kHeaderBytes> header{};
  if (!file_.open(path, readOnly ? BinaryFile::Mode::ReadOnly : BinaryFile::Mode::ReadWrite) ||
      !file_.readAt(0, header.data(), header.size()) || std::memcmp(header.data(), kTag, sizeof kTag) != 0) {
    drop();
    return false;
  }
  float version = 0;
  std::memcpy(&version, header.data() + kVersionOffset, sizeof version);
  if (version != kVersion) {
    drop();
    return false;
  }
  if (loadTable()) {
    fromTable_ = true;
    tableStands_ = true;
    return true;
  }
  if (!store_.attach(&file_, kHeaderBytes, minimumPayload_) || !readDirectory()) {
    drop();
    return false;
  }
  return true;
}

bool Warehouse::loadTable() {
  BinaryFile table;
  std::array<std::uint8_t, kTableHead> raw{};
  struct stat st {};
  if (!table.open(tablePath(path_), BinaryFile::Mode::ReadOnly) || !table.readAt(0, raw.data(), raw.size()) ||
      ::stat(path_.c_str(), &st) != 0)
    return false;
  const bool holesAllowed = std::memcmp(raw.data(), kHolesTableTag, sizeof kHolesTableTag) == 0;
  if (!holesAllowed && std::memcmp(raw.data(), kTableTag, sizeof kTableTag) != 0) return false;
  TableHead head;
  head.fileBytes = getU64(raw.data() + 8);
  head.mtimeSeconds = static_cast<std::int64_t>(getU64(raw.data() + 16));
  head.mtimeNanoseconds = static_cast<std::int64_t>(getU64(raw.data() + 24));
  head.blocks = getU64(raw.data() + 32);
  head.names = getU64(raw.data() + 40);
  head.bodyBytes = getU64(raw.data() + 48);
  head.fold = getU64(raw.data() + 56);
  const auto tableBytes = table.size();
  // Each block takes at least two bytes of the body and each name five.
  if (!tableBytes || *tableBytes != kTableHead + head.bodyBytes || head.blocks > head.bodyBytes / 2 ||
      head.names > head.bodyBytes / 5 || head.fileBytes != static_cast<std::uint64_t>(st.st_size) ||
      head.mtimeSeconds != static_cast<std::int64_t>(st.st_mtim.tv_sec) ||
      head.mtimeNanoseconds != static_cast<std::int64_t>(st.st_mtim.tv_nsec))
    return false;
  TableReader in(table, head.bodyBytes);
  std::uint64_t taken = 0;
  std::int64_t pos = 0;
  bool bad = false;
  const bool attached = store_.attachKnown(&file_, kHeaderBytes, minimumPayload_, [&](BlockHeader& h) {
    if (taken == head.blocks) return false;
    std::uint64_t size = 0;
    std::uint64_t state = 0;
    std::uint64_t prev = 0;
    std::uint64_t next = 0;
    const bool read = in.number(size) && in.number(state);
    const bool linked = (state & 1) != 0;
    state >>= 1;
    if (!read || size > static_cast<std::uint64_t>(BlockStore::kOffsetReach) ||
        state > static_cast<std::uint64_t>(BlockStore::BlockState::Damaged) ||
        (linked && (!in.number(prev) || !in.number(next)))) {
      bad = true;
      return false;
    }
    // The store keeps only the state of a used count: one of each state stands for it.
    const std::int32_t used = state == 0 ? 0 : state == 1 ? 1 : -1;
    h = BlockHeader{static_cast<std::int32_t>(std::min<std::int64_t>(pos, BlockStore::kOffsetReach + 1)),
                    linked ? static_cast<std::int32_t>(unzigzag(prev)) : -1,
                    linked ? static_cast<std::int32_t>(unzigzag(next)) : -1, static_cast<std::int32_t>(size), used};
    pos += static_cast<std::int64_t>(size);
    ++taken;
    return true;
  });
  auto reject = [&] {
    store_.detach();
    directory_.clear();
    strays_.clear();
    sharedStarts_.clear();
    return false;
  };
  if (!attached || bad || taken != head.blocks ||
      static_cast<std::uint64_t>(kHeaderBytes + store_.areaEnd()) != head.fileBytes)
    return reject();
  // Names go in as a read of the directory chain would put them, in its order.
  std::int64_t number = -1;
  bool positional = true;
  std::uint64_t holes = 0;
  for (std::uint64_t n = 0; n < head.names; ++n) {
    std::uint64_t step = 0;
    std::int32_t start = 0;
    if (!in.number(step) || !in.i32(start)) return reject();
    number += unzigzag(step);
    if (number < 0 || number > INT32_MAX) return reject();
    positional = positional && static_cast<std::uint64_t>(number) == n;
    if (start == WarehouseDirectory::kNoStart) {
      // A hole stands only in place, in a positional directory.
      if (!holesAllowed || !positional) return reject();
      directory_.appendNumbered(start);
      ++holes;
      continue;
    }
    if (static_cast<size_t>(number) == directory_.numberedSlots())
      directory_.appendNumbered(start);
    else
      directory_.set(std::to_string(number), start);
  }
  if (directory_.size() + holes != head.names || (holes > 0 && !positional) || !in.done() || in.fold() != head.fold)
    return reject();
  notePositional(positional, holes > 0);
  startsToIndices();
  if (!tableAgreesWithFile()) return reject();
  noteSharedStarts();
  return true;
}

bool Warehouse::tableAgreesWithFile() const {
  // A spread of block headers, the last one among them, read from the file...
  constexpr size_t kSamples = 64;
  const size_t blocks = store_.blockCount();
  for (size_t k = 0; k <= kSamples && blocks > 0; ++k) {
    const size_t idx = k == kSamples ? blocks - 1 : k * blocks / kSamples;
    const BlockHeader h = store_.headerAt(idx);
    std::array<std::int32_t, 5> onDisk{};
    if (!file_.readAt(static_cast<std::uint64_t>(kHeaderBytes + h.offset), onDisk.data(), sizeof onDisk) ||
        std::array<std::int32_t, 4>{onDisk[0], onDisk[1], onDisk[2], onDisk[3]} !=
            std::array<std::int32_t, 4>{h.offset, h.prev, h.next, h.size} ||
        BlockStore::stateOf(BlockHeader{onDisk[0], onDisk[1], onDisk[2], onDisk[3], onDisk[4]}) != store_.stateAt(idx))
      return false;
  }
  // ... and a spread of directory records, the last among them, with nothing after it.
  constexpr size_t kRecordSamples = 16;
  if (holesInPlace_) return recordsInPlaceAgree(kRecordSamples);
  // The empty directory is one record without a name.
  if (directory_.size() == 0) {
    const size_t first[] = {0};
    return recordsAgree(first, 1, [](size_t, const std::uint8_t* record) { return record[0] == 0; });
  }
  const std::vector<size_t> positions = spreadOf(directory_.size(), kRecordSamples);
  // Live record p is the p-th name in the directory's order.
  std::vector<std::uint8_t> expected(positions.size() * kRecordBytes);
  size_t position = 0;
  size_t next = 0;  // the next sample to meet
  std::string spelled;
  for (size_t r = 0; r < directory_.recordCount() && next < positions.size(); ++r) {
    std::string_view name;
    std::int32_t start = -1;
    if (!directory_.recordAt(r, name, start, spelled) || position++ != positions[next]) continue;
    encodeRecord(name, offsetOfStart(start), expected.data() + next++ * kRecordBytes);
  }
  return next == positions.size() &&
         recordsAgree(positions, directory_.size(), [&](size_t k, const std::uint8_t* record) {
           return std::memcmp(record, expected.data() + k * kRecordBytes, kRecordBytes) == 0;
         });
}

bool Warehouse::recordsInPlaceAgree(size_t samples) const {
  // Record n lies at n * 132, an empty one where n is not a name.
  const size_t records = directory_.numberedSlots();
  if (records == 0) return false;
  const std::vector<size_t> positions = spreadOf(records, samples);
  std::array<std::uint8_t, kRecordBytes> expected{};
  return recordsAgree(positions, records, [&](size_t k, const std::uint8_t* record) {
    const std::int32_t start = directory_.numberedStart(positions[k]);
    if (start == WarehouseDirectory::kNoStart) encodeRecord({}, -1, expected.data());
    else encodeRecord(std::to_string(positions[k]), offsetOfStart(start), expected.data());
    return std::memcmp(record, expected.data(), kRecordBytes) == 0;
  });
}

bool Warehouse::recordsAgree(std::span<const size_t> positions, size_t records,
                             const std::function<bool(size_t, const std::uint8_t*)>& agrees) const {
  std::vector<std::uint8_t> read(positions.size() * kRecordBytes);
  std::vector<BlockStore::ValueRange> ranges;
  for (size_t k = 0; k < positions.size(); ++k)
    ranges.push_back({static_cast<std::uint64_t>(positions[k]) * kRecordBytes, read.data() + k * kRecordBytes, kRecordBytes});
  std::uint64_t valueBytes = 0;
  if (!store_.readChainRanges(0, ranges, &valueBytes) || valueBytes != static_cast<std::uint64_t>(records) * kRecordBytes)
    return false;
  for (size_t k = 0; k < positions.size(); ++k)
    if (!agrees(k, read.data() + k * kRecordBytes)) return false;
  return true;
}

void Warehouse::beginChange() {
  if (changed_) return;
  changed_ = true;
  tableStands_ = false;
  (void)std::remove(tablePath(path_).c_str());
}

void Warehouse::writeTable() {
  const std::string path = tablePath(path_);
  struct stat st {};
  // Only a table of a file whose bytes are the store's blocks is kept.
  if (::stat(path_.c_str(), &st) != 0 ||
      static_cast<std::uint64_t>(st.st_size) != static_cast<std::uint64_t>(kHeaderBytes + store_.areaEnd())) {
    (void)std::remove(path.c_str());
    return;
  }
  ReplacingFile out(path);
  if (!out.open()) return;
  TableWriter body(out.file());
  const size_t blocks = store_.blockCount();
  for (size_t idx = 0; idx < blocks; ++idx) {
    const BlockHeader h = store_.headerAt(idx);
    const bool linked = h.prev != -1 || h.next != -1;
    body.number(static_cast<std::uint64_t>(h.size));
    body.number(static_cast<std::uint64_t>(store_.stateAt(idx)) << 1 | (linked ? 1u : 0u));
    if (linked) {
      body.number(zigzag(h.prev));
      body.number(zigzag(h.next));
    }
  }
  // The records in the order writeDirectory gives them; a name that is not a number has none.
  std::int64_t last = -1;
  std::uint64_t names = 0;
  auto name = [&](std::int64_t number, std::int32_t start) {
    body.number(zigzag(number - last));
    body.i32(start == WarehouseDirectory::kNoStart ? start : offsetOfStart(start));
    last = number;
    ++names;
  };
  // A directory that keeps its holes in place lists them too, so that the next open can patch it.
  for (size_t n = 0; n < directory_.numberedSlots(); ++n)
    if (holesInPlace_ || directory_.numberedStart(n) != WarehouseDirectory::kNoStart)
      name(static_cast<std::int64_t>(n), directory_.numberedStart(n));
  std::string spelled;
  for (size_t r = directory_.numberedSlots(); r < directory_.recordCount(); ++r) {
    std::string_view text;
    std::int32_t start = -1;
    if (!directory_.recordAt(r, text, start, spelled)) continue;
    const std::int64_t number = WarehouseDirectory::numberOf(text);
    if (number < 0) {
      out.discard();
      (void)std::remove(path.c_str());
      return;
    }
    name(number, start);
  }
  if (!body.flush()) return;
  std::array<std::uint8_t, kTableHead> raw{};
  std::memcpy(raw.data(), holesInPlace_ ? kHolesTableTag : kTableTag, sizeof kTableTag);
  putU64(raw.data() + 8, static_cast<std::uint64_t>(st.st_size));
  putU64(raw.data() + 16, static_cast<std::uint64_t>(st.st_mtim.tv_sec));
  putU64(raw.data() + 24, static_cast<std::uint64_t>(st.st_mtim.tv_nsec));
  putU64(raw.data() + 32, blocks);
  putU64(raw.data() + 40, names);
  putU64(raw.data() + 48, body.written());
  putU64(raw.data() + 56, body.fold());
  if (out.file().writeAt(0, raw.data(), raw.size())) (void)out.commit();
}

bool Warehouse::readDirectory() {
  // Records are taken as the chain is read: a directory of millions of names is never in memory
  // as one value. Whole records are taken where they lie in a piece; only one that straddles two
  // pieces is gathered first.
  std::array<std::uint8_t, kRecordBytes> straddling{};
  size_t gathered = 0;
  bool positional = true;  // record n names n or is empty
  size_t records = 0;
  bool holes = false;
  auto take = [&](const std::uint8_t* record) {
    const auto* nul = static_cast<const std::uint8_t*>(std::memchr(record, 0, kNameBytes));
    if (nul == nullptr) return false;
    const std::string_view name(reinterpret_cast<const char*>(record), static_cast<size_t>(nul - record));
    positional = positional && (name.empty() || WarehouseDirectory::numberOf(name) == static_cast<std::int64_t>(records));
    ++records;
    if (nul == record) {
      holes = true;
      return true;
    }
    std::int32_t start = -1;
    std::memcpy(&start, record + kNameBytes, sizeof start);
    directory_.set(std::string_view(reinterpret_cast<const char*>(record), static_cast<size_t>(nul - record)), start);
    return true;
  };
  const bool ok = store_.readChainPieces(0, [&](std::span<const std::uint8_t> piece) {
    size_t at = 0;
    if (gathered > 0) {
      at = std::min(piece.size(), kRecordBytes - gathered);
      std::memcpy(straddling.data() + gathered, piece.data(), at);
      gathered += at;
      if (gathered < kRecordBytes) return true;
      gathered = 0;
      if (!take(straddling.data())) return false;
    }
    for (; at + kRecordBytes <= piece.size(); at += kRecordBytes)
      if (!take(piece.data() + at)) return false;
    gathered = piece.size() - at;
    if (gathered > 0) std::memcpy(straddling.data(), piece.data() + at, gathered);
    return true;
  });
  // Holes after the last name still take their places.
  if (positional && holes && directory_.onlyNumbered())
    while (directory_.numberedSlots() < records) directory_.appendNumbered(WarehouseDirectory::kNoStart);
  notePositional(positional && directory_.numberedSlots() == records, holes);
  startsToIndices();
  noteSharedStarts();
  return ok;
}

void Warehouse::notePositional(bool positional, bool holes) {
  positional_ = positional && directory_.size() > 0 && directory_.onlyNumbered() &&
                (holes || directory_.size() == directory_.numberedSlots());
  holesInPlace_ = positional_ && holes;
  openNames_ = positional_ ? directory_.numberedSlots() : 0;
  changedNames_.assign((openNames_ + 63) / 64, 0);
}

void Warehouse::startsToIndices() {
  strays_.clear();
  auto stray = [&](std::int32_t& start) {
    strays_.push_back(start);
    start = -static_cast<std::int32_t>(strays_.size());
  };
  // Millions of offsets searched for one at a time would miss the processor's cache at nearly
  // every step: the records are taken a run at a time, their offsets sorted and their blocks met
  // in one walk along the table, and each index goes back into the run's records, which lie close
  // together.
  constexpr size_t kRun = size_t{1} << 20;
  std::vector<std::uint64_t> keys;  // offset << 32 | record number within the run
  std::vector<std::uint64_t> scratch;
  const size_t records = directory_.recordCount();
  for (size_t from = 0; from < records; from += kRun) {
    const size_t to = std::min(records, from + kRun);
    keys.clear();
    for (size_t n = from; n < to; ++n) {
      std::int32_t* start = directory_.startOf(n);
      if (start == nullptr) continue;
      if (*start < 0 || *start >= store_.areaEnd()) stray(*start);
      else keys.push_back(static_cast<std::uint64_t>(*start) << 32 | (n - from));
    }
    sortByOffset(keys, scratch);
    size_t at = 0;
    for (const std::uint64_t key : keys) {
      std::int32_t& start = *directory_.startOf(from + static_cast<size_t>(key & 0xffffffffu));
      const std::int64_t idx = store_.indexAt(start, at);
      if (idx < 0) {
        stray(start);
        continue;
      }
      at = static_cast<size_t>(idx);
      start = static_cast<std::int32_t>(idx);
    }
  }
}

std::int32_t Warehouse::offsetOfStart(std::int32_t start) const {
  if (start >= 0) return store_.offsetAt(static_cast<size_t>(start));
  return strays_[static_cast<size_t>(-1 - static_cast<std::int64_t>(start))];
}

void Warehouse::noteSharedStarts() {
  // A chain named twice is shared by both names, and a name whose chain is the directory's
  // (block 0) shares that: a bit per block marks the chains named so far.
  std::vector<std::uint64_t> seen(store_.blockCount() / 64 + 1, 0);
  seen[0] = 1;
  for (size_t n = 0; n < directory_.recordCount(); ++n) {
    const std::int32_t* start = directory_.startOf(n);
    if (start == nullptr || *start < 0) continue;
    std::uint64_t& word = seen[static_cast<size_t>(*start) / 64];
    const std::uint64_t bit = std::uint64_t{1} << (*start % 64);
    if ((word & bit) != 0) sharedStarts_.insert(*start);
    word |= bit;
  }
}

bool Warehouse::get(std::string_view name, std::vector<std::uint8_t>& out) const {
  out.clear();
  const std::int32_t* start = directory_.find(name);
  if (!isOpen() || start == nullptr) return false;
  return store_.readChain(*start, out);
}

void Warehouse::setMinimumPayload(std::int32_t payload) {
  minimumPayload_ = std::max(payload, BlockStore::kMinPayloadFloor);
  store_.setMinimumPayload(minimumPayload_);
}

bool Warehouse::put(std::string_view name, std::span<const std::uint8_t> bytes) {
  if (!isOpen() || readOnly_ || bytes.empty() || !validName(name)) return false;
  beginChange();
  std::int32_t* old = directory_.find(name);
  if (old != nullptr && !sharedStarts_.contains(*old)) {
    // A chain that no longer collects is abandoned: its blocks stay allocated but unreachable.
    (void)store_.freeChain(*old);
  }
  errno = 0;
  const bool room = hasRoomFor(bytes.size());
  const std::int32_t start = store_.writeChain(bytes);
  if (start < 0) {
    positional_ = false;
    directory_.erase(name);
    return fail(room ? "write" : "no room within the 32-bit offsets");
  }
  directory_.set(name, start);
  noteNamed(name);
  return true;
}

bool Warehouse::remove(std::string_view name) {
  std::int32_t* old = directory_.find(name);
  if (!isOpen() || readOnly_ || old == nullptr) return false;
  beginChange();
  if (!sharedStarts_.contains(*old)) (void)store_.freeChain(*old);
  directory_.erase(name);
  // A positional directory keeps the name's place as an empty record.
  noteNamed(name);
  return true;
}

bool Warehouse::hasRoomFor(size_t valueBytes) const {
  // The places of removed numbers count too: a directory written in place keeps them as empty
  // records, and room taken from them would force it to be written record after record, and
  // then whole at every later close.
  const size_t records = std::max(directory_.size(), directory_.numberedSlots()) + 1;
  const auto directoryBytes = static_cast<std::int64_t>(records * kRecordBytes);
  const std::int64_t value = std::max<std::int64_t>(static_cast<std::int64_t>(valueBytes), minimumPayload_);
  const std::int64_t need = value + directoryBytes + 2 * BlockHeader::kBytes;
  return store_.areaEnd() <= store_.areaLimit() - need;
}

bool Warehouse::hasRoomToReplace(std::string_view name, size_t valueBytes) const {
  if (hasRoomFor(valueBytes)) return true;
  const std::int32_t* old = directory_.find(name);
  if (old == nullptr || sharedStarts_.contains(*old)) return false;
  const std::int64_t space = store_.chainSpace(*old);
  return space >= 0 && store_.freePayload() + space >= static_cast<std::int64_t>(valueBytes);
}

bool Warehouse::fail(const char* what) {
  error_ = what;
  if (errno != 0) error_ += std::string(": ") + std::strerror(errno);
  return false;
}

namespace {

// The records of a directory from record number from on, handed out as the pieces of a chain's
// value: whole records go straight into a piece, only one that straddles two pieces is built
// apart. After the last live record comes the empty directory's one record, when asked for.
// OffsetOf is called once a record, so it is a template parameter rather than a std::function.
template <class OffsetOf>
class DirectoryRecords {
 public:
  // With inPlace, record n goes to place n, an empty one where n is not a live name.
  // offsetOf gives the block offset a record holds for a name's start.
  DirectoryRecords(const WarehouseDirectory& directory, OffsetOf offsetOf, size_t from, bool inPlace = false)
      : directory_(directory), offsetOf_(std::move(offsetOf)), next_(from), inPlace_(inPlace) {}
  void operator()(std::span<std::uint8_t> out) {
    size_t at = 0;
    if (used_ < Warehouse::kRecordBytes) {
      at = std::min(out.size(), Warehouse::kRecordBytes - used_);
      std::memcpy(out.data(), straddling_.data() + used_, at);
      used_ += at;
    }
    for (; at + Warehouse::kRecordBytes <= out.size(); at += Warehouse::kRecordBytes) nextRecord(out.data() + at);
    if (at < out.size()) {
      nextRecord(straddling_.data());
      used_ = out.size() - at;
      std::memcpy(out.data() + at, straddling_.data(), used_);
    }
  }
  // Record number n into out (the empty record when n is not a live one).
  void record(size_t n, std::uint8_t* out) {
    std::string_view name;
    std::int32_t start = -1;
    if (n >= directory_.recordCount() || !directory_.recordAt(n, name, start, spelled_)) {
      name = {};
      start = -1;
    } else {
      start = offsetOf_(start);
    }
    encodeRecord(name, start, out);
  }

 private:
  void nextRecord(std::uint8_t* out) {
    std::string_view name;
    std::int32_t start = -1;
    while (!inPlace_ && next_ < directory_.recordCount() && !directory_.recordAt(next_, name, start, spelled_)) ++next_;
    record(next_ < directory_.recordCount() ? next_++ : directory_.recordCount(), out);
  }
  const WarehouseDirectory& directory_;
  OffsetOf offsetOf_;
  size_t next_;
  bool inPlace_;
  std::array<std::uint8_t, Warehouse::kRecordBytes> straddling_{};
  size_t used_ = Warehouse::kRecordBytes;  // bytes of straddling_ already handed out
  std::string spelled_;
};

}  // namespace

bool Warehouse::writeDirectory() {
  if (patchable() && patchDirectory()) {
    holesInPlace_ = directory_.size() != directory_.numberedSlots();
    return true;
  }
  // A new file has no blocks yet; otherwise the old directory chain at 0 is released first.
  if (store_.blockCount() != 0 && !store_.freeChain(0)) return false;
  const size_t slots = directory_.numberedSlots();
  const bool inPlace = inPlaceRecordsFit();
  holesInPlace_ = inPlace && directory_.size() != slots;
  // The records are handed to the block store a piece at a time: a directory of a million names
  // is 132 MB that never needs to be in memory at once.
  const size_t records = inPlace ? slots : std::max<size_t>(directory_.size(), 1);
  DirectoryRecords source(directory_, [this](std::int32_t start) { return offsetOfStart(start); }, 0, inPlace);
  // The freed block at offset 0 is the first free block, so the directory starts there again.
  return store_.writeChain(static_cast<std::uint64_t>(records) * kRecordBytes, std::ref(source)) == 0;
}

bool Warehouse::inPlaceRecordsFit() const {
  const size_t slots = directory_.numberedSlots();
  return directory_.onlyNumbered() && directory_.size() > 0 && slots - directory_.size() <= slots / 8 &&
         store_.chainFits(static_cast<std::int64_t>(slots * kRecordBytes));
}

bool Warehouse::patchable() const {
  return positional_ && openNames_ > 0 && directory_.onlyNumbered() && directory_.numberedSlots() >= openNames_;
}

void Warehouse::noteNamed(std::string_view name) {
  if (!positional_) return;
  const std::int64_t n = WarehouseDirectory::numberOf(name);
  if (n < 0) positional_ = false;
  else if (static_cast<size_t>(n) < openNames_) changedNames_[static_cast<size_t>(n) / 64] |= std::uint64_t{1} << (n % 64);
}

bool Warehouse::patchDirectory() {
  // Record n lies at n * 132 in the value: the records of changed names are written where they
  // lie, in runs of neighbours, and the new names' records go after the last.
  DirectoryRecords records(directory_, [this](std::int32_t start) { return offsetOfStart(start); }, openNames_, true);
  std::vector<std::uint8_t> run;
  size_t n = 0;
  auto changed = [&](std::uint64_t& at, std::span<const std::uint8_t>& bytes) {
    auto isChanged = [&](size_t k) { return (changedNames_[k / 64] >> (k % 64) & 1) != 0; };
    for (;;) {
      if (n >= openNames_) return false;
      const std::uint64_t word = changedNames_[n / 64] >> (n % 64);
      if (word != 0) {
        n += static_cast<size_t>(std::countr_zero(word));
        break;
      }
      n = (n / 64 + 1) * 64;
    }
    at = static_cast<std::uint64_t>(n) * kRecordBytes;
    run.clear();
    for (; n < openNames_ && isChanged(n) && run.size() < (size_t{64} << 10); ++n) {
      run.resize(run.size() + kRecordBytes);
      records.record(n, run.data() + run.size() - kRecordBytes);
    }
    bytes = run;
    return true;
  };
  const auto more = static_cast<std::uint64_t>(directory_.numberedSlots() - openNames_) * kRecordBytes;
  return store_.patchChain(0, changed, more, std::ref(records));
}

bool Warehouse::close() {
  if (!file_.isOpen()) {
    drop();
    return true;
  }
  bool ok = true;
  errno = 0;
  if (!readOnly_ && changed_ && !writeDirectory()) ok = fail("write the directory");
  if (ok && !store_.flush()) ok = fail("write");
  if (ok && !readOnly_ && !tableStands_) writeTable();
  changed_ = false;
  fromTable_ = false;
  tableStands_ = false;
  store_.detach();
  notePositional(false);
  ok = file_.close() && ok;
  directory_.clear();
  strays_.clear();
  sharedStarts_.clear();
  readOnly_ = false;
  return ok;
}

}  // namespace mh
