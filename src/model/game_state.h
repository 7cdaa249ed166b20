#pragma once

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "model/board.h"
#include "model/board_transform.h"
#include "model/game_record.h"
#include "model/game_state_view.h"
#include "model/history_item.h"
#include "model/ko_state.h"
#include "model/point.h"
#include "model/sgf_node.h"

namespace mh {

// True when colour may not play p on board: the ko rule (p is the ko point and the capturing
// stone is not colour's), then the board's own test.
bool moveIsIllegal(const Board& board, const KoState& ko, int colour, Point p);

// The playing state of one room: the main record, the current position with side to move, ko,
// last move and captured stones, a history of positions to step through, and a study line (a
// second record and history) that branches off the main line without touching it.
//
// Index mapping: while studying, an index above the study start selects study history item
// (index - studyStart - 1); every other index selects main history item (index).
//
// Threads: every operation is meant for one thread at a time (the match driver, or the room while
// the driver waits for a person's move). Any other thread reads the state only through view(),
// which returns the copy published at the end of the last operation.
class GameState {
 public:
  GameState();
  GameState(const GameState&) = delete;
  GameState& operator=(const GameState&) = delete;

  // Starting.
  // Clears records, histories, position and study line; current index -1. Sizes stay.
  void reset();
  // Reset, then the empty start position as item 0.
  void startEmpty();
  // Reset, then the given position (groups without liberties removed, Black's first) with the
  // given side to move (White stays White, anything else is Black) as item 0. The position also
  // becomes the main record's size and initial position, so a saved game keeps these stones.
  void startFrom(const Board& board, int sideToMove);
  // Reset, take the record's information, size and initial position (into the main record and the
  // current board), then replay its entries. A plain move the board refuses is dropped from the
  // main record; a pass is replayed as a pass.
  void load(const GameRecord& record);

  // Moves. Each fails (0), changing nothing, unless the state is started and at its last index and
  // the colour is Black or White.
  // True when colour may not play p: the ko rule, then the board's own test.
  bool isIllegal(int colour, Point p) const;
  // Plays a stone or a pass (p = -1) with the given properties (none: empty); either appends an
  // entry to the active record (a pass with point -1) and an item to its history. A pass keeps the
  // last move and the captured stones. Fails, changing nothing, when the board refuses the move.
  bool play(int colour, Point p, const SgfNode* properties = nullptr);
  // Writes the setup stones, then plays the move; a move the board refuses is not placed but is
  // still recorded.
  bool playWithSetup(const PointList& black, const PointList& white, int colour, Point p,
                     const SgfNode* properties = nullptr);
  // Writes setup stones; side to move and last move stay.
  bool setup(const PointList& black, const PointList& white, const SgfNode* properties = nullptr);

  // Navigation. Indices run from firstIndex() (the study start while studying, else 0) to
  // lastIndex(). Navigating never changes a record or a history.
  int firstIndex() const;
  int lastIndex() const;
  bool atFirst() const { return currentIndex_ == firstIndex(); }
  bool atLast() const { return currentIndex_ == lastIndex(); }
  // Restores the position of index; fails for an index outside first..last.
  bool goTo(int index);
  bool first() { return goTo(firstIndex()); }
  bool last() { return goTo(lastIndex()); }
  bool back() { return goTo(std::max(currentIndex_ - 1, firstIndex())); }
  bool backFive() { return goTo(std::max(currentIndex_ - 5, firstIndex())); }
  bool forward() { return goTo(std::min(currentIndex_ + 1, lastIndex())); }
  bool forwardFive() { return goTo(std::min(currentIndex_ + 5, lastIndex())); }
  // The nearest reachable index below (above) the current one whose position has a non-empty
  // comment, or -1.
  int previousCommented() const;
  int nextCommented() const;

  // Study line and editing.
  // Opens a study line at the current position; fails when already studying or not started.
  bool beginStudy();
  // Closes the study line and returns to the position where it began.
  void endStudy();
  // Closes the study line and opens a fresh one at the same position.
  void restartStudy();
  // Removes the last n (at least 1) positions of the active line, never going below the first
  // index, with the record entries they added. Fails unless at the last index and above the first.
  bool takeBack(int n);
  // Removes every position after the current one from the active line.
  void truncateHere();

  // Transforms of everything the state holds, with the game's board size. Applying the same
  // one again undoes it. Swap fails, changing nothing, on a board that is not square.
  bool swapXY();
  bool flipX();
  bool flipY();

  // The game information of the main record (names, result...).
  void setInfo(const GameInfo& info);

  // Accessors for the operating thread.
  const GameRecord& mainRecord() const { return mainRecord_; }
  const GameRecord& studyRecord() const { return studyRecord_; }
  const GameRecord& activeRecord() const { return studying_ ? studyRecord_ : mainRecord_; }
  const History& mainHistory() const { return mainHistory_; }
  const History& studyHistory() const { return studyHistory_; }
  const History& activeHistory() const { return studying_ ? studyHistory_ : mainHistory_; }
  int sideToMove() const { return sideToMove_; }
  const Board& board() const { return board_; }
  const KoState& ko() const { return ko_; }
  Point lastMove() const { return lastMove_; }
  const PointList& captured() const { return captured_; }
  Point captureMove() const { return captureMove_; }
  const SgfNode& currentProperties() const { return properties_; }
  int currentIndex() const { return currentIndex_; }
  bool studying() const { return studying_; }
  int studyStart() const { return studyStart_; }
  // The history item that index selects, or null.
  const HistoryItem* itemAt(int index) const;
  // Stones put on the board on the way to the shown position, per colour: the starting position,
  // then the setup stones and moves of the main line up to the current index (up to the study
  // start while studying), then those of the study line. Captures are not subtracted.
  void stonesPlaced(int& black, int& white) const;

  // A copy of the state as published by the last operation; safe from any thread.
  GameStateView view() const;

 private:
  // Publishes the view when the outermost operation in progress ends.
  class Publisher;

  GameRecord& activeRecordMut() { return studying_ ? studyRecord_ : mainRecord_; }
  History& activeHistoryMut() { return studying_ ? studyHistory_ : mainHistory_; }
  // Started, at the last index, and (for a move) a stone colour.
  bool canExtend() const;
  bool canExtend(int colour) const;
  void setProperties(const SgfNode* properties);
  void pushItem(bool addedEntry);
  void clearPosition();
  void closeStudy();
  bool koShapeHolds(const KoState& ko) const;
  bool applyTransform(BoardTransform transform);
  // Record entries added by the items of history in [from, to) (clamped to the history).
  static int entriesAdded(const History& history, int from, int to);
  void publish();

  GameRecord mainRecord_;
  int sideToMove_ = Black;
  Board board_;
  KoState ko_;
  Point lastMove_ = kNoPoint;
  PointList captured_;
  Point captureMove_ = kNoPoint;
  SgfNode properties_;
  History mainHistory_;
  int currentIndex_ = -1;
  bool studying_ = false;
  int studyStart_ = -1;
  GameRecord studyRecord_;
  History studyHistory_;

  int operationDepth_ = 0;
  mutable std::mutex viewMutex_;
  GameStateView published_;
};

}  // namespace mh
