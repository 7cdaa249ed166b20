#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

inline constexpr std::string_view kPatternDataTag = "wpbin";
inline constexpr std::string_view kPatternIndexTag = "wpindex";
inline constexpr std::string_view kGameIndexTag = "qpindex";

}  // namespace mh
