#include "model/game_state.h"

#include <utility>

#include "model/node_transform.h"

namespace mh {

// Operations call each other (load replays through play, take-back ends in go to); the view is
// published once, when the outermost one returns, so a reader never sees a half-done operation.
class GameState::Publisher {
 public:
  explicit Publisher(GameState& state) : state_(state) { ++state_.operationDepth_; }
  ~Publisher() {
    if (--state_.operationDepth_ == 0) state_.publish();
  }
  Publisher(const Publisher&) = delete;
  Publisher& operator=(const Publisher&) = delete;

 private:
  GameState& state_;
};

GameState::GameState() { publish(); }

void GameState::reset() {
  Publisher publisher(*this);
  mainRecord_.clear();
  currentIndex_ = -1;
  mainHistory_.clear();
  clearPosition();
  closeStudy();
}

void GameState::startEmpty() {
  Publisher publisher(*this);
  reset();
  pushItem(false);
  currentIndex_ = 0;
}

void GameState::startFrom(const Board& board, int sideToMove) {
  Publisher publisher(*this);
  reset();
  board_ = board;
  sideToMove_ = sideToMove == White ? White : Black;
  board_.removeDead(Black);
  board_.removeDead(White);
  (void)mainRecord_.setSize(board_.width(), board_.height());
  mainRecord_.initialPosition() = board_;
  pushItem(false);
  currentIndex_ = 0;
}

void GameState::load(const GameRecord& record) {
  Publisher publisher(*this);
  reset();
  (void)mainRecord_.setSize(record.width(), record.height());
  mainRecord_.info() = record.info();
  mainRecord_.initialPosition() = record.initialPosition();
  board_ = record.initialPosition();
  const auto& entries = record.entries();
  if (!entries.empty() && entries.front().hasMove() && isStoneColour(entries.front().colour))
    sideToMove_ = entries.front().colour;
  pushItem(false);
  currentIndex_ = 0;
  for (const MoveEntry& e : entries) {
    switch (e.flags & (MoveEntry::kMove | MoveEntry::kSetup)) {
      case MoveEntry::kMove | MoveEntry::kSetup:
        playWithSetup(e.blackSetup, e.whiteSetup, e.colour, e.point, &e.properties);
        break;
      case MoveEntry::kMove: play(e.colour, e.point, &e.properties); break;
      case MoveEntry::kSetup: setup(e.blackSetup, e.whiteSetup, &e.properties); break;
      default: break;
    }
  }
}

bool moveIsIllegal(const Board& board, const KoState& ko, int colour, Point p) {
  if (ko.active() && p == ko.koPoint && colour != board.get(ko.capturingPoint)) return true;
  return board.isIllegal(colour, p);
}

bool GameState::isIllegal(int colour, Point p) const { return moveIsIllegal(board_, ko_, colour, p); }

bool GameState::canExtend(int colour) const { return canExtend() && isStoneColour(colour); }

bool GameState::canExtend() const { return currentIndex_ >= 0 && currentIndex_ == lastIndex(); }

bool GameState::play(int colour, Point p, const SgfNode* properties) {
  if (!canExtend(colour)) return false;
  Publisher publisher(*this);
  if (p == kNoPoint) {
    // A pass is a move of the record: saving the game keeps it, and with it who moved when.
    setProperties(properties);
    ko_.clear();
    activeRecordMut().appendMove(colour, kNoPoint, &properties_);
    sideToMove_ = opponent(colour);
    pushItem(true);
    ++currentIndex_;
    return true;
  }
  const Board before = board_;
  if (!board_.play(colour, p)) return false;
  setProperties(properties);
  PointList taken;
  board_.capturedSince(before, taken);
  ko_.clear();
  if (taken.size() == 1) {
    const KoState candidate{taken.front(), p};
    if (koShapeHolds(candidate)) ko_ = candidate;
  }
  captured_ = std::move(taken);
  captureMove_ = p;
  activeRecordMut().appendMove(colour, p, &properties_);
  lastMove_ = p;
  sideToMove_ = opponent(colour);
  pushItem(true);
  ++currentIndex_;
  return true;
}

bool GameState::playWithSetup(const PointList& black, const PointList& white, int colour, Point p,
                              const SgfNode* properties) {
  if (!canExtend(colour)) return false;
  Publisher publisher(*this);
  setProperties(properties);
  ko_.clear();
  captured_.clear();
  board_.setPoints(black, Black);
  board_.setPoints(white, White);
  (void)board_.play(colour, p);
  captureMove_ = p;
  MoveEntry entry;
  entry.flags = MoveEntry::kMove | MoveEntry::kSetup;
  entry.blackSetup = black;
  entry.whiteSetup = white;
  entry.colour = static_cast<std::uint8_t>(colour);
  entry.point = p;
  entry.properties.copyProperties(properties_);
  activeRecordMut().append(entry);
  lastMove_ = p;
  sideToMove_ = opponent(colour);
  pushItem(true);
  ++currentIndex_;
  return true;
}

bool GameState::setup(const PointList& black, const PointList& white, const SgfNode* properties) {
  if (!canExtend()) return false;
  Publisher publisher(*this);
  setProperties(properties);
  ko_.clear();
  captured_.clear();
  captureMove_ = kNoPoint;
  board_.setPoints(black, Black);
  board_.setPoints(white, White);
  MoveEntry entry;
  entry.flags = MoveEntry::kSetup;
  entry.blackSetup = black;
  entry.whiteSetup = white;
  entry.properties.copyProperties(properties_);
  activeRecordMut().append(entry);
  pushItem(true);
  ++currentIndex_;
  return true;
}

// The ko shape after the capture: K empty, C a single stone whose only liberty is K, and K
// surrounded by C's colour. Only then may the capture be retaken at once.
bool GameState::koShapeHolds(const KoState& ko) const {
  const Point k = ko.koPoint;
  const Point c = ko.capturingPoint;
  const int colour = board_.get(c);
  if (board_.get(k) != Empty || !isStoneColour(colour) || !board_.adjacent(k, c)) return false;
  PointList around;
  board_.allNeighbours(c, around);
  for (Point q : around)
    if (q != k && board_.get(q) != opponent(colour)) return false;
  board_.allNeighbours(k, around);
  for (Point q : around)
    if (board_.get(q) != colour) return false;
  return true;
}

int GameState::firstIndex() const { return studying_ ? studyStart_ : 0; }

int GameState::lastIndex() const {
  if (studying_) return studyStart_ + static_cast<int>(studyHistory_.size());
  return static_cast<int>(mainHistory_.size()) - 1;
}

const HistoryItem* GameState::itemAt(int index) const {
  if (studying_ && index > studyStart_) {
    const auto i = static_cast<size_t>(index - studyStart_ - 1);
    return i < studyHistory_.size() ? &studyHistory_[i] : nullptr;
  }
  if (index < 0 || static_cast<size_t>(index) >= mainHistory_.size()) return nullptr;
  return &mainHistory_[static_cast<size_t>(index)];
}

bool GameState::goTo(int index) {
  if (index < firstIndex() || index > lastIndex()) return false;
  Publisher publisher(*this);
  currentIndex_ = index;
  const HistoryItem* item = itemAt(index);
  if (!item) {
    clearPosition();
    return false;
  }
  sideToMove_ = item->sideToMove;
  lastMove_ = item->lastMove;
  board_.restore(item->position);
  ko_ = item->ko;
  captured_.clear();
  captureMove_ = kNoPoint;
  properties_.copyProperties(item->properties);
  return true;
}

int GameState::entriesAdded(const History& history, int from, int to) {
  from = std::max(from, 0);
  to = std::min(to, static_cast<int>(history.size()));
  int count = 0;
  for (int i = from; i < to; ++i)
    if (history[static_cast<size_t>(i)].addedEntry) ++count;
  return count;
}

void GameState::stonesPlaced(int& black, int& white) const {
  const int mainEnd = studying_ ? studyStart_ : currentIndex_;
  mainRecord_.stonesPlaced(black, white, static_cast<size_t>(entriesAdded(mainHistory_, 1, mainEnd + 1)));
  if (!studying_) return;
  int studyBlack = 0, studyWhite = 0;
  studyRecord_.stonesPlaced(studyBlack, studyWhite,
                            static_cast<size_t>(entriesAdded(studyHistory_, 0, currentIndex_ - studyStart_)));
  black += studyBlack;
  white += studyWhite;
}

int GameState::previousCommented() const {
  for (int i = currentIndex_ - 1; i >= firstIndex(); --i) {
    const HistoryItem* item = itemAt(i);
    if (!item) break;
    if (!item->properties.comment().empty()) return i;
  }
  return -1;
}

int GameState::nextCommented() const {
  for (int i = currentIndex_ + 1; i <= lastIndex(); ++i) {
    const HistoryItem* item = itemAt(i);
    if (!item) break;
    if (!item->properties.comment().empty()) return i;
  }
  return -1;
}

bool GameState::beginStudy() {
  if (studying_ || currentIndex_ < 0) return false;
  Publisher publisher(*this);
  closeStudy();
  (void)studyRecord_.setSize(mainRecord_.width(), mainRecord_.height());
  studying_ = true;
  studyStart_ = currentIndex_;
  return true;
}

void GameState::endStudy() {
  Publisher publisher(*this);
  const int start = studyStart_;
  closeStudy();
  (void)goTo(start);
}

void GameState::restartStudy() {
  Publisher publisher(*this);
  endStudy();
  (void)beginStudy();
}

bool GameState::takeBack(int n) {
  if (currentIndex_ != lastIndex() || currentIndex_ <= firstIndex()) return false;
  Publisher publisher(*this);
  if (n < 1) n = 1;
  GameRecord& record = activeRecordMut();
  History& history = activeHistoryMut();
  for (int i = 0; i < n && currentIndex_ > firstIndex() && !history.empty(); ++i) {
    if (history.back().addedEntry) record.removeLast(1);
    history.pop_back();
    --currentIndex_;
  }
  (void)goTo(currentIndex_);
  return true;
}

void GameState::truncateHere() {
  if (currentIndex_ < 0 || atLast()) return;
  Publisher publisher(*this);
  const int keep = currentIndex_;
  (void)last();
  while (currentIndex_ > keep && takeBack(1)) {
  }
}

bool GameState::swapXY() {
  BoardTransform t;
  t.swapXY = 1;
  return applyTransform(t);
}

bool GameState::flipX() {
  BoardTransform t;
  t.flipX = 1;
  return applyTransform(t);
}

bool GameState::flipY() {
  BoardTransform t;
  t.flipY = 1;
  return applyTransform(t);
}

namespace {

// Maps p unless it is -1 or has no image; such points stay as they are.
void mapPointInPlace(const BoardTransform& t, Point& p) {
  if (p == kNoPoint) return;
  const Point q = t.mapPoint(p);
  if (q != kNoPoint) p = q;
}

void mapRecord(const BoardTransform& t, GameRecord& record) {
  for (MoveEntry& e : record.entries()) {
    if (e.hasMove()) mapPointInPlace(t, e.point);
    if (e.hasSetup()) {
      (void)t.mapList(e.blackSetup);
      (void)t.mapList(e.whiteSetup);
    }
  }
  (void)t.mapBoard(record.initialPosition(), record.initialPosition());
}

void mapHistory(const BoardTransform& t, History& history) {
  for (HistoryItem& item : history) {
    BoardSnapshot mapped;
    if (t.mapSnapshot(item.position, mapped)) item.position = std::move(mapped);
    mapPointInPlace(t, item.ko.koPoint);
    mapPointInPlace(t, item.ko.capturingPoint);
    mapPointInPlace(t, item.lastMove);
    transformNode(item.properties, t);
  }
}

}  // namespace

// Every point the state holds is encoded with the current board's width, so the transform takes
// that size rather than a fixed 19 x 19 (which would scramble the points of any other size).
bool GameState::applyTransform(BoardTransform t) {
  t.width = board_.width();
  t.height = board_.height();
  if (t.width <= 0 || t.height <= 0) return false;
  // On a board that is not square a swap has no image for some points: refuse it outright
  // rather than map part of the state.
  if (t.swapXY && t.width != t.height) return false;
  Publisher publisher(*this);
  transformNode(properties_, t);
  mapRecord(t, mainRecord_);
  (void)t.mapBoard(board_, board_);
  mapPointInPlace(t, ko_.koPoint);
  mapPointInPlace(t, ko_.capturingPoint);
  mapPointInPlace(t, lastMove_);
  (void)t.mapList(captured_);
  mapPointInPlace(t, captureMove_);
  mapHistory(t, mainHistory_);
  mapRecord(t, studyRecord_);
  mapHistory(t, studyHistory_);
  return true;
}

void GameState::setInfo(const GameInfo& info) {
  Publisher publisher(*this);
  mainRecord_.info() = info;
}

void GameState::setProperties(const SgfNode* properties) {
  if (properties) properties_.copyProperties(*properties);
  else properties_.clear();
}

void GameState::pushItem(bool addedEntry) {
  HistoryItem item;
  board_.stoneLists(item.position);
  item.ko = ko_;
  item.lastMove = lastMove_;
  item.sideToMove = sideToMove_;
  item.properties.copyProperties(properties_);
  item.addedEntry = addedEntry;
  activeHistoryMut().push_back(std::move(item));
}

void GameState::clearPosition() {
  board_.clear();
  ko_.clear();
  captured_.clear();
  captureMove_ = kNoPoint;
  lastMove_ = kNoPoint;
  sideToMove_ = Black;
  properties_.clear();
}

void GameState::closeStudy() {
  studying_ = false;
  studyStart_ = -1;
  studyRecord_.clear();
  studyHistory_.clear();
}

GameStateView GameState::view() const {
  std::lock_guard lock(viewMutex_);
  return published_;
}

void GameState::publish() {
  GameStateView v;
  v.board = board_;
  v.sideToMove = sideToMove_;
  v.lastMove = lastMove_;
  v.ko = ko_;
  v.captured = captured_;
  v.captureMove = captureMove_;
  v.currentIndex = currentIndex_;
  v.firstIndex = firstIndex();
  v.lastIndex = lastIndex();
  v.studying = studying_;
  v.studyStart = studyStart_;
  v.previousCommented = previousCommented();
  v.nextCommented = nextCommented();
  stonesPlaced(v.blackPlaced, v.whitePlaced);
  v.properties.copyProperties(properties_);
  v.info = mainRecord_.info();
  v.mainRecord = std::make_shared<const GameRecord>(mainRecord_);
  // The active line's entries up to the shown position: one for each item that added one.
  const int entries = studying_ ? entriesAdded(studyHistory_, 0, currentIndex_ - studyStart_)
                                : entriesAdded(mainHistory_, 1, currentIndex_ + 1);
  const auto& recorded = activeRecord().entries();
  for (int i = 0; i < entries && i < static_cast<int>(recorded.size()); ++i) {
    const MoveEntry& e = recorded[static_cast<size_t>(i)];
    v.moves.push_back(e.hasMove() ? ViewMove{e.colour, e.point} : ViewMove{});
  }
  std::lock_guard lock(viewMutex_);
  v.revision = published_.revision + 1;
  published_ = std::move(v);
}

}  // namespace mh
