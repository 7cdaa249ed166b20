#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_move_chooser.h"
#include "model/board.h"

namespace mh {

// The engine behind the Go Text Protocol (version 2): one game with its history, answering one
// command line at a time. Every malformed or impossible command gets an error reply ("? ..."),
// never a crash; the game changes only on commands that succeed.
class GtpSession {
 public:
  static constexpr const char* kName = "Moonhaven";
  static constexpr int kMaxSize = 25;  // vertices run from A to Z without I

  GtpSession(EngineLibraries libraries, EngineLog log, std::uint32_t seed);

  // The full reply to one command line ("=[id] text\n\n" or "?[id] text\n\n"), or an empty string
  // for a line that holds no command (blank or a comment).
  std::string handle(std::string_view line);
  bool quitRequested() const { return quit_; }
  // Answers the lines of in on out until "quit" or the end of input.
  void run(std::istream& in, std::ostream& out);

  int level() const { return level_; }
  const Board& board() const { return positions_.back(); }

 private:
  struct Reply {
    bool ok = true;
    std::string text;
  };
  Reply dispatch(const std::string& command, const std::vector<std::string>& args);
  Reply play(const std::vector<std::string>& args);
  Reply genmove(const std::vector<std::string>& args, bool playIt);
  Reply handicap(const std::vector<std::string>& args, bool fixed);
  Reply showboard() const;
  Reply finalScore() const;

  // The board after colour plays p, or false when the rules refuse it (occupied, suicide, or a
  // return to the position before the last move).
  bool tryMove(int colour, Point p, Board& after) const;
  void newGame(int size);
  std::string vertex(Point p) const;
  // A vertex argument: a point, -1 for "pass", or false when it is no vertex of the board.
  bool parseVertex(const std::string& text, Point& out) const;

  EngineMoveChooser chooser_;
  int size_ = 19;
  double komi_ = 0;
  int level_ = 10;
  bool quit_ = false;
  std::vector<Board> positions_;  // from the start (or the handicap) to now
};

// A colour argument ("b", "black", "w", "white", any case): Black, White, or Empty.
int parseGtpColour(std::string_view text);

}  // namespace mh
