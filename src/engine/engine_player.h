#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>

#include "model/point.h"

namespace mh {

// A comparable evaluation of a move.
class ScoreBase {
 public:
  virtual ~ScoreBase() = default;
  // 1 when this score is better than other, 0 when equal, -1 when worse.
  virtual int Compare(const ScoreBase& other) const = 0;
  virtual void CopyFrom(const ScoreBase& other) = 0;
};

// What reading says one side can kill (captured outright) and threaten (could capture if it
// moved), in stones counted twice.
struct ScorePair {
  float kill = 0;
  float threat = 0;
  float value() const { return kill + 0.5f * threat; }
  friend bool operator==(const ScorePair&, const ScorePair&) = default;
};

// The engine's score: what a move gains for its own side less what it gives the other.
class MoveScore : public ScoreBase {
 public:
  ScorePair own;
  ScorePair other;

  float value() const { return own.value() - other.value(); }
  // Compares values; a score of another kind compares as equal.
  int Compare(const ScoreBase& score) const override;
  void CopyFrom(const ScoreBase& score) override;
};

// A program that chooses moves by generating candidates and scoring each. Its draws (ties, picks
// among library moves) come from its own seedable generator, so a game can be repeated.
class EnginePlayer {
 public:
  virtual ~EnginePlayer() = default;

  // The best candidate for colour by EvaluateMove; on equal scores a later candidate replaces the
  // best one on an even draw. A single candidate is taken without evaluating. -1 (pass) when
  // there is no candidate.
  virtual Point ChooseMove(int colour);
  // Candidate moves for the side of the last ChooseMove; none before a ChooseMove. out is
  // replaced; returns the count.
  virtual int GenerateMoves(PointList& out) = 0;
  // A new engine on this position after colour plays point (owned by the caller).
  virtual std::unique_ptr<EnginePlayer> Successor(int colour, Point point) const = 0;
  virtual void EvaluateMove(int colour, Point point, ScoreBase& score) = 0;
  // Both sides' standing in the current position, the own side being the last ChooseMove's.
  virtual void EvaluateSides(ScoreBase& score) = 0;
  virtual std::unique_ptr<ScoreBase> CreateScore() const = 0;

  void seed(std::uint32_t seed) { random_.seed(seed); }
  // The candidates of the last ChooseMove, in generation order.
  const PointList& lastCandidates() const { return candidates_; }
  // Hears every candidate ChooseMove scores, with its score (none when there is one candidate).
  void setScoreObserver(std::function<void(Point, const ScoreBase&)> observer) { observer_ = std::move(observer); }
  // The colour of the last ChooseMove, -1 before any.
  int colour() const { return colour_; }
  int sideToMove() const { return sideToMove_; }

 protected:
  // A non-negative 31-bit draw.
  int draw() { return static_cast<int>(random_() >> 1); }

  int colour_ = -1;
  int choiceState_ = -1;  // 0 once a ChooseMove has started; move generation needs it
  int sideToMove_ = Empty;
  std::mt19937 random_{1};
  PointList candidates_;
  std::function<void(Point, const ScoreBase&)> observer_;
};

}  // namespace mh
