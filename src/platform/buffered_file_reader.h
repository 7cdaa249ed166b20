#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/binary_file.h"

namespace mh {

// Sequential little-endian reads from a BinaryFile, starting at an offset, through a buffer.
// Offers the same read calls as ByteReader so one decoder serves memory and files. A read that
// runs past the end of the file (its length when the reader was made) fails; remaining() lets a
// decoder check a count against what the file can still hold before allocating for it.
class BufferedFileReader {
 public:
  BufferedFileReader(const BinaryFile& file, std::uint64_t offset, std::uint64_t fileSize,
                     size_t bufferSize = 64 * 1024);

  std::uint64_t position() const { return pos_; }
  std::uint64_t remaining() const { return pos_ < fileSize_ ? fileSize_ - pos_ : 0; }
  bool atEnd() const { return remaining() == 0; }

  [[nodiscard]] bool readI32(std::int32_t& out) { return readBytes(&out, sizeof out); }
  [[nodiscard]] bool readU32(std::uint32_t& out) { return readBytes(&out, sizeof out); }
  [[nodiscard]] bool readU16(std::uint16_t& out) { return readBytes(&out, sizeof out); }
  [[nodiscard]] bool readU8(std::uint8_t& out) { return readBytes(&out, sizeof out); }
  [[nodiscard]] bool readF64(double& out) { return readBytes(&out, sizeof out); }
  // Reads exactly n bytes; on failure the position is unspecified and out partly written.
  [[nodiscard]] bool readBytes(void* out, size_t n);

 private:
  const BinaryFile& file_;
  std::uint64_t pos_;
  std::uint64_t fileSize_;
  std::vector<std::uint8_t> buffer_;
  std::uint64_t bufferStart_ = 0;  // file offset of buffer_[0]
  size_t bufferFill_ = 0;          // valid bytes in buffer_
  size_t bufferCapacity_;
};

}  // namespace mh
