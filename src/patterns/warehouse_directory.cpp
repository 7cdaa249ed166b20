#include "patterns/warehouse_directory.h"

namespace mh {

void WarehouseDirectory::clear() {
  names_.clear();
  names_.shrink_to_fit();
  records_.clear();
  records_.shrink_to_fit();
  slots_.clear();
  slots_.shrink_to_fit();
  live_ = 0;
  numbered_.clear();
  numberedLive_ = 0;
}

std::int64_t WarehouseDirectory::numberOf(std::string_view name) {
  if (name.empty() || name.size() > 10 || (name.size() > 1 && name[0] == '0')) return -1;
  std::int64_t n = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n <= INT32_MAX ? n : -1;
}

std::uint64_t WarehouseDirectory::hashOf(std::string_view name) {
  std::uint64_t h = 1469598103934665603ULL;
  for (unsigned char c : name) h = (h ^ c) * 1099511628211ULL;
  return h ^ (h >> 29);
}

size_t WarehouseDirectory::slotOf(std::string_view name) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = static_cast<size_t>(hashOf(name)) & mask;; i = (i + 1) & mask) {
    const std::int32_t at = slots_[i];
    if (at < 0) return i;
    const Record& r = records_[static_cast<size_t>(at)];
    if (std::string_view(names_.data() + r.offset, r.length) == name) return i;
  }
}

const std::int32_t* WarehouseDirectory::find(std::string_view name) const {
  if (const std::int64_t n = numberOf(name);
      n >= 0 && static_cast<size_t>(n) < numbered_.size() && numbered_[static_cast<size_t>(n)] != kAbsent)
    return &numbered_[static_cast<size_t>(n)];
  return findOther(name);
}

const std::int32_t* WarehouseDirectory::findOther(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  const std::int32_t at = slots_[slotOf(name)];
  if (at < 0 || !records_[static_cast<size_t>(at)].live) return nullptr;
  return &records_[static_cast<size_t>(at)].start;
}

std::int32_t* WarehouseDirectory::find(std::string_view name) {
  return const_cast<std::int32_t*>(static_cast<const WarehouseDirectory*>(this)->find(name));
}

void WarehouseDirectory::grow() {
  slots_.assign(slots_.empty() ? 64 : slots_.size() * 2, -1);
  for (size_t n = 0; n < records_.size(); ++n) {
    const Record& r = records_[n];
    slots_[slotOf(std::string_view(names_.data() + r.offset, r.length))] = static_cast<std::int32_t>(n);
  }
}

void WarehouseDirectory::set(std::string_view name, std::int32_t start) {
  const std::int64_t n = numberOf(name);
  const bool numbered = n >= 0 && static_cast<size_t>(n) < numbered_.size() && numbered_[static_cast<size_t>(n)] != kAbsent;
  if (numbered && start != kAbsent) {
    numbered_[static_cast<size_t>(n)] = start;
    return;
  }
  if (numbered) {
    // The one start the array cannot hold moves the name to the other names.
    numbered_[static_cast<size_t>(n)] = kAbsent;
    --numberedLive_;
  } else if (n >= 0 && start != kAbsent && n <= static_cast<std::int64_t>(numbered_.size()) * 2 + 1024 &&
             findOther(name) == nullptr) {
    // Numbers far beyond those present (a damaged directory) go with the other names rather than
    // growing the array without bound; a name already held there stays there.
    const auto at = static_cast<size_t>(n);
    if (at >= numbered_.size()) numbered_.resize(at + 1, kAbsent);
    numbered_[at] = start;
    ++numberedLive_;
    return;
  }
  if ((records_.size() + 1) * 2 > slots_.size()) grow();
  const size_t slot = slotOf(name);
  if (slots_[slot] >= 0) {
    Record& r = records_[static_cast<size_t>(slots_[slot])];
    if (!r.live) ++live_;
    r.live = true;
    r.start = start;
    return;
  }
  Record r;
  r.offset = static_cast<std::uint32_t>(names_.size());
  r.length = static_cast<std::uint8_t>(name.size());
  r.live = true;
  r.start = start;
  names_.append(name);
  slots_[slot] = static_cast<std::int32_t>(records_.size());
  records_.push_back(r);
  ++live_;
}

void WarehouseDirectory::erase(std::string_view name) {
  if (const std::int64_t n = numberOf(name); n >= 0 && static_cast<size_t>(n) < numbered_.size() &&
                                             numbered_[static_cast<size_t>(n)] != kAbsent) {
    numbered_[static_cast<size_t>(n)] = kAbsent;
    --numberedLive_;
    return;
  }
  if (slots_.empty()) return;
  const std::int32_t at = slots_[slotOf(name)];
  if (at < 0 || !records_[static_cast<size_t>(at)].live) return;
  records_[static_cast<size_t>(at)].live = false;
  --live_;
}

}  // namespace mh
