#include "engine/analysis_engine.h"

#include <algorithm>

#include "shapes/point_set_class.h"

namespace mh {

AnalysisEngine::AnalysisEngine(EngineLibraries libraries, EngineLog log) : context_(std::make_shared<Context>()) {
  context_->libraries = libraries;
  context_->log = std::move(log);
  SetBoard(Board());
}

AnalysisEngine::AnalysisEngine(std::shared_ptr<Context> context) : context_(std::move(context)) {}

AnalysisEngine::~AnalysisEngine() = default;

std::unique_ptr<AnalysisEngine> AnalysisEngine::child() const {
  return std::unique_ptr<AnalysisEngine>(new AnalysisEngine(context_));
}

std::unique_ptr<AnalysisEngine> AnalysisEngine::after(int colour, Point point) const {
  auto engine = child();
  engine->SetBoard(board_);
  if (!engine->Input(colour, point)) return nullptr;
  return engine;
}

void AnalysisEngine::dropCaches() {
  stringsBuilt_ = false;
  strings_.clear();
  stringIndex_.assign(board_.cells().size(), -1);
  candidatesBuilt_ = false;
  candidates_.clear();
  matchesBuilt_ = false;
  matchers_ = {};
}

bool AnalysisEngine::SetBoard(const Board& board) {
  board_ = board;
  dropCaches();
  for (auto& l : legality_) l.assign(board_.cells().size(), 0);
  return true;
}

bool AnalysisEngine::CopyPosition(const AnalysisEngine& other) {
  board_ = other.board_;
  dropCaches();
  legality_ = other.legality_;
  return true;
}

bool AnalysisEngine::Input(int role, Point place) {
  Board copy = board_;
  const bool played = copy.play(role, place);
  if (played) {
    SetBoard(copy);
  } else {
    dropCaches();
  }
  return played;
}

int AnalysisEngine::ColourAt(Point point) const { return board_.get(point); }

bool AnalysisEngine::IsIllegal(int colour, Point point) {
  if (!isStoneColour(colour) || point < 0) return true;
  auto& cache = legality_[static_cast<size_t>(colour - 1)];
  if (point >= static_cast<Point>(cache.size())) return true;
  std::uint8_t& known = cache[static_cast<size_t>(point)];
  if (known == 0) known = board_.isIllegal(colour, point) ? 1 : 2;
  return known == 1;
}

int AnalysisEngine::FilterLegal(const PointList& list, int colour, PointList& out) {
  PointList kept;
  for (Point p : list)
    if (!IsIllegal(colour, p)) kept.push_back(p);
  out = std::move(kept);
  return static_cast<int>(out.size());
}

void AnalysisEngine::buildStrings() {
  if (stringsBuilt_) return;
  stringsBuilt_ = true;
  GroupList groups;
  int index = -1;
  Point head = kNoPoint;
  for (int colour : {Black, White}) {
    board_.groupsOfValue(colour, groups);
    for (const Group& g : groups)
      if (!g.empty()) StringOf(g.points.front(), index, head);
  }
}

AnalysisEngine::StringRecord* AnalysisEngine::recordAt(Point point) {
  int index = -1;
  Point head = kNoPoint;
  if (!StringOf(point, index, head)) return nullptr;
  return &strings_[static_cast<size_t>(index)];
}

bool AnalysisEngine::StringOf(Point point, int& index, Point& head) {
  index = -1;
  head = kNoPoint;
  if (!isStoneColour(board_.get(point))) return false;
  buildStrings();
  int& slot = stringIndex_[static_cast<size_t>(point)];
  if (slot < 0) {
    Group group;
    if (!board_.groupAt(point, group) || group.empty()) return false;
    slot = static_cast<int>(strings_.size());
    for (Point p : group.points) stringIndex_[static_cast<size_t>(p)] = slot;
    StringRecord record;
    record.stones = std::move(group.points);
    strings_.push_back(std::move(record));
  }
  index = slot;
  head = strings_[static_cast<size_t>(slot)].stones.front();
  return true;
}

int AnalysisEngine::StringSize(Point point) {
  const StringRecord* r = recordAt(point);
  return r ? static_cast<int>(r->stones.size()) : 0;
}

bool AnalysisEngine::StringStones(Point point, PointList& out) {
  const StringRecord* r = recordAt(point);
  if (!r) return false;
  out.insert(out.end(), r->stones.begin(), r->stones.end());
  return true;
}

void AnalysisEngine::StringHeads(PointList& out) {
  out.clear();
  buildStrings();
  for (const StringRecord& r : strings_) out.push_back(r.stones.front());
}

bool AnalysisEngine::Liberties(Point point, PointList& out) {
  out.clear();
  const StringRecord* r = recordAt(point);
  if (!r) return false;
  Group g;
  g.colour = board_.get(point);
  g.points = r->stones;
  board_.liberties(g, out);
  return true;
}

void AnalysisEngine::NeighbourStrings(Point point, PointList& out) {
  out.clear();
  const StringRecord* r = recordAt(point);
  if (!r) return;
  const PointList stones = r->stones;
  PointList ring;
  board_.outline(stones, ring);
  std::vector<int> seen;
  int index = -1;
  Point head = kNoPoint;
  for (Point q : ring) {
    if (!StringOf(q, index, head)) continue;
    if (std::find(seen.begin(), seen.end(), index) != seen.end()) continue;
    seen.push_back(index);
    out.push_back(head);
  }
}

bool AnalysisEngine::AtariPoint(Point point, int& flag, Point& liberty) {
  flag = 0;
  liberty = kNoPoint;
  PointList libs;
  if (!Liberties(point, libs)) return false;
  if (libs.size() == 1) {
    flag = 1;
    liberty = libs.front();
  }
  return true;
}

float AnalysisEngine::EyeValue(Point point) {
  PointList stones;
  if (!StringStones(point, stones)) return -1;
  std::vector<PointList> regions;
  if (board_.enclosedRegions(stones, regions) == 0) return -1;
  float sum = 0;
  PointList ring;
  for (PointList region : regions) {
    // Only a region bordered by this one string counts.
    board_.outline(region, ring);
    std::vector<int> bordering;
    int index = -1;
    Point head = kNoPoint;
    for (Point q : ring)
      if (StringOf(q, index, head) && std::find(bordering.begin(), bordering.end(), index) == bordering.end())
        bordering.push_back(index);
    if (bordering.size() != 1) continue;
    const int code = classifyPoints(board_, region);
    if (code < 0) continue;
    std::sort(region.begin(), region.end());
    const auto isEmpty = [&](Point p) { return board_.get(p) == Empty; };
    float v = 0;
    switch (code) {
      case 1:
      case 2:
      case 8:
        v = 1;
        break;
      case 3:
      case 4:
      case 12: {
        std::int64_t total = 0;
        for (Point p : region) total += p;
        const Point middle = static_cast<Point>(total / static_cast<std::int64_t>(region.size()));
        v = isEmpty(middle) ? 1.5f : 1;
        break;
      }
      case 7:
      case 13:
      case 16: {
        v = 1;
        for (size_t j = 1; j + 1 < region.size(); ++j)
          if (isEmpty(region[j]) && board_.adjacent(region[j], region[j - 1]) && board_.adjacent(region[j], region[j + 1]))
            v = 1.5f;
        break;
      }
      case 14:
        v = 2;
        break;
      case 15: {
        const int empty = (isEmpty(region[2]) ? 1 : 0) + (isEmpty(region[3]) ? 1 : 0);
        v = empty == 0 ? 1 : empty == 1 ? 1.5f : 2;
        break;
      }
      case 5:
      case 6:
      case 9:
      case 10:
      case 11: {
        int empty = 0;
        for (size_t j = 1; j < region.size(); ++j) empty += isEmpty(region[j]) ? 1 : 0;
        v = empty == 0 ? 1 : empty == 1 ? 1.5f : 2;
        break;
      }
      default:  // 0 and every class above 16
        v = 0;
    }
    sum += v;
    if (sum >= 2) return sum;
  }
  return sum;
}

PointList AnalysisEngine::captureMoves(Point point) {
  const StringRecord* r = recordAt(point);
  return r && r->captureKnown && r->captureResult == 1 ? r->captureMoves : PointList{};
}

PointList AnalysisEngine::escapeMoves(Point point) {
  const StringRecord* r = recordAt(point);
  return r && r->escapeKnown && r->escapeResult == 1 ? r->escapeMoves : PointList{};
}

void AnalysisEngine::setCapture(StringRecord& record, int result, Point move) {
  record.captureKnown = true;
  record.captureResult = result;
  if (result == 1 && move >= 0 &&
      std::find(record.captureMoves.begin(), record.captureMoves.end(), move) == record.captureMoves.end())
    record.captureMoves.push_back(move);
}

void AnalysisEngine::setEscape(StringRecord& record, int result, Point move) {
  record.escapeKnown = true;
  record.escapeResult = result;
  if (result == 1 && move >= 0 &&
      std::find(record.escapeMoves.begin(), record.escapeMoves.end(), move) == record.escapeMoves.end())
    record.escapeMoves.push_back(move);
}

std::unique_ptr<EnginePlayer> AnalysisEngine::Successor(int colour, Point point) const {
  auto engine = child();
  Board copy = board_;
  (void)copy.play(colour, point);
  engine->SetBoard(copy);
  return engine;
}

std::unique_ptr<ScoreBase> AnalysisEngine::CreateScore() const { return std::make_unique<MoveScore>(); }

const LocalPositionList& AnalysisEngine::candidateAreas() {
  if (!candidatesBuilt_) {
    candidatesBuilt_ = true;
    clusters(board_, 5, candidates_);
  }
  return candidates_;
}

const MatrixMatcher& AnalysisEngine::matches(int colour) {
  if (!matchesBuilt_) {
    matchesBuilt_ = true;
    static const MatrixLibraries none;
    const MatrixLibraries& libraries = context_->libraries.matrix ? *context_->libraries.matrix : none;
    matchers_[0].run(board_, Black, libraries);
    matchers_[1].run(board_, White, libraries);
  }
  return matchers_[colour == White ? 1 : 0];
}

}  // namespace mh
