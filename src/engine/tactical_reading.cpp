// Tactical reading: CanCapture, CanEscape and IsUnsettled. The searches are small hand-ordered
// look-aheads, mutually recursive through fresh engines, bounded by the reading budget of the
// search rather than by depth.

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "engine/analysis_engine.h"
#include "shapes/shape_analysis.h"
#include "shapes/shape_table.h"

namespace mh {

namespace {

// The shapes that select a three-liberty rule, tried in this order.
enum class ThreeLibertyRule { SingleStone, TwoStones, LinePair, FiveStones };
struct RuleShape {
  int shape;
  ThreeLibertyRule rule;
};
constexpr RuleShape kRuleShapes[] = {
    {9, ThreeLibertyRule::SingleStone}, {46, ThreeLibertyRule::TwoStones}, {33, ThreeLibertyRule::LinePair},
    {55, ThreeLibertyRule::TwoStones},  {34, ThreeLibertyRule::LinePair},  {56, ThreeLibertyRule::LinePair},
    {158, ThreeLibertyRule::FiveStones},
};
// The shape a five-stone rule's capturing stone must complete.
constexpr int kFiveStoneNet = 185;

bool diagonal(const Board& board, Point p, Point q) {
  return relationCode(board.width(), board.height(), p, q) == 1;
}

// The liberties of the string through point on board, or -1 when point holds no stone.
int libertiesOn(const Board& board, Point point) {
  if (!isStoneColour(board.get(point))) return -1;
  Group g;
  if (!board.groupAt(point, g)) return -1;
  PointList libs;
  return board.liberties(g, libs);
}

}  // namespace

bool AnalysisEngine::enterReading() {
  ReadingCounter& c = context_->counter;
  ++c.calls;
  if (++c.sinceReset >= kReadingBudget) return false;
  ++c.readings;
  return true;
}

bool AnalysisEngine::CanCapture(Point point, int& result) {
  result = 0;
  if (!enterReading()) return false;
  int index = -1;
  Point head = kNoPoint;
  if (!StringOf(point, index, head)) return false;
  const auto record = [this, index]() -> StringRecord& { return strings_[static_cast<size_t>(index)]; };
  if (record().captureKnown) {
    result = record().captureResult;
    return true;
  }
  if (EyeValue(point) >= 2) {
    setCapture(record(), 0, kNoPoint);
    return true;
  }
  PointList libs;
  if (!Liberties(point, libs)) return false;
  const int attacker = opponent(board_.get(point));
  switch (libs.size()) {
    case 0:
      setCapture(record(), 1, kNoPoint);
      break;
    case 1: {
      const bool takes = !IsIllegal(attacker, libs[0]);
      setCapture(record(), takes ? 1 : 0, takes ? libs[0] : kNoPoint);
      break;
    }
    case 2:
      twoLibertyAttack(point, libs, record());
      break;
    case 3: {
      Point move = kNoPoint;
      const int answer = threeLibertyRules(point, move);
      if (answer < 0) return false;
      setCapture(record(), answer, move);
      break;
    }
    default:
      return false;
  }
  result = record().captureResult;
  return true;
}

bool AnalysisEngine::quickAttack(Point point, Point first, Point second, Point& move) const {
  const int defender = board_.get(point);
  const int attacker = opponent(defender);
  const Point libs[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    Board copy = board_;
    if (!copy.play(attacker, libs[i]) || !copy.play(defender, libs[1 - i])) continue;
    if (libertiesOn(copy, point) == 1) {
      move = libs[i];
      return true;
    }
  }
  return false;
}

bool AnalysisEngine::netAttack(Point point, Point first, Point second, Point& move) const {
  const int defender = board_.get(point);
  const int attacker = opponent(defender);
  PointList cuts;
  cuttingPoints(board_, first, second, cuts);
  for (Point x : cuts) {
    Board net = board_;
    if (!net.play(attacker, x)) continue;
    // Each way out is tried from the net itself: the defender plays one stone, not two.
    bool holds = true;
    for (Point way : {first, second}) {
      Board trial = net;
      if (trial.play(defender, way) && libertiesOn(trial, point) != 1) {
        holds = false;
        break;
      }
    }
    if (holds) {
      move = x;
      return true;
    }
  }
  return false;
}

void AnalysisEngine::twoLibertyAttack(Point point, const PointList& libs, StringRecord& record) {
  const Point l0 = libs[0];
  const Point l1 = libs[1];
  const int defender = board_.get(point);
  const int attacker = opponent(defender);
  const bool isDiagonal = diagonal(board_, l0, l1);
  const bool isAdjacent = board_.adjacent(l0, l1);
  Point move = kNoPoint;
  if (((isDiagonal || isAdjacent) && quickAttack(point, l0, l1, move)) ||
      (isDiagonal && netAttack(point, l0, l1, move))) {
    setCapture(record, 1, move);
    return;
  }
  // Both ways out give four liberties or more: no attack can work.
  if (board_.libertiesAfter(defender, l0) >= 4 && board_.libertiesAfter(defender, l1) >= 4) {
    setCapture(record, 0, kNoPoint);
    return;
  }
  // record may move while reading creates engines; keep its index.
  const size_t index = static_cast<size_t>(&record - strings_.data());

  const bool bA0 = board_.isSelfAtari(attacker, l0);
  const bool bA1 = board_.isSelfAtari(attacker, l1);
  const bool bD0 = board_.isSelfAtari(defender, l0);
  const bool bD1 = board_.isSelfAtari(defender, l1);
  bool l0First = true;
  if (bA0 != bA1 && bD0 != bD1 && bA0 != bD0) {
    l0First = bA0;
  } else if (!bD0 && !bD1) {
    PointList n0;
    PointList n1;
    board_.neighboursOfValue(l0, Empty, n0);
    board_.neighboursOfValue(l1, Empty, n1);
    l0First = n0.size() != n1.size() ? n0.size() > n1.size() : board_.edgeLine(l0) >= board_.edgeLine(l1);
  } else {
    l0First = !bA0;
  }
  PointList attacks = l0First ? PointList{l0, l1} : PointList{l1, l0};
  if (isDiagonal) {
    PointList cuts;
    cuttingPoints(board_, l0, l1, cuts);
    for (Point c : cuts)
      if (!IsIllegal(attacker, c)) {
        attacks.push_back(c);
        break;
      }
  }
  PointList around;
  for (const auto& [lib, bad] : {std::pair{l0, bA0}, std::pair{l1, bA1}}) {
    if (!bad) continue;
    board_.neighboursOfValue(lib, Empty, around);
    for (Point q : around)
      if (std::find(attacks.begin(), attacks.end(), q) == attacks.end()) attacks.push_back(q);
  }
  FilterLegal(attacks, attacker, attacks);
  if (attacks.size() >= 4) {
    setCapture(strings_[index], 0, kNoPoint);
    return;
  }
  for (Point x : attacks) {
    auto trial = after(attacker, x);
    if (!trial) continue;
    int escapes = 0;
    if (trial->CanEscape(point, escapes) && escapes != 1) {
      setCapture(strings_[index], 1, x);
      return;
    }
  }
  setCapture(strings_[index], 0, kNoPoint);
}

int AnalysisEngine::threeLibertyRules(Point point, Point& move) {
  move = kNoPoint;
  const int defender = board_.get(point);
  const int attacker = opponent(defender);
  LocalPosition cluster;
  if (!clusterAt(board_, point, 4, cluster)) return -1;
  ShapedPosition shape(cluster);
  const RuleShape* rule = nullptr;
  for (const RuleShape& r : kRuleShapes)
    if (shape.test(r.shape, attacker)) {
      rule = &r;
      break;
    }
  if (!rule) return -1;

  const int line = board_.edgeLine(point);
  const int outer = board_.outerLine(point);
  if (line >= 3) return 0;
  PointList empties;
  board_.neighboursOfValue(point, Empty, empties);
  PointList sameLine;
  PointList outward;
  for (Point q : empties) {
    if (board_.edgeLine(q) == line && board_.outerLine(q) >= outer) sameLine.push_back(q);
    if (board_.edgeLine(q) >= line && board_.outerLine(q) >= outer) outward.push_back(q);
  }
  // A rule whose list is empty has no move to offer: the string is not taken that way.
  const auto firstOf = [&move](const PointList& list) {
    if (list.empty()) return 0;
    move = list.front();
    return 1;
  };
  const PointList& attackerStones = cluster.stonesOf(attacker);
  switch (rule->rule) {
    case ThreeLibertyRule::SingleStone: {
      PointList around;
      board_.allNeighbours(point, around);
      const auto d = std::find_if(around.begin(), around.end(), [&](Point q) { return board_.get(q) == attacker; });
      if (d == around.end()) return 0;
      const int dLine = board_.edgeLine(*d);
      if (dLine == 1) return 0;
      if (dLine == 2) return board_.outerLine(*d) < outer || outer > 4 ? 0 : firstOf(outward);
      return outer > 4 ? 0 : firstOf(sameLine);
    }
    case ThreeLibertyRule::TwoStones: {
      const int c = board_.edgeLine(attackerStones[0]);
      const int d = board_.edgeLine(attackerStones[1]);
      return c == 2 || d == 2 ? firstOf(outward) : 0;
    }
    case ThreeLibertyRule::LinePair: {
      const int c = board_.edgeLine(attackerStones[0]);
      const int d = board_.edgeLine(attackerStones[1]);
      const bool fits = (c == 1 && d == 3) || (c == 3 && d == 1) || (c == 2 && d == 3) || (c == 3 && d == 2) ||
                        (c == 2 && d == 2);
      return fits ? firstOf(outward) : 0;
    }
    case ThreeLibertyRule::FiveStones: {
      PointList libs;
      Liberties(point, libs);
      const auto low = [&](Point p) { return board_.edgeLine(p) <= 2; };
      const PointList& defenders = cluster.stonesOf(defender);
      if (!std::all_of(defenders.begin(), defenders.end(), low) || !std::all_of(libs.begin(), libs.end(), low))
        return 0;
      for (Point lib : libs)
        if (shape.anyCandidatePassing(kFiveStoneNet, attacker, attacker, PointList{lib})) {
          move = lib;
          return 1;
        }
      return 0;
    }
  }
  return -1;
}

Point AnalysisEngine::firstSavingMove(Point point, int defender, const PointList& candidates) const {
  for (Point x : candidates) {
    auto trial = after(defender, x);
    if (!trial) continue;
    int captured = 0;
    trial->CanCapture(point, captured);
    if (captured != 1) return x;
  }
  return kNoPoint;
}

bool AnalysisEngine::CanEscape(Point point, int& result) {
  result = 0;
  if (!enterReading()) {
    result = 1;  // out of budget: the defender is given the benefit
    return true;
  }
  int index = -1;
  Point head = kNoPoint;
  if (!StringOf(point, index, head)) return false;
  const auto record = [this, index]() -> StringRecord& { return strings_[static_cast<size_t>(index)]; };
  if (record().escapeKnown) {
    result = record().escapeResult;
    return true;
  }
  {
    auto same = child();
    same->CopyPosition(*this);
    int captured = 0;
    same->CanCapture(point, captured);
    if (captured == 0) {
      setEscape(record(), 1, kNoPoint);
      result = 1;
      return true;
    }
  }
  if (EyeValue(point) >= 2) {
    setEscape(record(), 1, kNoPoint);
    result = 1;
    return true;
  }
  PointList libs;
  if (!Liberties(point, libs)) return false;
  const int defender = board_.get(point);
  PointList candidates;
  PointList neighbours;
  PointList theirs;
  switch (libs.size()) {
    case 0:
      setEscape(record(), 0, kNoPoint);
      result = 0;
      return true;
    case 1:
      NeighbourStrings(point, neighbours);
      for (Point n : neighbours)
        if (Liberties(n, theirs) && theirs.size() == 1 && !IsIllegal(defender, theirs[0])) candidates.push_back(theirs[0]);
      if (!IsIllegal(defender, libs[0])) candidates.push_back(libs[0]);
      break;
    case 2:
      NeighbourStrings(point, neighbours);
      for (Point n : neighbours) {
        if (!Liberties(n, theirs) || theirs.size() > 2) continue;
        int captured = 0;
        CanCapture(n, captured);
        if (captured != 1) continue;
        for (Point m : captureMoves(n))
          if (std::find(candidates.begin(), candidates.end(), m) == candidates.end()) candidates.push_back(m);
      }
      candidates.push_back(libs[0]);
      candidates.push_back(libs[1]);
      FilterLegal(candidates, defender, candidates);
      break;
    default:
      result = 1;
      return true;
  }
  const Point saving = firstSavingMove(point, defender, candidates);
  setEscape(record(), saving >= 0 ? 1 : 0, saving);
  result = record().escapeResult;
  return true;
}

bool AnalysisEngine::IsUnsettled(Point point) {
  if (!isStoneColour(board_.get(point))) return false;
  using Clock = std::chrono::steady_clock;
  const auto timed = [&](const char* name, auto search) {
    context_->counter.sinceReset = 0;
    const auto start = Clock::now();
    int result = 0;
    const bool answered = (this->*search)(point, result);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    if (ms >= kSlowReadingMs && context_->log)
      context_->log(slowReadingEntry(name, point, result, static_cast<int>(ms), board_));
    return answered && result == 1;
  };
  if (!timed("CanCapture", &AnalysisEngine::CanCapture)) return false;
  return timed("CanEscape", &AnalysisEngine::CanEscape);
}

std::string AnalysisEngine::slowReadingEntry(const char* query, Point point, int result, int ms, const Board& board) {
  char line[96];
  std::snprintf(line, sizeof line, "%s( %d, %d ), use tm:%d", query, point, result, ms);
  std::string entry = line;
  entry += "\n";
  for (int y = board.height() - 1; y >= 0; --y) {
    for (int x = 0; x < board.width(); ++x) {
      const int v = board.get(board.point(x, y));
      entry += v == Empty ? '.' : v == Black ? 'O' : v == White ? 'X' : '?';
    }
    if (y > 0) entry += '\n';  // the log ends the last row
  }
  return entry;
}

}  // namespace mh
