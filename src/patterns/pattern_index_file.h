#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "patterns/pattern_index_record.h"
#include "platform/binary_file.h"
#include "platform/buffered_file_reader.h"

namespace mh {

// An index file ("wpindex") read record by record through a window of the file, so that the
// index of millions of entries is never in memory whole, neither as bytes nor as records.
class PatternIndexFileReader {
 public:
  // Opens the file and reads its header. False when it does not open, the header is not accepted,
  // or the file is shorter than its count needs.
  [[nodiscard]] bool open(const std::string& path);
  std::int32_t count() const { return count_; }
  // The next record, in file order; false past the last or when it does not read.
  [[nodiscard]] bool next(PatternIndexRecord& record);

 private:
  BinaryFile file_;
  std::int32_t count_ = 0;
  std::int32_t read_ = 0;
  std::unique_ptr<BufferedFileReader> in_;
};

}  // namespace mh
