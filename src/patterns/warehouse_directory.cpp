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
  if (slots_.empty()) return;
  const std::int32_t at = slots_[slotOf(name)];
  if (at < 0 || !records_[static_cast<size_t>(at)].live) return;
  records_[static_cast<size_t>(at)].live = false;
  --live_;
}

}  // namespace mh
