#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/binary_file.h"
#include "platform/byte_io.h"

namespace mh {

// The 32-byte header shared by the pattern subsystem's fixed-header files: a NUL-terminated ASCII
// tag zero-padded to 20 bytes, a double that must read 0.0, and a signed 32-bit record count.
struct PatternFileHeader {
  static constexpr size_t kBytes = 32;
  static constexpr size_t kTagBytes = 20;

  // Reads a header and accepts it only when the tag equals `tag` exactly, the double is 0.0 and
  // the count is not negative; count receives the record count.
  [[nodiscard]] static bool read(ByteReader& in, std::string_view tag, std::int32_t& count);
  // Appends the header for tag (at most 19 characters) and count.
  static void write(ByteWriter& out, std::string_view tag, std::int32_t count);

  // Reads a whole file of this header followed by count records of recordBytes each: body gets
  // the records' bytes. False when the file does not open, the header is not accepted, or the
  // file is shorter than the count needs (checked before anything is allocated for it).
  [[nodiscard]] static bool readFile(const std::string& path, std::string_view tag, size_t recordBytes,
                                     std::int32_t& count, std::vector<std::uint8_t>& body);
};

// Appends records to a file of the header above and fixed-size records, in place, for files that
// only grow: a run writes what it added instead of the whole file. The new records go after the
// ones the file holds, the file is cut to its new length, and the header with the new count is
// written last, so that a program killed before then finds the file as it was (bytes past the
// count are passed over by readers, and the next append cuts them off).
class PatternFileAppend {
 public:
  PatternFileAppend() : writer_(bytes_) {}
  PatternFileAppend(const PatternFileAppend&) = delete;
  PatternFileAppend& operator=(const PatternFileAppend&) = delete;

  // Opens path for appending after its first `kept` records. False, nothing written, unless its
  // header has tag and exactly that count and all of their bytes are there: the caller then
  // writes the file whole.
  [[nodiscard]] bool open(const std::string& path, std::string_view tag, size_t recordBytes, std::int32_t kept);
  // Where the new records go, in order.
  ByteWriter& out() { return writer_; }
  // Writes what out() holds once it has grown past a piece, so that it never holds much.
  [[nodiscard]] bool flushIfFull();
  // Writes the rest, cuts the file after the new records and writes the header with their count,
  // which must be what the file holds now. False on a failed write or a count that does not agree.
  [[nodiscard]] bool finish();

 private:
  bool flush();
  BinaryFile file_;
  std::string tag_;
  size_t recordBytes_ = 0;
  std::uint64_t at_ = 0;  // where the next bytes go
  std::vector<std::uint8_t> bytes_;
  ByteWriter writer_;
};

inline constexpr std::string_view kPatternDataTag = "wpbin";
inline constexpr std::string_view kPatternIndexTag = "wpindex";
inline constexpr std::string_view kGameIndexTag = "qpindex";

}  // namespace mh
