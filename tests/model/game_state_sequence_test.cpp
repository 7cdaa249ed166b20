// Random but seeded sequences of everything a room can do to a game state, checked after every
// step against the invariants that tie the records, the histories and the position together.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "model/game_state.h"

namespace mh {
namespace {

// Everything a game state holds, for whole-state comparisons.
struct StateImage {
  GameRecord mainRecord;
  GameRecord studyRecord;
  History mainHistory;
  History studyHistory;
  Board board;
  KoState ko;
  Point lastMove;
  PointList captured;
  Point captureMove;
  SgfNode properties;
  int sideToMove;
  int currentIndex;
  bool studying;
  int studyStart;

  friend bool operator==(const StateImage&, const StateImage&) = default;
};

StateImage imageOf(const GameState& s) {
  return {s.mainRecord(),  s.studyRecord(), s.mainHistory(),       s.studyHistory(), s.board(),
          s.ko(),          s.lastMove(),    s.captured(),          s.captureMove(),  s.currentProperties(),
          s.sideToMove(),  s.currentIndex(), s.studying(),         s.studyStart()};
}

// Snapshots compared strictly (their own equality lets an empty point array match any).
bool samePosition(const BoardSnapshot& a, const BoardSnapshot& b) {
  return a.width == b.width && a.height == b.height && a.blackCount == b.blackCount && a.points == b.points;
}

// Plays a record's entries onto board the way the game state records them.
void replay(const GameRecord& record, Board& board) {
  for (const MoveEntry& e : record.entries()) {
    if (e.hasSetup()) {
      board.setPoints(e.blackSetup, Black);
      board.setPoints(e.whiteSetup, White);
    }
    if (e.hasMove() && e.point >= 0) (void)board.play(e.colour, e.point);
  }
}

int entriesAdded(const History& history) {
  int n = 0;
  for (const HistoryItem& item : history) n += item.addedEntry ? 1 : 0;
  return n;
}

void checkInvariants(const GameState& s, const std::string& where) {
  SCOPED_TRACE(where);
  ASSERT_FALSE(s.mainHistory().empty());
  ASSERT_GE(s.currentIndex(), s.firstIndex());
  ASSERT_LE(s.currentIndex(), s.lastIndex());
  if (s.studying()) {
    ASSERT_GE(s.studyStart(), 0);
    ASSERT_LT(s.studyStart(), static_cast<int>(s.mainHistory().size()));
    EXPECT_EQ(s.lastIndex(), s.studyStart() + static_cast<int>(s.studyHistory().size()));
  } else {
    EXPECT_EQ(s.lastIndex() + 1, static_cast<int>(s.mainHistory().size()));
    EXPECT_TRUE(s.studyHistory().empty());
    EXPECT_EQ(s.studyRecord().entryCount(), 0);
  }
  EXPECT_EQ(s.mainRecord().entryCount(), entriesAdded(s.mainHistory()));
  EXPECT_EQ(s.studyRecord().entryCount(), entriesAdded(s.studyHistory()));

  // Replaying the records reproduces the last position of each line.
  Board main = s.mainRecord().initialPosition();
  replay(s.mainRecord(), main);
  EXPECT_TRUE(samePosition(main.snapshot(), s.mainHistory().back().position)) << "main line";
  if (s.studying() && !s.studyHistory().empty()) {
    Board study;
    study.restore(s.mainHistory()[static_cast<size_t>(s.studyStart())].position);
    replay(s.studyRecord(), study);
    EXPECT_TRUE(samePosition(study.snapshot(), s.studyHistory().back().position)) << "study line";
  }

  // Every stored point agrees with its stored position: a transform that misses one shows here.
  for (const History* history : {&s.mainHistory(), &s.studyHistory()}) {
    for (const HistoryItem& it : *history) {
      Board b;
      b.restore(it.position);
      if (it.lastMove >= 0) {
        EXPECT_TRUE(isStoneColour(b.get(it.lastMove))) << "last move " << it.lastMove;
      }
      if (it.ko.active()) {
        EXPECT_EQ(b.get(it.ko.koPoint), Empty) << "ko point";
        EXPECT_TRUE(b.adjacent(it.ko.koPoint, it.ko.capturingPoint)) << "capturing point";
        EXPECT_TRUE(isStoneColour(b.get(it.ko.capturingPoint))) << "capturing point";
      }
    }
  }
  if (!s.captured().empty()) {
    EXPECT_TRUE(isStoneColour(s.board().get(s.captureMove())));
    for (Point p : s.captured()) EXPECT_EQ(s.board().get(p), Empty) << "captured " << p;
  }

  // The position shown is the one stored for the current index.
  const HistoryItem* item = s.itemAt(s.currentIndex());
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(samePosition(s.board().snapshot(), item->position));
  EXPECT_EQ(s.sideToMove(), item->sideToMove);
  EXPECT_EQ(s.ko(), item->ko);
  EXPECT_EQ(s.lastMove(), item->lastMove);
  EXPECT_EQ(s.currentProperties(), item->properties);

  const GameStateView v = s.view();
  EXPECT_EQ(v.board, s.board());
  EXPECT_EQ(v.currentIndex, s.currentIndex());
  EXPECT_EQ(v.lastIndex, s.lastIndex());
  EXPECT_EQ(v.studying, s.studying());
  EXPECT_EQ(v.properties, s.currentProperties());
}

class Driver {
 public:
  Driver(unsigned seed, int width, int height) : rng_(seed) { state_.startFrom(Board(width, height), Black); }

  GameState& state() { return state_; }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  SgfNode randomProperties() {
    SgfNode node;
    if (pick(3) == 0) node.setValue("C", "note " + std::to_string(pick(100)));
    if (pick(3) == 0) {
      const Board& b = state_.board();
      SgfProperty marks{"TR", pointText(pick(b.width()), pick(b.height())), {}};
      marks.moreValues.push_back(pointText(pick(b.width()), pick(b.height())));
      node.addProperty(marks);
      node.addProperty({"LB", pointText(pick(b.width()), pick(b.height())) + ":A", {}});
    }
    return node;
  }

  // One random action; returns its name for failure messages.
  std::string step() {
    const int roll = pick(100);
    if (roll < 42) return playMove();
    if (roll < 48) return pass();
    if (roll < 51) return addSetup(false);
    if (roll < 53) return addSetup(true);
    if (roll < 68) return navigate();
    if (roll < 73) return study();
    if (roll < 82) return takeBack();
    if (roll < 85) {
      state_.truncateHere();
      EXPECT_TRUE(state_.atLast());
      return "truncate";
    }
    if (roll < 92) return playThenTakeBack();
    return transform();
  }

 private:
  static std::string pointText(int x, int y) { return {static_cast<char>('a' + x), static_cast<char>('a' + y)}; }

  // Makes the state ready for a new move the way the room does: a study line when not at the end.
  bool readyToExtend() {
    if (state_.atLast()) return true;
    if (!state_.studying()) (void)state_.beginStudy();
    return state_.atLast();
  }

  Point randomLegalPoint() {
    const Board& b = state_.board();
    for (int tries = 0; tries < 12; ++tries) {
      const Point p = pick(b.width() * b.height());
      if (!state_.isIllegal(state_.sideToMove(), p)) return p;
    }
    return kNoPoint;
  }

  std::string playMove() {
    if (!readyToExtend()) {
      EXPECT_FALSE(state_.play(state_.sideToMove(), kNoPoint)) << "play away from the last position";
      return "refused play";
    }
    const Point p = randomLegalPoint();
    if (p == kNoPoint) return pass();
    const SgfNode props = randomProperties();
    EXPECT_TRUE(state_.play(state_.sideToMove(), p, &props));
    return "play " + std::to_string(p);
  }

  std::string pass() {
    if (!readyToExtend()) return "no pass";
    const SgfNode props = randomProperties();
    EXPECT_TRUE(state_.play(state_.sideToMove(), kNoPoint, &props));
    return "pass";
  }

  std::string addSetup(bool withMove) {
    if (!readyToExtend()) return "no setup";
    PointList black;
    PointList white;
    const Board& b = state_.board();
    const int cells = b.width() * b.height();
    for (int i = pick(3); i > 0; --i) black.push_back(pick(cells));
    for (int i = pick(3); i > 0; --i) white.push_back(pick(cells));
    if (withMove) {
      const Point p = randomLegalPoint();
      EXPECT_TRUE(state_.playWithSetup(black, white, state_.sideToMove(), p));
      return "play with setup";
    }
    EXPECT_TRUE(state_.setup(black, white));
    return "setup";
  }

  std::string navigate() {
    const int first = state_.firstIndex();
    const int last = state_.lastIndex();
    switch (pick(8)) {
      case 0: EXPECT_TRUE(state_.first()); return "first";
      case 1: EXPECT_TRUE(state_.last()); return "last";
      case 2: EXPECT_TRUE(state_.back()); return "back";
      case 3: EXPECT_TRUE(state_.backFive()); return "back five";
      case 4: EXPECT_TRUE(state_.forward()); return "forward";
      case 5: EXPECT_TRUE(state_.forwardFive()); return "forward five";
      case 6: {
        const int target = first + pick(last - first + 1);
        EXPECT_TRUE(state_.goTo(target));
        return "go to " + std::to_string(target);
      }
      default: {
        const int target = pick(2) ? state_.nextCommented() : state_.previousCommented();
        if (target < 0) return "no comment";
        EXPECT_GE(target, first);
        EXPECT_LE(target, last);
        EXPECT_FALSE(state_.itemAt(target)->properties.comment().empty());
        EXPECT_TRUE(state_.goTo(target));
        return "go to comment";
      }
    }
  }

  std::string study() {
    switch (pick(3)) {
      case 0: {
        const bool was = state_.studying();
        EXPECT_EQ(state_.beginStudy(), !was);
        return "begin study";
      }
      case 1: {
        const int start = state_.studying() ? state_.studyStart() : -1;
        const GameRecord main = state_.mainRecord();
        state_.endStudy();
        EXPECT_EQ(state_.mainRecord(), main);
        if (start >= 0) {
          EXPECT_EQ(state_.currentIndex(), start);
        }
        return "end study";
      }
      default: state_.restartStudy(); return "restart study";
    }
  }

  std::string takeBack() {
    const bool allowed = state_.atLast() && state_.currentIndex() > state_.firstIndex();
    const int n = pick(4);
    const int expected = allowed ? std::max(state_.firstIndex(), state_.currentIndex() - std::max(n, 1))
                                 : state_.currentIndex();
    EXPECT_EQ(state_.takeBack(n), allowed);
    EXPECT_EQ(state_.currentIndex(), expected);
    return "take back " + std::to_string(n);
  }

  // Take-back of a single move gives back the state before it (but for the captured list, which
  // navigation clears).
  std::string playThenTakeBack() {
    if (!state_.atLast()) return "skip";
    (void)state_.goTo(state_.currentIndex());
    const StateImage before = imageOf(state_);
    const Point p = randomLegalPoint();
    if (p == kNoPoint) return "skip";
    const SgfNode props = randomProperties();
    EXPECT_TRUE(state_.play(state_.sideToMove(), p, &props));
    EXPECT_TRUE(state_.takeBack(1));
    EXPECT_TRUE(imageOf(state_) == before) << "take back after play " << p;
    return "play and take back";
  }

  // Each transform twice gives back the very same state; then one stays applied.
  std::string transform() {
    bool (GameState::*const ops[])() = {&GameState::flipX, &GameState::flipY, &GameState::swapXY};
    const StateImage before = imageOf(state_);
    for (auto op : ops) {
      const bool done = (state_.*op)();
      EXPECT_EQ((state_.*op)(), done);
      EXPECT_TRUE(imageOf(state_) == before) << "transform twice";
    }
    auto op = ops[pick(3)];
    (void)(state_.*op)();
    return "transform";
  }

  std::mt19937 rng_;
  GameState state_;
};

struct SequenceCase {
  int width;
  int height;
};

class GameStateSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(GameStateSequence, RandomOperationsKeepTheInvariants) {
  const auto [width, height] = GetParam();
  for (unsigned seed = 1; seed <= 25; ++seed) {
    Driver driver(seed, width, height);
    std::ostringstream trail;
    for (int i = 0; i < 160; ++i) {
      trail << driver.step() << "; ";
      checkInvariants(driver.state(), "seed " + std::to_string(seed) + " after: " + trail.str());
      if (::testing::Test::HasFailure()) return;
    }
    // The main record, loaded afresh, gives back the same record and the same final position.
    driver.state().endStudy();
    GameState reloaded;
    reloaded.load(driver.state().mainRecord());
    EXPECT_EQ(reloaded.mainRecord(), driver.state().mainRecord()) << "seed " << seed;
    EXPECT_TRUE(samePosition(reloaded.board().snapshot(), driver.state().mainHistory().back().position))
        << "seed " << seed;
    checkInvariants(reloaded, "reloaded, seed " + std::to_string(seed));
  }
}

INSTANTIATE_TEST_SUITE_P(Boards, GameStateSequence,
                         ::testing::Values(SequenceCase{5, 5}, SequenceCase{7, 7}, SequenceCase{6, 4},
                                           SequenceCase{19, 19}),
                         [](const auto& row) {
                           return std::to_string(row.param.width) + "x" + std::to_string(row.param.height);
                         });

}  // namespace
}  // namespace mh
