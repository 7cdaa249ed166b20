// Move generation and evaluation: a cascade of move sources (a library move, shape moves, then
// urgent, opening and edge-shape moves together) and the reading-based score of a move.

#include <algorithm>
#include <array>
#include <string_view>

#include "engine/analysis_engine.h"
#include "model/board_snapshot.h"
#include "patterns/assist_libraries.h"
#include "patterns/pattern_library.h"
#include "shapes/shape_analysis.h"

namespace mh {

namespace {

void appendUnique(PointList& list, Point p) {
  if (std::find(list.begin(), list.end(), p) == list.end()) list.push_back(p);
}

void appendAllUnique(PointList& list, const PointList& more) {
  for (Point p : more) appendUnique(list, p);
}

// ---- Opening geometry (19 x 19 only) ----

struct Region {
  int x0, x1, y0, y1;
  std::array<Coord, 4> points;
  int count;
};

// Corners in the order lower-left, lower-right, upper-left, upper-right; then the sides lower,
// left, upper, right. Neighbouring regions share their border line.
constexpr Region kCorners[] = {
    {0, 6, 12, 18, {{{3, 15}, {3, 16}, {2, 15}, {2, 16}}}, 4},
    {12, 18, 12, 18, {{{15, 15}, {15, 16}, {16, 15}, {16, 16}}}, 4},
    {0, 6, 0, 6, {{{3, 3}, {3, 2}, {2, 3}, {2, 2}}}, 4},
    {12, 18, 0, 6, {{{15, 3}, {15, 2}, {16, 3}, {16, 2}}}, 4},
};
constexpr Region kSides[] = {
    {6, 12, 12, 18, {{{9, 15}, {9, 16}}}, 2},
    {0, 6, 6, 12, {{{3, 9}, {2, 9}}}, 2},
    {6, 12, 0, 6, {{{9, 3}, {9, 2}}}, 2},
    {12, 18, 6, 12, {{{15, 9}, {16, 9}}}, 2},
};

bool regionEmpty(const Board& board, const Region& r) {
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x)
      if (board.get(board.point(x, y)) != Empty) return false;
  return true;
}

// The five points from the edge inwards at each position of a side, read for a colour.
constexpr std::string_view kLineCodes[] = {
    ".....", "O....", ".O...", "..O..", "...O.", "....O", "X....", ".X...", "..X..", "...X.",
    "....X", "OO...", ".OO..", "..OO.", "..O.O", ".O.O.", "XX...", ".XX..", "..XX.", "..X.X",
    ".X.X.", "OX...", ".OX..", "..OX.", "...OX", "..O.X", "XO...", ".XO..", "..XO.", "...XO",
    "..X.O", "..OOX", "..XXO", ".OOO.", ".XXX.", ".OOX.", ".XXO.", "..OOO", "..XXX",
};

int extensionDistance(int code) {
  switch (code) {
    case 3: return 3;
    case 12: case 13: case 15: case 33: return 4;
    case 14: case 37: return 5;
    default: return 0;
  }
}

enum class Side { Lower, Upper, Left, Right };
constexpr Side kLineSides[] = {Side::Lower, Side::Upper, Side::Left, Side::Right};

int sideLength(const Board& board, Side side) {
  return side == Side::Lower || side == Side::Upper ? board.width() : board.height();
}

// The point at position p on line k (1 = the edge line) of a side.
Point sidePoint(const Board& board, Side side, int p, int k) {
  switch (side) {
    case Side::Lower: return board.point(p, board.height() - k);
    case Side::Upper: return board.point(p, k - 1);
    case Side::Left: return board.point(k - 1, p);
    case Side::Right: return board.point(board.width() - k, p);
  }
  return kNoPoint;
}

// The line code of every position of a side for colour, -1 where the five points are not in the
// table.
std::vector<int> lineCodes(const Board& board, Side side, int colour) {
  std::vector<int> codes;
  const int length = sideLength(board, side);
  for (int p = 0; p < length; ++p) {
    char text[5];
    for (int k = 1; k <= 5; ++k) {
      const int v = board.get(sidePoint(board, side, p, k));
      text[k - 1] = v == Empty ? '.' : v == colour ? 'O' : 'X';
    }
    const std::string_view t(text, 5);
    const auto it = std::find(std::begin(kLineCodes), std::end(kLineCodes), t);
    codes.push_back(it == std::end(kLineCodes) ? -1 : static_cast<int>(it - std::begin(kLineCodes)));
  }
  return codes;
}

constexpr const char* kEdgeShapeNames[] = {"3lu_fei", "3lu_jian", "2lu_DaFei", "2lu_fei", "2lu_dian",
                                           "2lu_jian", "2lu_ban", "2lu_JianBu", "2lu_li", "2Lu_jia",
                                           "1lu_ban", "1lu_du", "1lu_duan", "1lu_jian"};

// ---- Shape growth ----

// The cluster's stones and the trials of added stones for one shape rule.
class Growth {
 public:
  Growth(const Board& board, ShapedPosition& shape) : board_(board), shape_(shape) {
    shape_.position().allStones(stones_);
  }

  // Only for a cluster of n stones: the candidates (each stone's empty orthogonal neighbours)
  // that pass shape when added as add, tested for test.
  void grow(int n, int shape, int test, int add, PointList& out) { growFrom(n, shape, test, add, false, false, out); }
  // As grow, from each stone's empty diagonal neighbours; nothing unless test and add agree.
  void growDiagonal(int n, int shape, int test, int add, PointList& out) {
    if (test == add) growFrom(n, shape, test, add, true, false, out);
  }
  // As grow, from each stone's empty orthogonal neighbours and then its empty one-point jumps.
  void growJump(int n, int shape, int test, int add, PointList& out) { growFrom(n, shape, test, add, false, true, out); }

 private:
  void growFrom(int n, int shape, int test, int add, bool diagonal, bool jumps, PointList& out) {
    if (static_cast<int>(stones_.size()) != n) return;
    PointList candidates;
    PointList around;
    for (Point s : stones_) {
      if (diagonal) board_.diagonalNeighboursOfValue(s, Empty, around);
      else board_.neighboursOfValue(s, Empty, around);
      appendAllUnique(candidates, around);
      if (!jumps) continue;
      int x = 0, y = 0;
      board_.coordinates(s, x, y);
      for (const auto& [dx, dy] : {std::pair{2, 0}, std::pair{-2, 0}, std::pair{0, -2}, std::pair{0, 2}}) {
        if (x + dx < 0 || x + dx >= board_.width() || y + dy < 0 || y + dy >= board_.height()) continue;
        const Point j = board_.point(x + dx, y + dy);
        if (board_.get(j) == Empty) appendUnique(candidates, j);
      }
    }
    PointList passing;
    shape_.candidatesPassing(shape, test, add, candidates, passing);
    appendAllUnique(out, passing);
  }

  const Board& board_;
  ShapedPosition& shape_;
  PointList stones_;
};

// The pair rule of a one-against-one cluster: the other colour's stone's empty neighbours that
// make shape for c, thinned by their lines when exactly two pass.
void pairRule(const Board& board, ShapedPosition& shape, int c, int result, int lineLimit, PointList& out) {
  const PointList& theirs = shape.position().stonesOf(opponent(c));
  if (theirs.empty()) return;
  PointList candidates;
  board.neighboursOfValue(theirs.front(), Empty, candidates);
  PointList passing;
  shape.candidatesPassing(result, c, c, candidates, passing);
  if (passing.size() != 2) {
    appendAllUnique(out, passing);
    return;
  }
  const int l0 = board.edgeLine(passing[0]);
  const int l1 = board.edgeLine(passing[1]);
  const auto inner = [lineLimit](int l) { return l >= 2 && l <= lineLimit; };
  if ((l0 == 1) != (l1 == 1)) {
    appendUnique(out, l0 == 1 ? passing[1] : passing[0]);
  } else if (l0 == 1 && l1 == 1) {
    appendAllUnique(out, passing);
  } else if (inner(l0) && l1 > lineLimit) {
    appendUnique(out, passing[0]);
  } else if (inner(l1) && l0 > lineLimit) {
    appendUnique(out, passing[1]);
  } else {
    appendAllUnique(out, passing);
  }
}

// The moves a cluster's shape suggests to c. forC: the shape was found for c; else for the other
// colour t.
void shapeRule(const Board& board, ShapedPosition& shape, int id, bool forC, int c, PointList& out) {
  const int t = forC ? c : opponent(c);
  Growth g(board, shape);
  switch (id) {
    case 9:
      pairRule(board, shape, c, 30, 4, out);
      break;
    case 11:
      pairRule(board, shape, c, 35, 3, out);
      break;
    case 31:
      if (forC) g.grow(3, 108, c, c, out);
      else g.grow(3, 110, t, c, out);
      break;
    case 100: {
      PointList around;
      for (int colour : {c, opponent(c)})
        for (Point s : shape.position().stonesOf(colour)) {
          board.neighboursOfValue(s, Empty, around);
          appendAllUnique(out, around);
        }
      break;
    }
    case 104:
      if (forC) {
        // Three of c's stones hold one of the other colour's from three sides: take it.
        PointList around;
        for (Point s : shape.position().stonesOf(opponent(c))) {
          board.neighboursOfValue(s, Empty, around);
          appendAllUnique(out, around);
        }
      } else {
        g.grow(4, 160, t, c, out);
      }
      break;
    case 110:
      g.grow(4, 160, t, t, out);
      break;
    case 111:
      if (forC) g.grow(4, 158, c, c, out);
      else g.grow(4, 152, c, c, out);
      break;
    case 116:
      g.grow(4, 158, t, c, out);
      break;
    case 122:
      g.grow(4, 155, t, c, out);
      g.grow(4, 159, t, c, out);
      break;
    case 152:
      if (forC) {
        g.grow(5, 183, c, c, out);
        g.grow(5, 187, c, c, out);
      } else {
        g.grow(5, 182, t, c, out);
        g.grow(5, 189, c, c, out);
      }
      break;
    case 153:
      g.grow(5, 185, t, t, out);
      break;
    case 154:
      g.growJump(5, 186, t, t, out);
      break;
    case 157:
      g.grow(5, 188, t, t, out);
      break;
    case 158:
      if (forC) {
        g.grow(5, 185, c, c, out);
      } else {
        g.grow(5, 182, t, c, out);
        g.grow(5, 190, t, c, out);
      }
      break;
    default:  // 155, the lone stone and every id without a rule: no moves
      break;
  }
}

}  // namespace

int AnalysisEngine::GenerateMoves(PointList& out) {
  out.clear();
  if (choiceState_ != 0) return 0;
  const int c = sideToMove_;
  const Point library = libraryMove(c);
  if (library >= 0) {
    out.push_back(library);
    return 1;
  }
  shapeMoves(c, out);
  if (!out.empty()) return static_cast<int>(out.size());

  PointList part;
  urgentMoves(c, part);
  appendAllUnique(out, part);
  openingMoves(c, part);
  FilterLegal(part, c, part);
  appendAllUnique(out, part);
  edgeShapeMoves(c, part);
  FilterLegal(part, c, part);
  appendAllUnique(out, part);
  return static_cast<int>(out.size());
}

Point AnalysisEngine::libraryMove(int colour) {
  const PatternLibrary* global = context_->libraries.global;
  if (!global) return kNoPoint;
  PatternEntry entry;
  if (!global->findWithSymmetries(board_.snapshot(), colour, entry) || entry.candidates.empty()) return kNoPoint;
  int chosen = pickByPlayed(entry.candidates, static_cast<std::uint32_t>(draw()));
  if (chosen < 0) {
    // No counts to weigh: a draw names a candidate only when it happens to be below their number.
    const int r = draw();
    if (r < static_cast<int>(entry.candidates.size())) chosen = r;
  }
  if (chosen < 0) return kNoPoint;
  const Point p = entry.candidates[static_cast<size_t>(chosen)].point;
  return IsIllegal(colour, p) ? kNoPoint : p;
}

void AnalysisEngine::shapeMoves(int colour, PointList& out) {
  out.clear();
  const LocalPositionList areas = candidateAreas();
  for (const LocalPosition& area : areas) {
    ShapedPosition shape(area);
    bool forC = true;
    int id = shape.classify(colour);
    if (id == -1) {
      id = shape.classify(opponent(colour));
      forC = false;
    }
    if (id < 0 || id == ShapedPosition::kSingleStone) continue;
    shapeRule(board_, shape, id, forC, colour, out);
  }
  FilterLegal(out, colour, out);
}

void AnalysisEngine::urgentMoves(int colour, PointList& out) {
  out.clear();
  PointList heads;
  StringHeads(heads);
  for (Point head : heads) {
    if (!IsUnsettled(head)) continue;
    for (Point m : board_.get(head) == colour ? escapeMoves(head) : captureMoves(head))
      if (!IsIllegal(colour, m)) appendUnique(out, m);
  }
}

void AnalysisEngine::openingMoves(int colour, PointList& out) {
  out.clear();
  if (const PatternLibrary* local = context_->libraries.local) {
    PatternEntry entry;
    Board area;
    for (const LocalPosition& cluster : candidateAreas()) {
      if (!boardOf(cluster, area) || !local->findWithSymmetries(area.snapshot(), colour, entry)) continue;
      for (const PatternCandidate& candidate : entry.candidates)
        if (candidate.point >= 0) appendUnique(out, candidate.point);
    }
    if (!out.empty()) return;
  }
  if (board_.width() != 19 || board_.height() != 19) return;

  for (const Region& corner : kCorners)
    if (regionEmpty(board_, corner))
      for (int i = 0; i < corner.count; ++i) out.push_back(board_.point(corner.points[i].x, corner.points[i].y));
  if (!out.empty()) return;
  for (const Region& side : kSides)
    if (regionEmpty(board_, side))
      for (int i = 0; i < side.count; ++i) out.push_back(board_.point(side.points[i].x, side.points[i].y));
  if (!out.empty()) return;

  // Open sides: the middle of the longest empty stretch of nine positions or more.
  for (Side side : kLineSides) {
    const std::vector<int> codes = lineCodes(board_, side, Black);
    const int length = sideLength(board_, side);
    int bestFirst = -1;
    int bestLength = 0;
    for (int p = 5; p <= length - 6;) {
      if (codes[static_cast<size_t>(p)] != 0) {
        ++p;
        continue;
      }
      int q = p;
      while (q + 1 <= length - 6 && codes[static_cast<size_t>(q + 1)] == 0) ++q;
      if (q - p + 1 > bestLength) {
        bestLength = q - p + 1;
        bestFirst = p;
      }
      p = q + 1;
    }
    if (bestLength >= 9) appendUnique(out, sidePoint(board_, side, (bestFirst + bestFirst + bestLength - 1) / 2, 3));
  }
  if (!out.empty()) return;

  // Extensions from own stones along the third line.
  for (Side side : kLineSides) {
    const std::vector<int> codes = lineCodes(board_, side, colour);
    const int length = sideLength(board_, side);
    const auto code = [&](int p) { return p >= 0 && p < length ? codes[static_cast<size_t>(p)] : -1; };
    for (int i = 2; i <= length - 3; ++i) {
      const int d = extensionDistance(code(i));
      if (d == 0) continue;
      int n = 0;
      while (code(i - n - 1) == 0) ++n;
      int step = n < d + 1 ? n - 1 : d;
      step = std::min(step, i - 2);
      if (step > 2) appendUnique(out, sidePoint(board_, side, i - step, 3));
      int m = 0;
      while (code(i + m + 1) == 0) ++m;
      step = m < d + 1 ? m - 1 : d;
      step = std::min(step, length - 3 - i);
      if (step > 2) appendUnique(out, sidePoint(board_, side, i + step, 3));
    }
  }
}

void AnalysisEngine::edgeShapeMoves(int colour, PointList& out) {
  out.clear();
  const MatrixLibraries* libraries = context_->libraries.matrix;
  if (!libraries || libraries->edge.size() == 0) return;
  const MatrixMatcher& matcher = matches(colour);
  std::vector<MatchRecord> records;
  PointList hints;
  for (const char* name : kEdgeShapeNames) {
    matcher.MatchesByName(1, name, records);
    for (const MatchRecord& record : records)
      if (const MatrixPattern* pattern = libraries->edge.at(record.patternIndex)) {
        pattern->hintPoints(record, board_, hints);
        appendAllUnique(out, hints);
      }
    if (!out.empty()) return;
  }
}

ScorePair AnalysisEngine::EvaluateColour(int colour, const PointList& heads) {
  ScorePair pair;
  const int other = opponent(colour);
  for (Point p : heads) {
    if (board_.get(p) != other) continue;
    const float size = static_cast<float>(StringSize(p));
    int result = 0;
    if (CanEscape(p, result) && result == 0) pair.kill += 2 * size;
    if (CanCapture(p, result) && result == 1) pair.threat = 2 * size;
  }
  return pair;
}

void AnalysisEngine::EvaluateSides(ScoreBase& score) {
  auto* s = dynamic_cast<MoveScore*>(&score);
  if (!s) return;
  PointList heads;
  StringHeads(heads);
  s->own = EvaluateColour(colour_, heads);
  s->other = EvaluateColour(opponent(colour_), heads);
}

void AnalysisEngine::EvaluateMove(int colour, Point point, ScoreBase& score) {
  auto* s = dynamic_cast<MoveScore*>(&score);
  if (!s) return;
  PointList heads;
  StringHeads(heads);
  const ScorePair beforeOwn = EvaluateColour(colour, heads);
  const ScorePair beforeOther = EvaluateColour(opponent(colour), heads);
  Board copy = board_;
  (void)copy.play(colour, point);
  auto next = child();
  next->SetBoard(copy);
  heads.push_back(point);
  const ScorePair afterOwn = next->EvaluateColour(colour, heads);
  const ScorePair afterOther = next->EvaluateColour(opponent(colour), heads);
  s->own.kill = (afterOwn.kill - beforeOwn.kill) - (afterOther.kill - beforeOther.kill);
  s->own.threat = (afterOwn.threat - beforeOwn.threat) - (afterOther.threat - beforeOther.threat);
}

}  // namespace mh
