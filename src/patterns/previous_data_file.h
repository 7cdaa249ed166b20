#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "patterns/data_file_stamp.h"
#include "patterns/pattern_index_record.h"
#include "platform/binary_file.h"

namespace mh {

// The data file ("wpbin") and index of a library's last finish, read in file order through a
// window, to copy the entries a later finish did not change. It opens only when the data file
// still has the stamp that finish gave it and the index holds the expected entries, and reading
// it never maps the file, so it adds no more than the window to the build's memory.
class PreviousDataFile {
 public:
  [[nodiscard]] bool open(const std::string& dataPath, const std::string& indexPath, const DataFileStamp& stamp,
                          int expectedEntries);
  // The bytes of entry number (numbers ascending from call to call), or empty when they cannot be
  // told or read.
  std::span<const std::uint8_t> entry(int number);
  const PatternIndexRecord& record(int number) const { return records_[static_cast<size_t>(number)]; }

 private:
  bool hasStamp(const DataFileStamp& stamp);

  BinaryFile file_;
  std::uint64_t size_ = 0;
  std::vector<PatternIndexRecord> records_;
  std::vector<std::uint8_t> window_;
  std::uint64_t windowStart_ = 0;
};

}  // namespace mh
