#include "library_windows/players_file.h"

#include <algorithm>

#include "platform/file_bytes.h"

namespace mh {

namespace {

constexpr size_t kLineLimit = 1023;
// A players file is a few thousand names; anything far larger is not one.
constexpr size_t kFileLimit = size_t{16} << 20;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The line cut to the limit at a character boundary: a byte with bit 7 set starts a two-byte
// character.
std::string_view cutLine(std::string_view line) {
  if (line.size() <= kLineLimit) return line;
  size_t end = 0;
  while (end < line.size()) {
    const size_t width = (static_cast<unsigned char>(line[end]) & 0x80) && end + 1 < line.size() ? 2 : 1;
    if (end + width > kLineLimit) break;
    end += width;
  }
  return line.substr(0, end);
}

}  // namespace

std::vector<std::string> parsePlayersText(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    std::string_view line = cutLine(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
    if (line.empty() || line.front() == ';') continue;
    names.emplace_back(line);
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::vector<std::string> readPlayersFile(const std::string& path) {
  std::string text;
  if (!readFileBytes(path, kFileLimit, text)) return {};
  return parsePlayersText(text);
}

}  // namespace mh
