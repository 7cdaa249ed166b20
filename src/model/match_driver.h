#pragma once

#include <atomic>
#include <chrono>
#include <memory>

#include "model/game_settings.h"
#include "model/game_state.h"
#include "model/match_observer.h"
#include "model/player.h"
#include "platform/log_line.h"
#include "platform/worker_thread.h"

namespace mh {

// Runs one game of a room: a worker thread asks the player of the side to move for a move,
// plays it in the game state, tells both players and notifies the observer.
//
// Lifetime: a driver is always held by a shared pointer (create()). While its thread runs, the
// thread holds the driver too, so the game state, the players and the observer it shares stay
// alive even when a stop gives up waiting and the thread is left running on its own.
//
// Threads: the owner starts and stops the match. The game state belongs to the driver's thread
// while the match runs; the owner may change it only while that thread waits in a person
// player's getMove (PersonPlayer::isWaiting), and then wakes it with kAskAgain. Any thread may
// read gameState().view().
class MatchDriver : public std::enable_shared_from_this<MatchDriver> {
 public:
  // A player's name keeps at most this many bytes in the game information.
  static constexpr size_t kNameLimit = 49;
  // A player whose moves the game state refuses this many times in a row ends the game.
  static constexpr int kRefusedLimit = 3;

  // The driver logs refused moves and a thread that would not stop to log.
  static std::shared_ptr<MatchDriver> create(LogLine log = {});
  ~MatchDriver();
  MatchDriver(const MatchDriver&) = delete;
  MatchDriver& operator=(const MatchDriver&) = delete;

  // Sets up a new game: a handicap outside 2..9 becomes 0; both players are attached (and told
  // the handicap position); the game state starts empty or, with a handicap, from the handicap
  // stones with White to move; the players' names go into the game information; the observer
  // hears positionChanged. Refused (false) while the thread of an earlier match still runs.
  bool startMatch(const GameSettings& settings, std::shared_ptr<MatchObserver> observer,
                  std::shared_ptr<Player> black, std::shared_ptr<Player> white);
  // Starts the worker loop. False when it already runs.
  bool startThread();
  // Asks the loop to end, wakes players that wait, and waits up to timeoutMs (-1: no limit).
  // True when the thread has ended; false when it was left running on its own (see Lifetime).
  bool stop(int timeoutMs);

  // 1 running, 0 stop requested, -1 finished or never started.
  int runFlag() const { return thread_.runFlag(); }
  // The side to move as last published by the game state; safe from any thread.
  int sideToMove() const { return state_.view().sideToMove; }
  GameState& gameState() { return state_; }
  const GameState& gameState() const { return state_; }
  const GameSettings& settings() const { return settings_; }

  // The pauses after a move with an even and with an odd move number (counted from 0), which
  // let a window show each move before the next; 10 ms and 100 ms unless set.
  void setMovePauses(std::chrono::milliseconds even, std::chrono::milliseconds odd);

 private:
  explicit MatchDriver(LogLine log) : thread_(log), log_(std::move(log)) {}
  void run(const std::atomic<int>& runFlag);
  void positionChanged() const;
  void gameOver() const;

  WorkerThread thread_;
  LogLine log_;
  GameSettings settings_;
  std::shared_ptr<MatchObserver> observer_;
  std::shared_ptr<Player> black_;
  std::shared_ptr<Player> white_;
  GameState state_;
  std::chrono::milliseconds evenPause_{10};
  std::chrono::milliseconds oddPause_{100};
};

// The longest prefix of GB text with at most limit bytes that does not split a two-byte
// character (a byte with bit 7 set starts one).
std::string truncateGbText(std::string_view text, size_t limit);

}  // namespace mh
