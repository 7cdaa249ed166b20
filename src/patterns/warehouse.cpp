#include "patterns/warehouse.h"

#include <algorithm>
#include <array>
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

void appendRecord(std::vector<std::uint8_t>& out, std::string_view name, std::int32_t start) {
  const size_t at = out.size();
  out.resize(at + Warehouse::kRecordBytes, 0);
  if (!name.empty()) std::memcpy(out.data() + at, name.data(), name.size());
  std::memcpy(out.data() + at + Warehouse::kNameBytes, &start, sizeof start);
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
      !store_.attach(&file_, kHeaderBytes, kMinimumPayload)) {
    drop();
    return false;
  }
  store_.setMinimumPayload(kDirectoryPayload);
  const bool ok = writeDirectory();
  store_.setMinimumPayload(kMinimumPayload);
  if (!ok) drop();
  return ok;
}

bool Warehouse::open(const std::string& path, bool readOnly) {
  close();
  changed_ = false;
  path_ = path;
  readOnly_ = readOnly;
  std::array<std::uint8_t, kHeaderBytes> header{};
  std::vector<std::uint8_t> dir;
  if (!file_.open(path, readOnly ? BinaryFile::Mode::ReadOnly : BinaryFile::Mode::ReadWrite) ||
      !file_.readAt(0, header.data(), header.size()) || std::memcmp(header.data(), kTag, sizeof kTag) != 0) {
    drop();
    return false;
  }
  float version = 0;
  std::memcpy(&version, header.data() + kVersionOffset, sizeof version);
  if (version != kVersion || !store_.attach(&file_, kHeaderBytes, kMinimumPayload) || !store_.readChain(0, dir)) {
    drop();
    return false;
  }
  std::set<std::int32_t> starts;
  for (size_t at = 0; at + kRecordBytes <= dir.size(); at += kRecordBytes) {
    const auto* rec = dir.data() + at;
    const auto* nul = static_cast<const std::uint8_t*>(std::memchr(rec, 0, kNameBytes));
    if (nul == nullptr) {
      drop();
      return false;
    }
    if (nul == rec) continue;
    std::int32_t start = -1;
    std::memcpy(&start, rec + kNameBytes, sizeof start);
    if (start == 0 || !starts.insert(start).second) sharedStarts_.insert(start);
    directory_.insert_or_assign(std::string(reinterpret_cast<const char*>(rec), static_cast<size_t>(nul - rec)),
                                start);
  }
  return true;
}

bool Warehouse::get(std::string_view name, std::vector<std::uint8_t>& out) const {
  out.clear();
  const auto it = directory_.find(name);
  if (!isOpen() || it == directory_.end()) return false;
  return store_.readChain(it->second, out);
}

bool Warehouse::put(std::string_view name, std::span<const std::uint8_t> bytes) {
  if (!isOpen() || readOnly_ || bytes.empty() || !validName(name)) return false;
  changed_ = true;
  auto it = directory_.find(name);
  if (it != directory_.end() && !sharedStarts_.contains(it->second)) {
    // A chain that no longer collects is abandoned: its blocks stay allocated but unreachable.
    (void)store_.freeChain(it->second);
  }
  const std::int32_t start = store_.writeChain(bytes);
  if (start < 0) {
    if (it != directory_.end()) directory_.erase(it);
    return false;
  }
  if (it != directory_.end()) it->second = start;
  else directory_.emplace(std::string(name), start);
  return true;
}

bool Warehouse::writeDirectory() {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(kRecordBytes * std::max<size_t>(directory_.size(), 1));
  for (const auto& [name, start] : directory_) appendRecord(bytes, name, start);
  if (directory_.empty()) appendRecord(bytes, {}, -1);
  // A new file has no blocks yet; otherwise the old directory chain at 0 is released first.
  if (!store_.blocks().empty() && !store_.freeChain(0)) return false;
  // The freed block at offset 0 is the first free block, so the directory starts there again.
  return store_.writeChain(bytes) == 0;
}

bool Warehouse::close() {
  if (!file_.isOpen()) {
    drop();
    return true;
  }
  bool ok = true;
  if (!readOnly_ && changed_) ok = writeDirectory();
  changed_ = false;
  store_.detach();
  ok = file_.close() && ok;
  directory_.clear();
  sharedStarts_.clear();
  readOnly_ = false;
  return ok;
}

}  // namespace mh
