#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace mh {

// A key file ("wp2.keys", "lb.keys") sits beside a data file and its index, and holds a 16-bit
// mark of every entry's key, in index order, so that a look-up can pass over the entries of a
// bucket that share the stone counts and side of the key it seeks without reading their keys
// from the data file. It holds nothing that cannot be had from the data file, so it is
// optional: a reader uses it only while its header agrees with the index and the data file it
// was written with, and a missing, short, stale or foreign one costs speed, never an answer.
//
// Layout (little-endian): "wpkeys01", entry count (u32), data file size (u64), a fold of the
// index file's records (u64), 4 bytes zero; then the entries' marks, 2 bytes each.
struct PatternKeyFileHeader {
  static constexpr size_t kBytes = 32;
  static constexpr size_t kMarkBytes = 2;

  std::uint32_t entries = 0;
  std::uint64_t dataBytes = 0;
  std::uint64_t indexFold = 0;

  void write(std::uint8_t* out) const;
  // False when the bytes are not a key file's header.
  [[nodiscard]] bool read(std::span<const std::uint8_t> bytes);
  // The size of the whole file this header announces.
  std::uint64_t fileBytes() const { return kBytes + std::uint64_t{entries} * kMarkBytes; }
};

// The bytes of an entry's key (its snapshot, then the side), as they lead its data-file form:
// 17 + 4 per stone. Zero when the entry's first bytes do not hold a readable key of that length.
size_t patternKeyBytes(std::span<const std::uint8_t> entry);
// An entry's first bytes, which tell its key's length through the stone counts.
inline constexpr size_t kPatternKeyHeadBytes = 17;
// The key's length as told by those first bytes, or 0 when its counts are negative.
std::uint64_t patternKeyLength(std::span<const std::uint8_t, kPatternKeyHeadBytes> head);

// The mark of a key given as its bytes. Equal keys have equal marks.
std::uint16_t patternKeyMark(std::span<const std::uint8_t> key);

// A fold over an index file's records, each given as its 17 bytes with its number, that tells
// one index from another. Records fold independently, so it costs a few instructions a record.
class PatternIndexFold {
 public:
  void add(std::uint64_t number, const std::uint8_t* record) {
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    std::memcpy(&a, record, 8);
    std::memcpy(&b, record + 8, 8);
    const std::uint64_t c = record[16];
    sum_ += (a ^ (number * 0x9e3779b97f4a7c15ULL)) * 0xff51afd7ed558ccdULL + (b ^ (c << 56)) * 0xc4ceb9fe1a85ec53ULL;
    ++count_;
  }
  std::uint64_t value() const { return sum_ ^ (count_ * 0x2545f4914f6cdd1dULL); }

 private:
  std::uint64_t sum_ = 0;
  std::uint64_t count_ = 0;
};

}  // namespace mh
