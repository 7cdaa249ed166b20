#include "engine/engine_player.h"

namespace mh {

int MoveScore::Compare(const ScoreBase& score) const {
  const auto* o = dynamic_cast<const MoveScore*>(&score);
  if (!o) return 0;
  const float a = value();
  const float b = o->value();
  return a > b ? 1 : a < b ? -1 : 0;
}

void MoveScore::CopyFrom(const ScoreBase& score) {
  if (const auto* o = dynamic_cast<const MoveScore*>(&score)) {
    own = o->own;
    other = o->other;
  }
}

Point EnginePlayer::ChooseMove(int colour) {
  colour_ = colour;
  sideToMove_ = colour;
  choiceState_ = 0;
  GenerateMoves(candidates_);
  const PointList candidates = candidates_;
  if (candidates.empty()) return kNoPoint;
  if (candidates.size() == 1) return candidates.front();

  Point best = kNoPoint;
  std::unique_ptr<ScoreBase> bestScore;
  for (Point candidate : candidates) {
    std::unique_ptr<ScoreBase> score = CreateScore();
    EvaluateMove(colour, candidate, *score);
    if (observer_) observer_(candidate, *score);
    if (!bestScore) {
      best = candidate;
      bestScore = CreateScore();
      bestScore->CopyFrom(*score);
      continue;
    }
    const int order = bestScore->Compare(*score);
    // On a tie a later candidate wins half the time, so the last of several equals is favoured.
    if (order < 0 || (order == 0 && draw() % 2 == 0)) {
      best = candidate;
      bestScore->CopyFrom(*score);
    }
  }
  return best;
}

}  // namespace mh
