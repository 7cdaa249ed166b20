#include "platform/ini_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include <unistd.h>

#include "platform/ascii_text.h"
#include "platform/file_bytes.h"

namespace mh {

namespace {

constexpr size_t kMaxIniBytes = 16u << 20;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The lines of the file without their line ends; false when it cannot be read.
bool readLines(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  std::string text;
  if (!readFileBytes(path, kMaxIniBytes, text)) return false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    pos = end + 1;
  }
  return true;
}

// "[name]" gives the trimmed name; other lines give false.
bool sectionName(std::string_view line, std::string_view& name) {
  line = trimmed(line);
  if (line.size() < 2 || line.front() != '[') return false;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  name = trimmed(line.substr(1, close - 1));
  return true;
}

// "key=value" gives the trimmed key and value; comments and other lines give false.
bool keyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::string_view t = trimmed(line);
  if (t.empty() || t.front() == ';') return false;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = trimmed(line.substr(0, eq));
  value = trimmed(line.substr(eq + 1));
  return true;
}

// Where a key sits: the index of its section line and of its own line (-1 when absent).
struct Place {
  long section = -1;
  long key = -1;
  long sectionEnd = -1;  // one past the section's last non-blank line
};

Place locate(const std::vector<std::string>& lines, std::string_view section, std::string_view key) {
  Place place;
  bool inside = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    if (sectionName(lines[i], name)) {
      if (inside) break;  // the first matching section ends here
      if (ascii::equalsIgnoringCase(name, section)) {
        inside = true;
        place.section = static_cast<long>(i);
        place.sectionEnd = static_cast<long>(i) + 1;
      }
      continue;
    }
    if (!inside) continue;
    if (!trimmed(lines[i]).empty()) place.sectionEnd = static_cast<long>(i) + 1;
    std::string_view k, v;
    if (place.key < 0 && keyValue(lines[i], k, v) && ascii::equalsIgnoringCase(k, key)) place.key = static_cast<long>(i);
  }
  return place;
}

}  // namespace

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view def) const {
  std::vector<std::string> lines;
  if (!readLines(path_, lines)) return std::string(def);
  const Place place = locate(lines, section, key);
  if (place.key < 0) return std::string(def);
  std::string_view k, v;
  keyValue(lines[static_cast<size_t>(place.key)], k, v);
  return std::string(v);
}

int IniFile::readInt(std::string_view section, std::string_view key, int def) const {
  static constexpr char kMissing[] = "\x01missing";
  const std::string text = readString(section, key, kMissing);
  if (text == kMissing) return def;
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 2147483648LL) value = 2147483648LL;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) value = 2147483647LL;
  return static_cast<int>(value);
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  std::vector<std::string> lines;
  readLines(path_, lines);  // a missing file starts empty
  const std::string entry = std::string(key) + "=" + std::string(value);
  const Place place = locate(lines, section, key);
  if (place.key >= 0) {
    lines[static_cast<size_t>(place.key)] = entry;
  } else if (place.section >= 0) {
    lines.insert(lines.begin() + place.sectionEnd, entry);
  } else {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entry);
  }
  std::ostringstream text;
  for (const std::string& line : lines) text << line << "\n";

  const std::string temp = path_ + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text.str();
    out.flush();
    if (!out) {
      out.close();
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path_.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

bool IniFile::writeInt(std::string_view section, std::string_view key, int value) {
  return writeString(section, key, std::to_string(value));
}

}  // namespace mh
