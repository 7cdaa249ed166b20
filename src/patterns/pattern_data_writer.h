#pragma once

#include <cstdint>
#include <vector>

#include "patterns/pattern_entry.h"
#include "platform/binary_file.h"

namespace mh {

// Writes a data file ("wpbin") from offset 0, entry by entry in number order, in large pieces.
// When given an index file it also writes the index file ("wpindex") that indexing the finished
// data file by scanning it would give: one record per entry (locations are file offsets) up to the
// 32-bit limit of the offsets, its count set by finish.
class PatternDataWriter {
 public:
  // count: the entries the data file's header announces.
  PatternDataWriter(BinaryFile& data, BinaryFile* index, std::int32_t count);

  // Appends an entry; false when it has no data-file form or a write failed.
  [[nodiscard]] bool add(const PatternEntry& entry);
  // Writes what is buffered and the index file's header; false when a write failed.
  [[nodiscard]] bool finish();

 private:
  struct Output {
    BinaryFile* file = nullptr;
    std::vector<std::uint8_t> buffer;
    std::uint64_t at = 0;  // where the buffer goes
    bool flush();
  };

  Output data_;
  Output index_;
  std::int32_t indexed_ = 0;
  bool indexing_;
  bool ok_ = true;
};

}  // namespace mh
