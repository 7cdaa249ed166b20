#include "platform/ini_document.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "platform/ascii_text.h"
#include "platform/file_bytes.h"

namespace mh {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
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

bool isSection(std::string_view line, std::string_view section) {
  std::string_view name;
  return sectionName(line, name) && ascii::equalsIgnoringCase(name, section);
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

}  // namespace

IniDocument::IniDocument(std::string_view text) {
  crlf_ = text.find("\r\n") != std::string_view::npos;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(pos, end - pos));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
    pos = end + 1;
  }
}

bool IniDocument::load(const std::string& path) {
  *this = IniDocument();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) return true;
  std::string text;
  if (!readFileBytes(path, kMaxBytes, text)) return false;
  *this = IniDocument(text);
  return true;
}

std::string IniDocument::text() const {
  std::string out;
  for (const std::string& line : lines_) out += line + (crlf_ ? "\r\n" : "\n");
  return out;
}

bool IniDocument::save(const std::string& path) const {
  // A temporary name of this process's own, so that two programs saving at once never write
  // into one temporary file.
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  if (!writeFileBytes(temp, text()) || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

std::vector<size_t> IniDocument::sectionLines(std::string_view section) const {
  std::vector<size_t> found;
  for (size_t i = 0; i < lines_.size(); ++i)
    if (isSection(lines_[i], section)) found.push_back(i);
  return found;
}

size_t IniDocument::sectionEnd(size_t header) const {
  std::string_view name;
  size_t i = header + 1;
  while (i < lines_.size() && !sectionName(lines_[i], name)) ++i;
  return i;
}

void IniDocument::eraseSection(size_t header) {
  lines_.erase(lines_.begin() + static_cast<long>(header), lines_.begin() + static_cast<long>(sectionEnd(header)));
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
  const std::vector<size_t> headers = sectionLines(section);
  if (headers.empty()) return std::nullopt;
  const size_t end = sectionEnd(headers.front());
  for (size_t i = headers.front() + 1; i < end; ++i) {
    std::string_view k, v;
    if (keyValue(lines_[i], k, v) && ascii::equalsIgnoringCase(k, key)) return std::string(v);
  }
  return std::nullopt;
}

int IniDocument::intValue(std::string_view section, std::string_view key, int def) const {
  const std::optional<std::string> text = value(section, key);
  if (!text) return def;
  size_t i = 0;
  bool negative = false;
  if (i < text->size() && ((*text)[i] == '-' || (*text)[i] == '+')) negative = (*text)[i++] == '-';
  long long n = 0;
  for (; i < text->size() && (*text)[i] >= '0' && (*text)[i] <= '9'; ++i) {
    n = n * 10 + ((*text)[i] - '0');
    if (n > 2147483648LL) n = 2147483648LL;
  }
  if (negative) n = -n;
  if (n > 2147483647LL) n = 2147483647LL;
  return static_cast<int>(n);
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
  const std::string entry = std::string(key) + "=" + std::string(value);
  const std::vector<size_t> headers = sectionLines(section);
  if (headers.empty()) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(entry);
    return;
  }
  const size_t end = sectionEnd(headers.front());
  size_t lastFilled = headers.front() + 1;
  for (size_t i = headers.front() + 1; i < end; ++i) {
    std::string_view k, v;
    if (keyValue(lines_[i], k, v) && ascii::equalsIgnoringCase(k, key)) {
      lines_[i] = entry;
      return;
    }
    if (!trimmed(lines_[i]).empty()) lastFilled = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<long>(lastFilled), entry);
}

bool IniDocument::hasSection(std::string_view section) const { return !sectionLines(section).empty(); }

void IniDocument::removeSections(std::string_view section) {
  const std::vector<size_t> headers = sectionLines(section);
  for (auto it = headers.rbegin(); it != headers.rend(); ++it) eraseSection(*it);
}

void IniDocument::removeShadowedSections(std::string_view section) {
  const std::vector<size_t> headers = sectionLines(section);
  for (size_t k = headers.size(); k > 1; --k) eraseSection(headers[k - 1]);
}

bool IniDocument::renameSection(std::string_view from, std::string_view to) {
  const std::vector<size_t> headers = sectionLines(from);
  if (headers.empty()) return false;
  lines_[headers.front()] = "[" + std::string(to) + "]";
  return true;
}

}  // namespace mh
