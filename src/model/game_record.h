#pragma once

#include <utility>
#include <vector>

#include "model/board.h"
#include "model/game_info.h"
#include "model/move_entry.h"

namespace mh {

// The in-memory game: board size, setup position, one line of play and the information block.
// Variations are not represented. A value type: copies are deep.
class GameRecord {
 public:
  // 19 x 19, no entries, an empty 19 x 19 initial position, information all zero.
  GameRecord() = default;

  int width() const { return width_; }
  int height() const { return height_; }
  // Sets the size and re-initialises the initial position to an empty board of that size.
  // Fails (the board then has no cells) when the cells cannot be allocated.
  bool setSize(int width, int height);

  const std::vector<MoveEntry>& entries() const { return entries_; }
  std::vector<MoveEntry>& entries() { return entries_; }
  int entryCount() const { return static_cast<int>(entries_.size()); }
  const Board& initialPosition() const { return initial_; }
  Board& initialPosition() { return initial_; }
  const GameInfo& info() const { return info_; }
  GameInfo& info() { return info_; }

  // Zeroes the information, removes every entry and clears the initial position; size stays.
  void clear();
  // Sets 19 x 19, then clear.
  void resetTo19();
  // Clear, then take the other's size, entries, initial position and information.
  void copyFrom(const GameRecord& other) { *this = other; }
  void append(const MoveEntry& entry) { entries_.push_back(entry); }
  void append(MoveEntry&& entry) { entries_.push_back(std::move(entry)); }
  // Appends a move entry (flags 1) with a copy of the properties (empty when null).
  void appendMove(int colour, Point p, const SgfNode* properties = nullptr);
  // As appendMove with point(x, y) of the record's width; off-board coordinates are a pass.
  void appendMoveAt(int colour, int x, int y, const SgfNode* properties = nullptr);
  // Removes the last n entries (all when n >= count; nothing when n <= 0).
  void removeLast(int n);
  // Colour and point of the last entry when it carries a move; false (both 0) otherwise.
  bool lastMove(int& colour, Point& p) const;
  // Stones put on the board: initial position + setup points + moves, per colour; captures are
  // not subtracted.
  void stonesPlaced(int& black, int& white) const { stonesPlaced(black, white, entries_.size()); }
  // The same over the initial position and the first entryCount entries only.
  void stonesPlaced(int& black, int& white, size_t entryCount) const;

  friend bool operator==(const GameRecord&, const GameRecord&) = default;

 private:
  int width_ = 19;
  int height_ = 19;
  std::vector<MoveEntry> entries_;
  Board initial_;
  GameInfo info_;
};

}  // namespace mh
