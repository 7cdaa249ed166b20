#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <unordered_set>

#include "model/player.h"

namespace mh {

// A player for tests and demonstrations: it picks uniformly among the points it may legally play
// (ko included) that are not its own one-point eyes and do not bring back a position its own
// moves made before in this game, and passes when none is left, so that two of them finish a game
// instead of repeating a cycle of captures for ever. Runs on the driver's thread only.
class RandomPlayer : public Player {
 public:
  explicit RandomPlayer(std::uint32_t seed) : random_(seed) {}

  void attach(int colour, MatchDriver& driver) override;
  void setPosition(const Board&) override {}
  void movePlayed(int, Point) override {}
  Point getMove() override;

 private:
  int colour_ = Black;
  MatchDriver* driver_ = nullptr;
  std::mt19937 random_;
  std::unordered_set<std::string> madePositions_;  // the cells after each of its moves
};

}  // namespace mh
