#pragma once

#include <vector>

#include "model/board.h"
#include "model/point.h"
#include "shapes/local_position.h"

namespace mh {

// Every instance of every shape of the ShapeTable among the stones of a board, for both sides.
// An instance lists its stones in the order they were matched, the side's own stone first. The
// search is incremental: shapes of n stones are found only by extending recorded instances of
// their parents by one stone.
class ShapeAnalysis {
 public:
  ShapeAnalysis();

  // Forgets the previous run and analyses the stones of board (normally a board holding only the
  // stones of one local position).
  void run(const Board& board);

  // The instances of shape id for the side of colour, flat, n points each; empty for an unknown
  // id or colour.
  const PointList& instances(int colour, int id) const;
  int instanceCount(int colour, int id) const;

  const Board& board() const { return board_; }
  const PointList& blackStones() const { return black_; }
  const PointList& whiteStones() const { return white_; }

 private:
  PointList& set(int side, int id) { return sets_[static_cast<size_t>(side * 400 + id)]; }
  void record(int side, int id, const PointList& instance);
  void findPairs(int side);
  void extend(int side, int stones, bool ownAdded);
  // Whether an instance of id passes the shape's extra condition (only shapes 123 and 183 have one).
  bool passesCondition(int side, int id, const PointList& instance) const;

  Board board_;
  PointList black_;
  PointList white_;
  std::vector<PointList> sets_;  // 400 per side, black first
  std::vector<int> recorded_;    // the indices into sets_ that hold something
};

// A local position together with its cached shape analysis: the shape tests, the classification
// and the trial of candidate points. The analysis is redone only when the stones change.
class ShapedPosition {
 public:
  // Shape ids answered by classify besides those of the table.
  static constexpr int kSingleStone = 10000;

  ShapedPosition() = default;
  explicit ShapedPosition(LocalPosition position) : position_(std::move(position)) {}

  const LocalPosition& position() const { return position_; }
  // Replaces the stones (the analysis becomes stale).
  void setPosition(LocalPosition position);

  // True when the position holds exactly the shape's numbers of own stones (colour's) and
  // opponent stones, and colour's side holds exactly one instance of it. False for an id the
  // table does not use.
  bool test(int id, int colour);
  // The first shape id (in increasing order among the ids of the position's stone count) whose
  // test holds for colour; kSingleStone for a lone stone of colour; -1 when none holds, for no
  // stones, a lone stone of the other colour, or more than 12 stones.
  int classify(int colour);
  // The candidates (in order) that make test(id, testColour) hold when added as a stone of
  // addColour, one at a time; a candidate that already holds a stone never passes. out is
  // replaced; returns the count.
  int candidatesPassing(int id, int testColour, int addColour, const PointList& candidates, PointList& out);
  // True at the first candidate that passes.
  bool anyCandidatePassing(int id, int testColour, int addColour, const PointList& candidates);

  const ShapeAnalysis& analysis();

 private:
  void analyse();
  bool trial(int id, int testColour, int addColour, Point candidate);

  LocalPosition position_;
  ShapeAnalysis analysis_;
  bool analysed_ = false;
};

}  // namespace mh
