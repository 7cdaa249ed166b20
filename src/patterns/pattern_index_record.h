#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/byte_io.h"
#include "platform/binary_file.h"

namespace mh {

// What a library keeps in memory per entry when the entries themselves stay on disk: enough to
// rule out most hash-bucket neighbours without reading them. The location is a byte offset in
// the data file (index mode) or the entry's number (warehouse mode). 17 bytes on disk, packed.
struct PatternIndexRecord {
  std::int32_t hash = 0;
  std::int32_t location = 0;
  std::int32_t blackCount = 0;
  std::int32_t whiteCount = 0;
  std::uint8_t side = 0;

  static constexpr size_t kBytes = 17;

  [[nodiscard]] bool read(ByteReader& in) {
    return in.readI32(hash) && in.readI32(location) && in.readI32(blackCount) && in.readI32(whiteCount) &&
           in.readU8(side);
  }
  void write(ByteWriter& out) const {
    out.writeI32(hash);
    out.writeI32(location);
    out.writeI32(blackCount);
    out.writeI32(whiteCount);
    out.writeU8(side);
  }
  friend bool operator==(const PatternIndexRecord&, const PatternIndexRecord&) = default;
};

// Index records whose location is their own number (a library under construction), 8 bytes each
// where a record takes 20: the hash with the side in its top byte, and both stone counts in 16
// bits. A record that does not fit (no build makes one; a damaged file might) is kept whole beside
// them, so every record reads back exactly as it was appended.
//
// Records never change once appended and a build reads them back mostly in number order, at its
// finish. With spilling on, every full page but the newest goes to a scratch file, so that tens of
// millions of records do not stay in memory; a page that cannot be written stays in memory.
class NumberedIndexRecords {
 public:
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  size_t capacity() const { return pages_.size() * kPageItems; }
  void reserve(size_t count) { pages_.reserve((count + kPageItems - 1) / kPageItems); }
  void clear();
  void push_back(const PatternIndexRecord& r);
  // Record n (below size()) into out; false only when its spilled page cannot be read back. Not
  // safe to call from two threads at once while pages are spilled (they share a read window).
  [[nodiscard]] bool at(size_t n, PatternIndexRecord& out) const;

  // From now on, full pages go to a file without a name in directory (the full pages already
  // held go at once). False, nothing changed, when no such file can be made there.
  [[nodiscard]] bool spillTo(const std::string& directory);
  // Pages held in memory, and the bytes they take.
  size_t pagesHeld() const;
  size_t bytes() const { return pagesHeld() * kPageItems * sizeof(Packed) + pages_.capacity() * sizeof(pages_[0]); }

 private:
  static constexpr size_t kPageItems = size_t{1} << 16;
  static constexpr size_t kWindowItems = size_t{1} << 13;  // read back 64 KiB at a time
  static constexpr std::uint16_t kWhole = 0xffff;  // both counts: the record is kept whole
  struct Packed {
    std::uint32_t hashAndSide;
    std::uint16_t black;
    std::uint16_t white;
  };
  // Writes full page p to the scratch file and frees it; the page stays when the write fails.
  void spillPage(size_t p);
  PatternIndexRecord unpack(const Packed& p, size_t n) const;

  std::vector<std::unique_ptr<Packed[]>> pages_;  // null: in the scratch file
  size_t size_ = 0;
  std::unique_ptr<Packed[]> spare_;  // a spilled page's memory, for the next page
  std::unordered_map<size_t, PatternIndexRecord> whole_;
  BinaryFile spill_;
  mutable std::unique_ptr<Packed[]> window_;  // records read back from the scratch file
  mutable size_t windowStart_ = 0;
  mutable bool windowValid_ = false;
};

}  // namespace mh
