#pragma once

#include "model/board.h"
#include "model/point.h"

namespace mh {

class MatchDriver;

// The answer of getMove when the player has no move now and wants to be asked again.
inline constexpr Point kAskAgain = -1000;

// One side of a game run by a MatchDriver: a person at the board or a program.
//
// The driver calls attach, setPosition and getMove on its own thread once the match runs, and
// attach and setPosition on the caller's thread while a match starts. One object may play both
// colours (a game between two persons uses the room for both).
class Player {
 public:
  virtual ~Player() = default;

  // The player is told which colour it plays (Black or White) and which driver runs it.
  virtual void attach(int colour, MatchDriver& driver) = 0;
  // The starting position, when the game starts with handicap stones.
  virtual void setPosition(const Board& board) = 0;
  // A stone was played and accepted (passes are not reported); called for both players.
  virtual void movePlayed(int colour, Point point) = 0;
  // Blocks until the player has a move: a point, kNoPoint (-1) to pass, kAskAgain (-1000) to be
  // asked again, or any other negative value to end the game.
  virtual Point getMove() = 0;
  // Called from another thread when the driver stops: a getMove that is waiting should return
  // (kAskAgain will do) so that the driver's thread can end. Players that never wait need not.
  virtual void interrupt() {}
};

}  // namespace mh
