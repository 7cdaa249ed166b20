#include "process/headless_match.h"

#include <atomic>
#include <mutex>

#include "model/match_driver.h"
#include "platform/event.h"
#include "process/gtp_vertex.h"

namespace mh {

namespace {

// Ends the game (an answer below -1 other than kAskAgain) once the limit is reached; otherwise
// hands everything to the player it wraps.
class LimitedPlayer : public Player {
 public:
  LimitedPlayer(std::shared_ptr<Player> inner, int maxMoves, std::shared_ptr<std::atomic<bool>> reached)
      : inner_(std::move(inner)), maxMoves_(maxMoves), reached_(std::move(reached)) {}

  void attach(int colour, MatchDriver& driver) override {
    driver_ = &driver;
    inner_->attach(colour, driver);
  }
  void setPosition(const Board& board) override { inner_->setPosition(board); }
  void movePlayed(int colour, Point point) override { inner_->movePlayed(colour, point); }
  Point getMove() override {
    if (maxMoves_ > 0 && driver_ && static_cast<int>(driver_->gameState().mainHistory().size()) - 1 >= maxMoves_) {
      reached_->store(true);
      return -2;
    }
    return inner_->getMove();
  }
  void interrupt() override { inner_->interrupt(); }

 private:
  std::shared_ptr<Player> inner_;
  int maxMoves_;
  std::shared_ptr<std::atomic<bool>> reached_;
  MatchDriver* driver_ = nullptr;
};

// Reports the history items added since the last notification and signals the end.
class Reporter : public MatchObserver {
 public:
  Reporter(const MatchDriver& driver, std::function<void(const PlayedMove&)> onMove)
      : driver_(driver), onMove_(std::move(onMove)) {}

  void positionChanged() override { report(); }
  void gameOver() override {
    report();
    over_.set();
  }
  void waitForEnd() { over_.wait(); }

 private:
  // Runs on the driver's thread (or on the starting thread before the driver's runs), so it may
  // read the game state directly.
  void report() {
    std::lock_guard lock(mutex_);
    // Every move and pass of the game is an entry of the main record.
    const auto& entries = driver_.gameState().mainRecord().entries();
    for (; reported_ < entries.size(); ++reported_) {
      const MoveEntry& entry = entries[reported_];
      if (!entry.hasMove()) continue;
      PlayedMove move;
      move.number = static_cast<int>(reported_) + 1;
      move.colour = entry.colour;
      move.point = entry.point;
      if (onMove_) onMove_(move);
    }
  }

  const MatchDriver& driver_;
  std::function<void(const PlayedMove&)> onMove_;
  std::mutex mutex_;
  size_t reported_ = 0;
  Event over_{Event::Mode::ManualReset};
};

}  // namespace

std::string playedMoveLine(const PlayedMove& move) {
  const std::string vertex = gtpVertex(move.point);
  return std::to_string(move.number) + (move.colour == White ? " w " : " b ") + (vertex.empty() ? "pass" : vertex);
}

HeadlessMatchResult runHeadlessMatch(const GameSettings& settings, std::shared_ptr<Player> black,
                                     std::shared_ptr<Player> white, int maxMoves,
                                     std::function<void(const PlayedMove&)> onMove, LogLine log) {
  auto driver = MatchDriver::create(std::move(log));
  driver->setMovePauses(std::chrono::milliseconds(0), std::chrono::milliseconds(0));
  auto reached = std::make_shared<std::atomic<bool>>(false);
  auto reporter = std::make_shared<Reporter>(*driver, std::move(onMove));
  HeadlessMatchResult result;
  if (!black || !white ||
      !driver->startMatch(settings, reporter, std::make_shared<LimitedPlayer>(std::move(black), maxMoves, reached),
                          std::make_shared<LimitedPlayer>(std::move(white), maxMoves, reached)) ||
      !driver->startThread()) {
    result.record = driver->gameState().mainRecord();
    return result;
  }
  reporter->waitForEnd();
  (void)driver->stop(-1);
  result.limitReached = reached->load();
  result.moves = static_cast<int>(driver->gameState().mainHistory().size()) - 1;
  result.record = driver->gameState().mainRecord();
  return result;
}

}  // namespace mh
