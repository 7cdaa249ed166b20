#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "patterns/data_file_stamp.h"
#include "patterns/pattern_index_file.h"
#include "patterns/pattern_index_record.h"
#include "platform/binary_file.h"

namespace mh {

// The data file ("wpbin") and index of a library's last finish, read in file order through a
// window, to copy the entries a later finish did not change. It opens only when the data file
// still has the stamp that finish gave it and the index holds the expected entries, and reading
// neither file is ever held or mapped whole, so it adds no more than two windows to the build's
// memory.
class PreviousDataFile {
 public:
  [[nodiscard]] bool open(const std::string& dataPath, const std::string& indexPath, const DataFileStamp& stamp,
                          int expectedEntries);
  // The bytes of entry number and its index record (numbers ascending from call to call), or
  // empty when they cannot be told or read.
  std::span<const std::uint8_t> entry(int number, PatternIndexRecord& record);

 private:
  bool hasStamp(const DataFileStamp& stamp);
  // Moves the index to entry number: its record in current_, the next one's in next_.
  bool advanceTo(int number);

  BinaryFile file_;
  std::uint64_t size_ = 0;
  PatternIndexFileReader index_;
  int at_ = -1;  // the entry whose record is current_
  PatternIndexRecord current_;
  PatternIndexRecord next_;
  bool hasNext_ = false;
  std::vector<std::uint8_t> window_;
  std::uint64_t windowStart_ = 0;
};

}  // namespace mh
