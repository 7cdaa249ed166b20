#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>

#include "engine/analysis_engine.h"
#include "model/player.h"

namespace mh {

class MatchDriver;

// A program's moves for a whole game: the analysis engine's choice, completed where the engine
// has nothing to say. The engine proposes moves only from its sources (library, shapes, urgent
// reading, opening, edge shapes) and passes once they are silent, which in the middle game would
// leave the board to the opponent; the chooser then plays the most useful plain move: a capture,
// the rescue of a string in atari, an atari, then a point where the frontier between the colours
// is still open. It passes when none is left, never filling its own eyes or playing a
// self-atari that captures nothing.
//
// Threads: one chooser per game, used on one thread at a time. Reproducible from its seed.
class EngineMoveChooser {
 public:
  EngineMoveChooser(EngineLibraries libraries, EngineLog log, std::uint32_t seed);

  // The move for colour on board, or -1 to pass. allowed says whether the game accepts a legal
  // point (ko); the engine's choice is dropped when it is refused.
  Point choose(const Board& board, int colour, const std::function<bool(Point)>& allowed);

  // The reading calls of the last choose (for benchmarks).
  const ReadingCounter& lastReadings() const { return engine_.readingCounter(); }
  // Whether the last choose took the engine's own choice (true) or completed it (false).
  bool lastFromEngine() const { return lastFromEngine_; }

  // The plain move of the completion alone (exposed for tests): -1 when none is worth playing.
  Point completionMove(const Board& board, int colour, const std::function<bool(Point)>& allowed);

 private:
  AnalysisEngine engine_;
  std::mt19937 random_;
  bool lastFromEngine_ = false;
};

// The engine as a side of a match driven by a MatchDriver: it reads the game state on the
// driver's thread and never waits.
class EngineMatchPlayer : public Player {
 public:
  static constexpr const char* kName = "Moonhaven engine";

  EngineMatchPlayer(EngineLibraries libraries, EngineLog log, std::uint32_t seed)
      : chooser_(libraries, std::move(log), seed) {}

  void attach(int colour, MatchDriver& driver) override;
  void setPosition(const Board&) override {}
  void movePlayed(int, Point) override {}
  Point getMove() override;

 private:
  EngineMoveChooser chooser_;
  int colour_ = Black;
  MatchDriver* driver_ = nullptr;
};

}  // namespace mh
