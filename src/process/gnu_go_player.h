#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "model/player.h"
#include "patterns/assist_libraries.h"
#include "platform/log_line.h"
#include "process/child_process.h"
#include "process/gtp_reply_handler.h"

namespace mh {

// GNU Go as a player: its own GNU Go process, spoken to in GTP. GNU Go hears every move through
// "play" (its own included) and chooses with "reg_genmove", which leaves its board as it is; the
// game state stays the truth. With the assist on, the pattern libraries answer first and GNU Go
// is asked only when they know nothing.
//
// getMove never waits for an answer that cannot come: when GNU Go is not running, ends, answers
// the move request with an error or with something that is no move, or resigns, getMove returns
// kNoMove, which ends the game, and the log it was given says why. A GNU Go that is merely slow is waited for.
// Replies are read from standard output only; what GNU Go writes to standard error goes to the
// log, so that a warning starting with a vertex is never taken for a move.
//
// Threads: attach, setPosition and destroy run on the owner's thread while no match runs; getMove
// and movePlayed on the driver's thread; interrupt on any. GNU Go's output arrives on the child
// process's reader threads.
class GnuGoPlayer : public Player {
 public:
  static constexpr const char* kName = "GNU go + Moonhaven Helper";
  static constexpr const char* kDefaultProgram = "gnugo";
  // getMove's answer when GNU Go cannot give a move; any negative value but -1 and -1000 ends
  // the game.
  static constexpr Point kNoMove = -2;
  static constexpr int kDefaultLevel = 10;
  static constexpr int kBoardSize = 19;
  // How long destroy waits for GNU Go to leave after "quit" before it is stopped.
  static constexpr int kQuitWaitMs = 500;

  explicit GnuGoPlayer(LogLine log = {});
  // Destroys (quits GNU Go).
  ~GnuGoPlayer() override;
  GnuGoPlayer(const GnuGoPlayer&) = delete;
  GnuGoPlayer& operator=(const GnuGoPlayer&) = delete;

  const std::string& name() const { return name_; }
  // The program to start: a name without "/" ("gnugo" by default) is looked up on PATH and then
  // in /usr/games; a path is used as it is. Takes effect at the next attach.
  void setProgramPath(std::string path) { programPath_ = std::move(path); }
  const std::string& programPath() const { return programPath_; }
  // 1..10 (values outside are clamped); sent at the next attach.
  void setLevel(int level);
  int level() const { return level_; }
  // Lets the libraries answer first (on) or not (off). The libraries must outlive the player.
  void setAssist(bool on, AssistLibraries libraries = {});
  bool assist() const { return assist_; }
  // Seeds the assist's draws, so that a game can be repeated.
  void setSeed(std::uint32_t seed) { random_.seed(seed); }

  // Quits a GNU Go started earlier, starts a new one and sends the level and the board size.
  void attach(int colour, MatchDriver& driver) override;
  // "set_free_handicap" with every black stone of the board, in increasing point order.
  void setPosition(const Board& board) override;
  // "play" with the colour and the point's vertex.
  void movePlayed(int colour, Point point) override;
  // The assist's move, else GNU Go's answer to "reg_genmove": a point, -1 for a pass, kNoMove
  // when GNU Go cannot give one, kAskAgain when interrupted.
  Point getMove() override;
  // Makes a waiting getMove (or the next one) return kAskAgain.
  void interrupt() override;
  // Sends "quit", waits up to kQuitWaitMs for GNU Go to end, then stops the process.
  void destroy();

  // True while a GNU Go process runs.
  bool isRunning() const { return child_.isRunning(); }
  // The running process's id, or -1.
  pid_t processId() const { return child_.pid(); }

  // The command line that starts the program at path (quoted when it holds blanks or quotes).
  static std::string commandLineFor(const std::string& path);

 private:
  // Registers and writes a command; returns its serial.
  std::uint64_t send(const std::string& command, bool asksForMove);
  void onOutput(std::string_view chunk);
  void onError(std::string_view chunk);
  void onEnded();
  Point answerFor(const GtpReply& reply) const;
  void log(std::string_view text) const;

  const LogLine log_;
  std::string name_ = kName;
  std::string programPath_ = kDefaultProgram;
  int colour_ = Black;
  int level_ = kDefaultLevel;
  bool assist_ = false;
  AssistLibraries libraries_;
  MatchDriver* driver_ = nullptr;
  std::mt19937 random_;

  // Keeps the order of registered commands equal to the order they are written.
  std::mutex sendMutex_;
  // Guards everything below it; the reader threads take it for each chunk.
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  GtpReplyHandler replies_{kBoardSize, kBoardSize};
  GtpLineBuffer errorLines_;
  std::uint64_t awaited_ = 0;  // the move request getMove waits for (0: none)
  std::optional<GtpReply> answer_;
  bool ended_ = true;  // no GNU Go process runs (never started, failed to start, or ended)
  bool interrupted_ = false;

  // Last, so that it is destroyed (and its threads are stopped) before what its callbacks use.
  ChildProcess child_;
};

}  // namespace mh
