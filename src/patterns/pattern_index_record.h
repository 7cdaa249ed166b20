#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/byte_io.h"
#include "platform/spilled_pages.h"

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
  size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  size_t capacity() const { return records_.capacity(); }
  void reserve(size_t count) { records_.reserve(count); }
  // Drops every record and stops spilling.
  void clear();
  void push_back(const PatternIndexRecord& r);
  // Record n (below size()) into out; false only when its spilled page cannot be read back. Not
  // safe to call from two threads at once while pages are spilled (they share a read window).
  [[nodiscard]] bool at(size_t n, PatternIndexRecord& out) const;

  // From now on, full pages go to a file without a name in directory (the full pages already
  // held go at once). False, nothing changed, when no such file can be made there.
  [[nodiscard]] bool spillTo(const std::string& directory) { return records_.spillTo(directory); }
  // Pages held in memory, and the bytes they take.
  size_t pagesHeld() const { return records_.pagesHeld(); }
  size_t bytes() const { return records_.bytes(); }

 private:
  static constexpr std::uint16_t kWhole = 0xffff;  // both counts: the record is kept whole
  struct Packed {
    std::uint32_t hashAndSide;
    std::uint16_t black;
    std::uint16_t white;
  };
  PatternIndexRecord unpack(const Packed& p, size_t n) const;

  // Read back 64 KiB at a time.
  SpilledPages<Packed, size_t{1} << 16, size_t{1} << 13> records_;
  std::unordered_map<size_t, PatternIndexRecord> whole_;
};

}  // namespace mh
