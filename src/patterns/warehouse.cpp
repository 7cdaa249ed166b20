#include "patterns/warehouse.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <set>

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

}  // namespace

Warehouse::~Warehouse() { close(); }

void Warehouse::drop() {
  store_.detach();
  (void)file_.close();
  directory_.clear();
  sharedStarts_.clear();
  readOnly_ = false;
  changed_ = false;
}

bool Warehouse::create(const std::string& path) {
  close();
  path_ = path;
  readOnly_ = false;
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
  if (version != kVersion || !store_.attach(&file_, kHeaderBytes, minimumPayload_) || !readDirectory()) {
    drop();
    return false;
  }
  return true;
}

bool Warehouse::readDirectory() {
  // Records are taken as the chain is read: a directory of millions of names is never in memory
  // as one value. Whole records are taken where they lie in a piece; only one that straddles two
  // pieces is gathered first.
  std::vector<std::int32_t> starts;  // 4 bytes a name where a tree of them takes about 40
  std::array<std::uint8_t, kRecordBytes> straddling{};
  size_t gathered = 0;
  auto take = [&](const std::uint8_t* record) {
    const auto* nul = static_cast<const std::uint8_t*>(std::memchr(record, 0, kNameBytes));
    if (nul == nullptr) return false;
    if (nul == record) return true;
    std::int32_t start = -1;
    std::memcpy(&start, record + kNameBytes, sizeof start);
    if (start == 0) sharedStarts_.insert(start);
    starts.push_back(start);
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
  noteSharedStarts(starts);
  return ok;
}

void Warehouse::noteSharedStarts(const std::vector<std::int32_t>& starts) {
  // A start named twice is shared by both names. Two blocks begin more than 16 bytes apart, so
  // within the block area a bit per 16 bytes tells distinct block starts apart: only starts that
  // meet a bit already set (and any outside the area) can be named twice, and only they are
  // sorted and compared.
  const std::int64_t area = std::max<std::int64_t>(store_.areaEnd(), 0);
  std::vector<std::uint64_t> seen(static_cast<size_t>(area / 16 / 64 + 1), 0);
  auto bucketOf = [](std::int32_t start) { return static_cast<size_t>(start) / 16; };
  std::vector<std::int32_t> maybe;
  std::vector<size_t> metTwice;  // buckets that more than one start fell in
  for (const std::int32_t start : starts) {
    if (start < 0 || start >= area) {
      maybe.push_back(start);
      continue;
    }
    const size_t b = bucketOf(start);
    std::uint64_t& word = seen[b / 64];
    const std::uint64_t bit = std::uint64_t{1} << (b % 64);
    if ((word & bit) != 0) metTwice.push_back(b);
    word |= bit;
  }
  seen = {};
  if (!metTwice.empty()) {
    std::sort(metTwice.begin(), metTwice.end());
    for (const std::int32_t start : starts)
      if (start >= 0 && start < area && std::binary_search(metTwice.begin(), metTwice.end(), bucketOf(start)))
        maybe.push_back(start);
  }
  std::sort(maybe.begin(), maybe.end());
  for (size_t i = 1; i < maybe.size(); ++i)
    if (maybe[i] == maybe[i - 1]) sharedStarts_.insert(maybe[i]);
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
  changed_ = true;
  std::int32_t* old = directory_.find(name);
  if (old != nullptr && !sharedStarts_.contains(*old)) {
    // A chain that no longer collects is abandoned: its blocks stay allocated but unreachable.
    (void)store_.freeChain(*old);
  }
  errno = 0;
  const bool room = hasRoomFor(bytes.size());
  const std::int32_t start = store_.writeChain(bytes);
  if (start < 0) {
    directory_.erase(name);
    return fail(room ? "write" : "no room within the 32-bit offsets");
  }
  directory_.set(name, start);
  return true;
}

bool Warehouse::remove(std::string_view name) {
  std::int32_t* old = directory_.find(name);
  if (!isOpen() || readOnly_ || old == nullptr) return false;
  changed_ = true;
  if (!sharedStarts_.contains(*old)) (void)store_.freeChain(*old);
  directory_.erase(name);
  return true;
}

bool Warehouse::hasRoomFor(size_t valueBytes) const {
  const auto directoryBytes = static_cast<std::int64_t>((directory_.size() + 1) * kRecordBytes);
  const std::int64_t value = std::max<std::int64_t>(static_cast<std::int64_t>(valueBytes), minimumPayload_);
  const std::int64_t need = value + directoryBytes + 2 * BlockHeader::kBytes;
  return store_.areaEnd() <= store_.areaLimit() - need;
}

bool Warehouse::fail(const char* what) {
  error_ = what;
  if (errno != 0) error_ += std::string(": ") + std::strerror(errno);
  return false;
}

bool Warehouse::writeDirectory() {
  // The records are handed to the block store a piece at a time: a directory of a million names
  // is 132 MB that never needs to be in memory at once.
  const size_t records = std::max<size_t>(directory_.size(), 1);
  std::array<std::uint8_t, kRecordBytes> straddling{};
  size_t used = kRecordBytes;  // bytes of straddling already handed out
  std::string spelled;
  size_t next = 0;  // the directory's next record number
  // The next live record into out (the empty directory's one record when none is left).
  auto nextRecord = [&](std::uint8_t* out) {
    std::string_view name;
    std::int32_t start = -1;
    bool live = false;
    while (!live && next < directory_.recordCount()) live = directory_.recordAt(next++, name, start, spelled);
    if (!live) {
      name = {};
      start = -1;
    }
    std::memset(out, 0, kRecordBytes);
    if (!name.empty()) std::memcpy(out, name.data(), name.size());
    std::memcpy(out + kNameBytes, &start, sizeof start);
  };
  // Whole records go straight into the piece; only one that straddles two pieces is built apart.
  auto source = [&](std::span<std::uint8_t> out) {
    size_t at = 0;
    if (used < kRecordBytes) {
      at = std::min(out.size(), kRecordBytes - used);
      std::memcpy(out.data(), straddling.data() + used, at);
      used += at;
    }
    for (; at + kRecordBytes <= out.size(); at += kRecordBytes) nextRecord(out.data() + at);
    if (at < out.size()) {
      nextRecord(straddling.data());
      used = out.size() - at;
      std::memcpy(out.data() + at, straddling.data(), used);
    }
  };
  // A new file has no blocks yet; otherwise the old directory chain at 0 is released first.
  if (store_.blockCount() != 0 && !store_.freeChain(0)) return false;
  // The freed block at offset 0 is the first free block, so the directory starts there again.
  return store_.writeChain(static_cast<std::uint64_t>(records) * kRecordBytes, source) == 0;
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
  changed_ = false;
  store_.detach();
  ok = file_.close() && ok;
  directory_.clear();
  sharedStarts_.clear();
  readOnly_ = false;
  return ok;
}

}  // namespace mh
