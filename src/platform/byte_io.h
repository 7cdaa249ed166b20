#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace mh {

// Reads little-endian values from a byte range. Every read checks the remaining length and
// reports failure instead of reading past the end; a failed read consumes nothing.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  size_t position() const { return pos_; }
  size_t remaining() const { return bytes_.size() - pos_; }
  bool atEnd() const { return pos_ >= bytes_.size(); }
  // Moves to an absolute offset; false (position unchanged) when it lies past the end.
  bool seek(size_t offset) {
    if (offset > bytes_.size()) return false;
    pos_ = offset;
    return true;
  }

  [[nodiscard]] bool readI32(std::int32_t& out) { return readRaw(&out, sizeof out); }
  [[nodiscard]] bool readU32(std::uint32_t& out) { return readRaw(&out, sizeof out); }
  [[nodiscard]] bool readU16(std::uint16_t& out) { return readRaw(&out, sizeof out); }
  [[nodiscard]] bool readU8(std::uint8_t& out) { return readRaw(&out, sizeof out); }
  [[nodiscard]] bool readF32(float& out) { return readRaw(&out, sizeof out); }
  [[nodiscard]] bool readF64(double& out) { return readRaw(&out, sizeof out); }
  [[nodiscard]] bool readBytes(void* out, size_t n) { return readRaw(out, n); }
  // A view of the next n bytes; false when fewer remain.
  [[nodiscard]] bool take(size_t n, std::span<const std::uint8_t>& out) {
    if (n > remaining()) return false;
    out = bytes_.subspan(pos_, n);
    pos_ += n;
    return true;
  }

 private:
  // The host is little-endian (x86-64, arm64 Linux), so a copy is the decoding.
  bool readRaw(void* out, size_t n) {
    if (n > remaining()) return false;
    std::memcpy(out, bytes_.data() + pos_, n);
    pos_ += n;
    return true;
  }

  std::span<const std::uint8_t> bytes_;
  size_t pos_ = 0;
};

// Appends little-endian values to a byte vector.
class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void writeI32(std::int32_t v) { writeRaw(&v, sizeof v); }
  void writeU32(std::uint32_t v) { writeRaw(&v, sizeof v); }
  void writeU16(std::uint16_t v) { writeRaw(&v, sizeof v); }
  void writeU8(std::uint8_t v) { writeRaw(&v, sizeof v); }
  void writeF32(float v) { writeRaw(&v, sizeof v); }
  void writeF64(double v) { writeRaw(&v, sizeof v); }
  // A long run (a list copied whole) is appended without first zero-filling its room.
  void writeBytes(const void* data, size_t n) {
    if (n < kLongRun) return writeRaw(data, n);
    const auto* from = static_cast<const std::uint8_t*>(data);
    out_.insert(out_.end(), from, from + n);
  }
  void writeZeros(size_t n) { out_.insert(out_.end(), n, 0); }
  size_t size() const { return out_.size(); }
  // Makes room for n more bytes at once, still growing geometrically, so that a record of many
  // small fields is not grown field by field.
  void reserveMore(size_t n) {
    if (out_.capacity() - out_.size() < n) out_.reserve(std::max(out_.size() + n, 2 * out_.capacity()));
  }

 private:
  static constexpr size_t kLongRun = 64;
  // Grows by resize and copies, which for the many 4-byte fields of a record costs a fraction of
  // a ranged insert.
  void writeRaw(const void* data, size_t n) {
    if (n == 0) return;
    const size_t at = out_.size();
    out_.resize(at + n);
    std::memcpy(out_.data() + at, data, n);
  }

  std::vector<std::uint8_t>& out_;
};

static_assert(sizeof(float) == 4 && sizeof(double) == 8);

}  // namespace mh
