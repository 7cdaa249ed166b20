#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "patterns/warehouse.h"

namespace mh {

// A warehouse that may pass the reach of one file's 32-bit offsets. It is one Warehouse file at
// path for as long as everything fits there, byte for byte what a single warehouse holds. A value
// that would carry a file past its reach goes to the next volume instead: a further Warehouse
// file named path + ".2", then ".3" and so on, each a complete warehouse of the same format, and
// every name lives in exactly one of them (a value that moves is removed from its old volume).
// Opening finds the volumes by those names, up to the first that is missing; creating removes
// the volumes of an earlier warehouse at the same path.
class WarehouseVolumes {
 public:
  WarehouseVolumes() = default;
  ~WarehouseVolumes() { close(); }
  WarehouseVolumes(const WarehouseVolumes&) = delete;
  WarehouseVolumes& operator=(const WarehouseVolumes&) = delete;

  // The name of volume number (0 for the first).
  static std::string volumePath(const std::string& path, size_t number);

  [[nodiscard]] bool create(const std::string& path);
  [[nodiscard]] bool open(const std::string& path);
  [[nodiscard]] bool get(std::string_view name, std::vector<std::uint8_t>& out) const;
  // As Warehouse::put, in the volume that holds name while it has room there (its free blocks
  // and the name's old chain count), else in the last volume or a new one.
  [[nodiscard]] bool put(std::string_view name, std::span<const std::uint8_t> bytes);
  // Closes every volume, writing the directories of those that changed; false when one failed.
  bool close();

  bool isOpen() const { return !volumes_.empty() && volumes_.front()->isOpen(); }
  size_t volumeCount() const { return volumes_.size(); }
  void setMinimumPayload(std::int32_t payload);
  // The reach of each volume's block area; lowered only to try splitting on small collections.
  void setAreaLimit(std::int64_t limit);
  // Why the last failed operation did: the file, the operation and the system's error text.
  const std::string& error() const { return error_; }

 private:
  // The volume holding name, or -1.
  int volumeOf(std::string_view name) const;
  bool addVolume();
  bool putIn(Warehouse& volume, std::string_view name, std::span<const std::uint8_t> bytes);
  bool fail(const std::string& path, const std::string& what);

  std::string path_;
  std::vector<std::unique_ptr<Warehouse>> volumes_;
  std::int32_t minimumPayload_ = Warehouse::kMinimumPayload;
  std::int64_t areaLimit_ = BlockStore::kOffsetReach;
  std::string error_;
};

}  // namespace mh
