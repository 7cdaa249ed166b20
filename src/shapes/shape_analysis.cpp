#include "shapes/shape_analysis.h"

#include <algorithm>

#include "shapes/point_set_class.h"
#include "shapes/shape_table.h"

namespace mh {

namespace {

constexpr int kSides = 2;
constexpr int kKiteShape = 123;        // four own stones that must lie as the point-set kite
constexpr int kKiteWithCutShape = 183;  // whose own stones must form shape 123

int sideOf(int colour) { return colour == Black ? 0 : colour == White ? 1 : -1; }

const PointList& noPoints() {
  static const PointList none;
  return none;
}

}  // namespace

ShapeAnalysis::ShapeAnalysis() : sets_(static_cast<size_t>(kSides * ShapeTable::kIds)) {}

void ShapeAnalysis::run(const Board& board) {
  for (int index : recorded_) sets_[static_cast<size_t>(index)].clear();
  recorded_.clear();
  board_ = board;
  board_.pointsOfValue(Black, black_);
  board_.pointsOfValue(White, white_);
  for (int side = 0; side < kSides; ++side) findPairs(side);
  for (int stones = 3; stones <= ShapeTable::kMaxStones; ++stones) {
    for (int side = 0; side < kSides; ++side) {
      extend(side, stones, true);
      extend(side, stones, false);
    }
  }
}

const PointList& ShapeAnalysis::instances(int colour, int id) const {
  const int side = sideOf(colour);
  if (side < 0 || id < 0 || id >= ShapeTable::kIds) return noPoints();
  return sets_[static_cast<size_t>(side * ShapeTable::kIds + id)];
}

int ShapeAnalysis::instanceCount(int colour, int id) const {
  const int n = ShapeTable::get().entry(id).stones;
  return n > 0 ? static_cast<int>(instances(colour, id).size()) / n : 0;
}

void ShapeAnalysis::record(int side, int id, const PointList& instance) {
  PointList& s = set(side, id);
  const size_t n = instance.size();
  // The same stones reached in another order are the same instance: a shape is held once per set
  // of stones, however many ways the matcher can grow it.
  for (size_t at = 0; at + n <= s.size(); at += n)
    if (std::is_permutation(instance.begin(), instance.end(), s.begin() + static_cast<std::ptrdiff_t>(at))) return;
  if (s.empty()) recorded_.push_back(side * ShapeTable::kIds + id);
  s.insert(s.end(), instance.begin(), instance.end());
}

void ShapeAnalysis::findPairs(int side) {
  const PointList& own = side == 0 ? black_ : white_;
  const PointList& other = side == 0 ? white_ : black_;
  const int w = board_.width();
  const int h = board_.height();
  PointList pair(2);
  for (size_t i = 0; i < own.size(); ++i) {
    for (size_t j = i + 1; j < own.size(); ++j) {
      const int id = pairId(relationCode(w, h, own[i], own[j]), true);
      if (id < 0) continue;
      pair = {own[i], own[j]};
      record(side, id, pair);
    }
  }
  for (Point p : own) {
    for (Point q : other) {
      const int id = pairId(relationCode(w, h, p, q), false);
      if (id < 0) continue;
      pair = {p, q};
      record(side, id, pair);
    }
  }
}

void ShapeAnalysis::extend(int side, int stones, bool ownAdded) {
  const ShapeTable& table = ShapeTable::get();
  const int ownColour = side == 0 ? Black : White;
  const PointList& added = (side == 0) == ownAdded ? black_ : white_;
  const int w = board_.width();
  const int h = board_.height();
  const size_t parentSize = static_cast<size_t>(stones - 1);
  std::vector<int> ids;
  PointList instance;
  for (Point s : added) {
    const int addedColour = ownAdded ? ownColour : opponent(ownColour);
    for (int parent : table.parents(stones, ownAdded)) {
      const PointList& parents = set(side, parent);
      for (size_t at = 0; at + parentSize <= parents.size(); at += parentSize) {
        ids.clear();
        bool complete = true;
        for (size_t k = 0; k < parentSize && complete; ++k) {
          const Point q = parents[at + k];
          const bool same = board_.get(q) == addedColour;
          const int id = pairId(relationCode(w, h, q, s), same);
          if (id < 0) complete = false;
          ids.push_back(id);
        }
        if (!complete) continue;
        std::sort(ids.begin(), ids.end());
        for (int child : table.children(parent, ownAdded)) {
          if (table.entry(child).stones != stones || table.entry(child).pairIds != ids) continue;
          instance.assign(parents.begin() + static_cast<std::ptrdiff_t>(at),
                          parents.begin() + static_cast<std::ptrdiff_t>(at + parentSize));
          instance.push_back(s);
          if (passesCondition(side, child, instance)) record(side, child, instance);
          break;  // the first entry that fits is the shape
        }
      }
    }
  }
}

bool ShapeAnalysis::passesCondition(int side, int id, const PointList& instance) const {
  if (id == kKiteShape) return classifyPoints(board_, instance) == PointSetClass::kKite;
  if (id != kKiteWithCutShape) return true;
  const int colour = side == 0 ? Black : White;
  PointList own;
  for (Point p : instance)
    if (board_.get(p) == colour) own.push_back(p);
  LocalPosition local;
  localPositionFrom(board_, own, local);
  ShapedPosition stones(std::move(local));
  return stones.classify(colour) == kKiteShape;
}

void ShapedPosition::setPosition(LocalPosition position) {
  position_ = std::move(position);
  analysed_ = false;
}

const ShapeAnalysis& ShapedPosition::analysis() {
  analyse();
  return analysis_;
}

void ShapedPosition::analyse() {
  if (analysed_) return;
  Board board;
  if (!boardOf(position_, board)) board = Board(0, 0);
  analysis_.run(board);
  analysed_ = true;
}

bool ShapedPosition::test(int id, int colour) {
  const ShapeEntry& e = ShapeTable::get().entry(id);
  if (e.stones == 0 || !isStoneColour(colour)) return false;
  if (static_cast<int>(position_.stonesOf(colour).size()) != e.own ||
      static_cast<int>(position_.stonesOf(opponent(colour)).size()) != e.opponent)
    return false;
  analyse();
  return analysis_.instanceCount(colour, id) == 1;
}

int ShapedPosition::classify(int colour) {
  const int total = position_.stoneCount();
  if (total == 1) return position_.hasSingleStone(colour) ? kSingleStone : -1;
  const int first = ShapeTable::firstIdOf(total);
  if (first < 0) return -1;
  for (int id = first; id <= ShapeTable::lastIdOf(total); ++id)
    if (test(id, colour)) return id;
  return -1;
}

bool ShapedPosition::trial(int id, int testColour, int addColour, Point candidate) {
  if (!isStoneColour(addColour)) return false;
  const auto holds = [candidate](const PointList& l) { return std::find(l.begin(), l.end(), candidate) != l.end(); };
  if (candidate < 0 || candidate >= position_.width * position_.height || holds(position_.blackStones) ||
      holds(position_.whiteStones))
    return false;
  PointList& stones = addColour == Black ? position_.blackStones : position_.whiteStones;
  stones.push_back(candidate);
  analysed_ = false;
  const bool passes = test(id, testColour);
  stones.pop_back();
  analysed_ = false;
  return passes;
}

int ShapedPosition::candidatesPassing(int id, int testColour, int addColour, const PointList& candidates,
                                      PointList& out) {
  out.clear();
  for (Point c : candidates)
    if (trial(id, testColour, addColour, c)) out.push_back(c);
  return static_cast<int>(out.size());
}

bool ShapedPosition::anyCandidatePassing(int id, int testColour, int addColour, const PointList& candidates) {
  return std::any_of(candidates.begin(), candidates.end(),
                     [&](Point c) { return trial(id, testColour, addColour, c); });
}

}  // namespace mh
