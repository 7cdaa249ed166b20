#include "engine/matrix_library.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>


namespace mh {

std::string MatrixLibrary::shapeKey(const MatrixPattern& p) {
  std::string key = std::to_string(p.width) + "x" + std::to_string(p.height) + ":";
  key.append(p.cells.begin(), p.cells.end());
  return key;
}

void MatrixLibrary::clear() {
  patterns_.clear();
  shapes_.clear();
  for (auto& list : bySize_) list.clear();
}

bool MatrixLibrary::add(MatrixPattern pattern) {
  if (!shapes_.insert(shapeKey(pattern)).second) return false;
  patterns_.push_back(std::move(pattern));
  return true;
}

bool MatrixLibrary::AddSymmetric(const MatrixPattern& p) {
  if (!add(p)) return false;
  const MatrixPattern t = p.transpose();
  add(p.mirrorColumns());
  add(p.mirrorRows());
  add(p.mirrorRows().mirrorColumns());
  add(t);
  add(t.mirrorRows());
  add(t.mirrorColumns());
  add(t.mirrorColumns().mirrorRows());
  return true;
}

void MatrixLibrary::rebuildIndex() {
  for (auto& list : bySize_) list.clear();
  for (int i = 0; i < size(); ++i) {
    const MatrixPattern& p = patterns_[static_cast<size_t>(i)];
    if (p.width < kMaxIndexedSide && p.height < kMaxIndexedSide) bySize_[static_cast<size_t>(slot(p.width, p.height))].push_back(i);
  }
}

bool MatrixLibrary::hasSize(int width, int height) const {
  if (width < 0 || height < 0 || width >= kMaxIndexedSide || height >= kMaxIndexedSide) return false;
  return !bySize_[static_cast<size_t>(slot(width, height))].empty();
}

int MatrixLibrary::find(const MatrixPattern& window, int from) const {
  if (!hasSize(window.width, window.height)) return -1;
  for (int i : bySize_[static_cast<size_t>(slot(window.width, window.height))])
    if (i >= from && patterns_[static_cast<size_t>(i)].matches(window)) return i;
  return -1;
}

bool MatrixLibrary::get(int index, MatrixPattern& out) const {
  const MatrixPattern* p = at(index);
  if (!p) return false;
  out = *p;
  return true;
}

namespace {

// Splits at any of " ,*()\t\n"; runs count as one separator.
std::vector<std::string> headerTokens(std::string_view text) {
  std::vector<std::string> tokens;
  std::string current;
  for (char c : text) {
    if (std::strchr(" ,*()\t\n", c) != nullptr && c != '\0') {
      if (!current.empty()) tokens.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) tokens.push_back(std::move(current));
  return tokens;
}

// A header's number: decimal digits with an optional sign, as far as they go.
std::optional<long> leadingNumber(const std::string& token) {
  char* end = nullptr;
  const long v = std::strtol(token.c_str(), &end, 10);
  if (end == token.c_str()) return std::nullopt;
  return v;
}

// Lines of at most 899 bytes; a longer line comes in pieces. A CR before the LF is dropped, so
// files written with either line ending read alike.
class LineReader {
 public:
  explicit LineReader(std::FILE* f) : file_(f) {}
  bool next(std::string& line) {
    char buffer[900];
    if (!std::fgets(buffer, sizeof buffer, file_)) return false;
    line.assign(buffer, std::strlen(buffer));
    if (line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n') line.erase(line.size() - 2, 1);
    return true;
  }

 private:
  std::FILE* file_;
};

// A pattern whose rows could never be completed from lines of at most 899 bytes.
constexpr long kLongestRow = 899;
// More rows than any real pattern has; a larger count is taken as a malformed header.
constexpr long kMostRows = 1 << 20;

}  // namespace

bool MatrixLibrary::LoadText(const std::string& path, bool replace) {
  if (replace) clear();
  else
    for (auto& list : bySize_) list.clear();
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    rebuildIndex();
    return false;
  }
  LineReader reader(file.get());
  std::optional<MatrixPattern> pending;
  bool inside = false;
  int row = 0;
  std::string line;
  while (reader.next(line)) {
    if (!inside) {
      if (line.rfind("//", 0) == 0 || line.rfind("name:", 0) != 0) continue;
      const auto tokens = headerTokens(std::string_view(line).substr(5));
      if (tokens.size() < 3) continue;
      const auto rows = leadingNumber(tokens[1]), columns = leadingNumber(tokens[2]);
      if (!rows || !columns || *rows < 0 || *columns < 0) continue;
      // Patterns without cells, and rows longer than a line can hold, can never be matched or
      // completed; such headers are skipped like malformed ones.
      if (*rows == 0 || *columns == 0 || *columns > kLongestRow || *rows > kMostRows) continue;
      if (!pending) pending.emplace();
      pending->name = tokens[0];
      pending->width = static_cast<int>(*columns);
      pending->height = static_cast<int>(*rows);
      pending->originColumn = pending->originRow = -1;
      pending->cells.clear();
      row = 0;
      inside = true;
      continue;
    }
    if (static_cast<long>(line.size()) < pending->width) {
      inside = false;  // the pending pattern is kept for the next header
      continue;
    }
    pending->cells.insert(pending->cells.end(), line.begin(), line.begin() + pending->width);
    if (++row == pending->height) {
      AddSymmetric(*pending);
      pending.reset();
      inside = false;
    }
  }
  rebuildIndex();
  return true;
}

}  // namespace mh
