#include "patterns/warehouse_volumes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace mh {

std::string WarehouseVolumes::volumePath(const std::string& path, size_t number) {
  return number == 0 ? path : path + "." + std::to_string(number + 1);
}

bool WarehouseVolumes::create(const std::string& path) {
  close();
  path_ = path;
  // Volumes of an earlier warehouse here would be taken for this one's when it is opened again.
  for (size_t n = 1;; ++n) {
    const std::string stale = volumePath(path, n);
    (void)std::remove(Warehouse::tablePath(stale).c_str());
    if (std::remove(stale.c_str()) == 0) continue;
    if (errno == ENOENT) break;
    return fail(stale, std::string("remove: ") + std::strerror(errno));
  }
  return addVolume();
}

bool WarehouseVolumes::open(const std::string& path) {
  close();
  path_ = path;
  for (size_t n = 0;; ++n) {
    const std::string name = volumePath(path, n);
    struct stat st {};
    if (n > 0 && ::stat(name.c_str(), &st) != 0) break;
    auto volume = std::make_unique<Warehouse>();
    volume->setMinimumPayload(minimumPayload_);
    volume->setAreaLimit(areaLimit_);
    if (!volume->open(name, false)) {
      volumes_.clear();
      return fail(name, "open");
    }
    volumes_.push_back(std::move(volume));
  }
  return true;
}

bool WarehouseVolumes::addVolume() {
  const std::string name = volumePath(path_, volumes_.size());
  auto volume = std::make_unique<Warehouse>();
  volume->setMinimumPayload(minimumPayload_);
  volume->setAreaLimit(areaLimit_);
  errno = 0;
  if (!volume->create(name)) return fail(name, std::string("create: ") + std::strerror(errno));
  volumes_.push_back(std::move(volume));
  return true;
}

int WarehouseVolumes::volumeOf(std::string_view name) const {
  for (size_t v = 0; v < volumes_.size(); ++v)
    if (volumes_[v]->contains(name)) return static_cast<int>(v);
  return -1;
}

bool WarehouseVolumes::get(std::string_view name, std::vector<std::uint8_t>& out) const {
  const int v = volumeOf(name);
  if (v < 0) {
    out.clear();
    return false;
  }
  return volumes_[static_cast<size_t>(v)]->get(name, out);
}

bool WarehouseVolumes::putIn(Warehouse& volume, std::string_view name, std::span<const std::uint8_t> bytes) {
  return volume.put(name, bytes) || fail(volume.path(), volume.error());
}

bool WarehouseVolumes::put(std::string_view name, std::span<const std::uint8_t> bytes) {
  if (!isOpen()) return false;
  const int v = volumeOf(name);
  if (v >= 0 && volumes_[static_cast<size_t>(v)]->hasRoomToReplace(name, bytes.size()))
    return putIn(*volumes_[static_cast<size_t>(v)], name, bytes);
  if (!volumes_.back()->hasRoomFor(bytes.size()) && !addVolume()) return false;
  if (!putIn(*volumes_.back(), name, bytes)) return false;
  // Moved: the old volume lets it go only once the new one holds it.
  if (v >= 0 && static_cast<size_t>(v) + 1 != volumes_.size())
    return volumes_[static_cast<size_t>(v)]->remove(name) || fail(volumes_[static_cast<size_t>(v)]->path(), "remove");
  return true;
}

bool WarehouseVolumes::close() {
  bool ok = true;
  for (auto& volume : volumes_)
    if (!volume->close()) ok = fail(volume->path(), volume->error());
  volumes_.clear();
  return ok;
}

void WarehouseVolumes::setMinimumPayload(std::int32_t payload) {
  minimumPayload_ = payload;
  for (auto& volume : volumes_) volume->setMinimumPayload(payload);
}

void WarehouseVolumes::setAreaLimit(std::int64_t limit) {
  areaLimit_ = limit;
  for (auto& volume : volumes_) volume->setAreaLimit(limit);
}

bool WarehouseVolumes::fail(const std::string& path, const std::string& what) {
  error_ = path + ": " + what;
  return false;
}

}  // namespace mh
