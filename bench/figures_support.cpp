#include "figures_support.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>

#include "model/board_transform.h"
#include "model/node_transform.h"
#include "records/sgf_file.h"

namespace mh::figures {

namespace {

// The sample at nearest rank for share q of the sorted samples.
double atRank(const std::vector<double>& sorted, double q) {
  const auto rank = static_cast<size_t>(std::ceil(q * static_cast<double>(sorted.size())));
  return sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1];
}

}  // namespace

LatencySummary summarize(std::vector<double> samples) {
  LatencySummary s;
  if (samples.empty()) return s;
  std::sort(samples.begin(), samples.end());
  s.count = samples.size();
  s.median = atRank(samples, 0.5);
  s.p99 = atRank(samples, 0.99);
  s.max = samples.back();
  return s;
}

std::optional<long long> residentKiBIn(std::string_view statusText) {
  constexpr std::string_view kKey = "VmRSS:";
  size_t at = 0;
  while (at < statusText.size()) {
    size_t end = statusText.find('\n', at);
    if (end == std::string_view::npos) end = statusText.size();
    const std::string_view line = statusText.substr(at, end - at);
    at = end + 1;
    if (!line.starts_with(kKey)) continue;
    size_t i = kKey.size();
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size() || !std::isdigit(static_cast<unsigned char>(line[i]))) return std::nullopt;
    long long value = 0;
    for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) {
      if (value > (1LL << 50)) return std::nullopt;
      value = value * 10 + (line[i] - '0');
    }
    return value;
  }
  return std::nullopt;
}

std::optional<long long> residentKiB() {
  std::ifstream in("/proc/self/status");
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return residentKiBIn(text.str());
}

size_t takePositions(const GameRecord& record, int every, int offset, int lastMove, size_t limit,
                     std::vector<QueryPosition>& out) {
  if (every <= 0 || !record.initialPosition().usable()) return 0;
  Board board = record.initialPosition();
  const size_t before = out.size();
  const int count = std::min(record.entryCount(), lastMove);
  for (int i = 0; i < count && out.size() < limit; ++i) {
    const MoveEntry& e = record.entries()[static_cast<size_t>(i)];
    if (e.hasSetup()) {
      board.setPoints(e.blackSetup, Black);
      board.setPoints(e.whiteSetup, White);
    }
    if (!e.hasMove()) continue;
    if ((i + offset) % every == 0) out.push_back({board, e.colour});
    if (e.point >= 0) (void)board.play(e.colour, e.point);
  }
  return out.size() - before;
}

void turnTree(SgfNode& root, int kind) {
  int width = 19;
  int height = 19;
  if (!root.size(width, height)) width = height = 19;
  const BoardTransform transform(kind, width, height);
  for (SgfNode* node : root.flatten()) transformNode(*node, transform);
  root.setValue("CA", "GBK");
}

int writeTurnedCopies(const std::string& path, const std::string& outStem) {
  const auto tree = SgfFile::read(path, false);
  if (!tree) return 0;
  int written = 0;
  for (int copy = 0; copy < 8; ++copy) {
    SgfNode turned = *tree;
    turnTree(turned, copy - 1);  // copy 0 keeps the points (kind -1), copies 1..7 take kinds 0..6
    if (!SgfFile::write(outStem + ".s" + std::to_string(copy) + ".sgf", turned)) break;
    ++written;
  }
  return written;
}

}  // namespace mh::figures
