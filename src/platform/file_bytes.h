#pragma once

#include <string>
#include <string_view>

namespace mh {

// Reads a whole regular file. False (out empty) when the path is not a regular file, cannot be
// read, or holds more than maxBytes; directories, devices and pipes are refused, so a read
// never blocks. On failure, why (when given) says which.
[[nodiscard]] bool readFileBytes(const std::string& path, size_t maxBytes, std::string& out,
                                 std::string* why = nullptr);

// Creates or truncates the file and writes the bytes. False when the path is empty or the file
// cannot be written completely.
[[nodiscard]] bool writeFileBytes(const std::string& path, std::string_view bytes);

}  // namespace mh
