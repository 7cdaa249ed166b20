#include "model/match_driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/person_player.h"
#include "platform/event.h"
#include "support/captured_log.h"
#include "support/scripted_player.h"
#include "support/watchdog.h"

namespace {

using namespace std::chrono_literals;
using mh::Black;
using mh::Event;
using mh::GameSettings;
using mh::MatchDriver;
using mh::Point;
using mh::White;
using mh::test::ScriptedPlayer;
using mh::test::Watchdog;

constexpr Point P(int x, int y) { return x + 19 * y; }

class RecordingObserver : public mh::MatchObserver {
 public:
  void positionChanged() override { ++changes; }
  void gameOver() override {
    ++overs;
    over.set();
  }
  std::atomic<int> changes{0};
  std::atomic<int> overs{0};
  Event over{Event::Mode::ManualReset};
};

struct Match {
  mh::test::CapturedLog log;
  std::shared_ptr<MatchDriver> driver = MatchDriver::create(log.line());
  std::shared_ptr<RecordingObserver> observer = std::make_shared<RecordingObserver>();

  Match() { driver->setMovePauses(0ms, 0ms); }
  ~Match() { driver->stop(2000); }

  bool start(std::shared_ptr<mh::Player> black, std::shared_ptr<mh::Player> white,
             GameSettings settings = {}) {
    return driver->startMatch(settings, observer, std::move(black), std::move(white)) &&
           driver->startThread();
  }
  // Waits (bounded) for game over, then for the thread to end, after which the state may be read.
  bool finish() { return observer->over.waitFor(10s) && driver->stop(5000); }
};

TEST(MatchDriver, PassesAndGivingUpEndTheGameAsScripted) {
  Watchdog dog(60s);
  struct Case {
    const char* name;
    std::vector<Point> black, white;
    size_t historyItems;
    int recordEntries;
    int blackAsks, whiteAsks;
  } cases[] = {
      // The second pass ends the game without being played.
      {"black pass, white pass", {-1}, {-1}, 2, 1, 1, 1},
      {"white pass, black pass", {P(3, 3), -1}, {-1}, 3, 2, 2, 1},
      // A move between the passes clears them: the game goes on until White gives up.
      {"pass, move, pass goes on", {-1, -1}, {P(15, 15), -2}, 4, 3, 2, 2},
      {"minus two ends at once", {-2}, {}, 1, 0, 1, 0},
      {"any other negative ends", {P(3, 3), -7}, {P(15, 3)}, 3, 2, 2, 1},
      {"ask again then moves", {mh::kAskAgain, P(3, 3), -2}, {P(4, 4)}, 3, 2, 3, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Match m;
    auto black = std::make_shared<ScriptedPlayer>(c.black);
    auto white = std::make_shared<ScriptedPlayer>(c.white);
    ASSERT_TRUE(m.start(black, white));
    ASSERT_TRUE(m.finish());
    const auto& state = m.driver->gameState();
    EXPECT_EQ(state.mainHistory().size(), c.historyItems);
    EXPECT_EQ(state.mainRecord().entryCount(), c.recordEntries);
    EXPECT_EQ(black->asks(), c.blackAsks);
    EXPECT_EQ(white->asks(), c.whiteAsks);
    EXPECT_EQ(m.observer->overs.load(), 1);
    EXPECT_EQ(m.driver->runFlag(), -1);
  }
}

TEST(MatchDriver, MovesReachBothPlayersAndTheObserver) {
  Watchdog dog(30s);
  Match m;
  auto black = std::make_shared<ScriptedPlayer>(std::vector<Point>{P(3, 3), -1, -1});
  auto white = std::make_shared<ScriptedPlayer>(std::vector<Point>{P(15, 15), -1});
  ASSERT_TRUE(m.start(black, white));
  ASSERT_TRUE(m.finish());
  std::vector<std::pair<int, Point>> played{{Black, P(3, 3)}, {White, P(15, 15)}};
  EXPECT_EQ(black->movesPlayed(), played);
  EXPECT_EQ(white->movesPlayed(), played);
  EXPECT_EQ(black->attachedColours(), std::vector<int>{Black});
  EXPECT_EQ(white->attachedColours(), std::vector<int>{White});
  // Once at the start, once per stone and once for the pass that was played.
  EXPECT_EQ(m.observer->changes.load(), 4);
  const auto& state = m.driver->gameState();
  EXPECT_EQ(state.board().get(P(3, 3)), Black);
  EXPECT_EQ(state.board().get(P(15, 15)), White);
  // B, W, B pass; W's pass ends the game: items for start, two stones and one pass.
  EXPECT_EQ(state.mainHistory().size(), 4u);
}

TEST(MatchDriver, HandicapOutsideTwoToNineIsNone) {
  Watchdog dog(30s);
  struct Case {
    int handicap;
    std::vector<Point> stones;
  } cases[] = {
      {0, {}},
      {1, {}},
      {10, {}},
      {-4, {}},
      {2, {P(3, 3), P(15, 15)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.handicap);
    Match m;
    auto black = std::make_shared<ScriptedPlayer>(std::vector<Point>{-2});
    auto white = std::make_shared<ScriptedPlayer>(std::vector<Point>{-2});
    GameSettings settings;
    settings.handicap = c.handicap;
    ASSERT_TRUE(m.start(black, white, settings));
    ASSERT_TRUE(m.finish());
    const auto& state = m.driver->gameState();
    mh::PointList blackStones;
    state.board().pointsOfValue(Black, blackStones);
    EXPECT_EQ(blackStones, c.stones);
    EXPECT_EQ(m.driver->settings().handicap, c.stones.empty() ? 0 : c.handicap);
    bool handicap = !c.stones.empty();
    // With stones White moves first, so only White is asked; both were told the position.
    EXPECT_EQ(white->asks(), handicap ? 1 : 0);
    EXPECT_EQ(black->asks(), handicap ? 0 : 1);
    EXPECT_EQ(state.sideToMove(), handicap ? White : Black);
    EXPECT_EQ(black->positions().size(), handicap ? 1u : 0u);
    ASSERT_EQ(white->positions().size(), handicap ? 1u : 0u);
    if (handicap) {
      EXPECT_EQ(white->positions()[0], state.board());
    }
  }
}

TEST(MatchDriver, NamesAreKeptWithAHandicapAndCutAtFortyNineBytes) {
  Watchdog dog(30s);
  Match m;
  GameSettings settings;
  settings.handicap = 4;
  settings.blackName = "\xC0\xEE\xCA\xC0\xCA\xAF";  // a GB name
  // 48 ASCII bytes, then a two-byte character that would end at byte 50.
  settings.whiteName = std::string(48, 'w') + "\xB9\xC5" + "tail";
  auto black = std::make_shared<ScriptedPlayer>(std::vector<Point>{});
  auto white = std::make_shared<ScriptedPlayer>(std::vector<Point>{-2});
  ASSERT_TRUE(m.start(black, white, settings));
  ASSERT_TRUE(m.finish());
  const auto& info = m.driver->gameState().mainRecord().info();
  EXPECT_EQ(info.blackName(), settings.blackName);
  EXPECT_EQ(info.whiteName(), std::string(48, 'w'));
}

TEST(MatchDriver, TruncatesGbTextOnCharacterBoundaries) {
  struct Case {
    std::string text;
    size_t limit;
    std::string expected;
  } cases[] = {
      {"abc", 5, "abc"},
      {"abcdef", 3, "abc"},
      {"a\xB9\xC5", 2, "a"},
      {"a\xB9\xC5", 3, "a\xB9\xC5"},
      {"\xB9", 5, "\xB9"},  // a lone lead byte at the end counts as one byte
      {"", 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(mh::truncateGbText(c.text, c.limit), c.expected) << c.text;
}

TEST(MatchDriver, AskAgainFromAPersonMakesTheDriverReadTheSideToMoveAfresh) {
  Watchdog dog(30s);
  Match m;
  auto person = std::make_shared<mh::PersonPlayer>();
  auto white = std::make_shared<ScriptedPlayer>(std::vector<Point>{-2});
  ASSERT_TRUE(m.start(person, white));
  ASSERT_TRUE(mh::test::waitUntil([&] { return person->isWaiting(); }, 5s));
  int changes = m.observer->changes.load();
  // The window plays Black's move itself while the driver waits, then wakes it.
  ASSERT_TRUE(m.driver->gameState().play(Black, P(16, 3)));
  person->choose(mh::kAskAgain);
  EXPECT_FALSE(person->isWaiting()) << "once woken, the driver owns the game state until it waits again";
  ASSERT_TRUE(m.finish());
  EXPECT_EQ(white->asks(), 1);  // White, now to move, was asked; Black was not asked again
  EXPECT_EQ(m.observer->changes.load(), changes + 1);
  EXPECT_EQ(m.driver->gameState().board().get(P(16, 3)), Black);
}

TEST(MatchDriver, PersonPlayingBothColoursHandsOverClickedPoints) {
  Watchdog dog(30s);
  Match m;
  auto person = std::make_shared<mh::PersonPlayer>();
  ASSERT_TRUE(m.start(person, person));
  for (Point p : {P(3, 3), P(15, 15), P(3, 15)}) {
    ASSERT_TRUE(mh::test::waitUntil([&] { return person->isWaiting(); }, 5s));
    int before = m.driver->gameState().view().currentIndex;
    person->choose(p);
    ASSERT_TRUE(mh::test::waitUntil(
        [&] { return m.driver->gameState().view().currentIndex == before + 1; }, 5s));
  }
  EXPECT_EQ(m.driver->sideToMove(), White);
  EXPECT_TRUE(m.driver->stop(300));  // the person's wait is interrupted
  EXPECT_EQ(m.observer->overs.load(), 0);
  EXPECT_EQ(m.driver->gameState().mainRecord().entryCount(), 3);
}

TEST(MatchDriver, RefusedMovesAreNotReportedAndEndTheGameWhenRepeated) {
  Watchdog dog(30s);
  Match m;
  // White answers Black's own point, then a point off the board, then the same point again.
  auto black = std::make_shared<ScriptedPlayer>(std::vector<Point>{P(3, 3)});
  auto white = std::make_shared<ScriptedPlayer>(std::vector<Point>{P(3, 3), 361, P(3, 3), P(4, 4)});
  ASSERT_TRUE(m.start(black, white));
  ASSERT_TRUE(m.finish());

  EXPECT_EQ(white->asks(), MatchDriver::kRefusedLimit);
  std::vector<std::pair<int, Point>> played{{Black, P(3, 3)}};
  EXPECT_EQ(white->movesPlayed(), played);
  EXPECT_EQ(m.driver->gameState().mainRecord().entryCount(), 1);
  EXPECT_EQ(m.observer->overs.load(), 1);
  EXPECT_NE(m.log.text().find("refused"), std::string::npos) << m.log.text();
}

TEST(MatchDriver, StopWakesAWaitingPlayerWithinTheLimit) {
  Watchdog dog(30s);
  Match m;
  auto black = std::make_shared<ScriptedPlayer>(std::vector<Point>{P(3, 3)});
  black->hold();
  auto white = std::make_shared<ScriptedPlayer>(std::vector<Point>{});
  ASSERT_TRUE(m.start(black, white));
  ASSERT_TRUE(black->waitUntilHeld(5s));
  EXPECT_FALSE(m.driver->startMatch({}, m.observer, black, white));  // the loop still runs
  auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(m.driver->stop(300));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 300ms);
  EXPECT_EQ(m.driver->runFlag(), -1);
  EXPECT_EQ(m.observer->overs.load(), 0);
  EXPECT_EQ(m.driver->gameState().mainRecord().entryCount(), 0);
  // A stopped driver starts a new match.
  black->release();
  ASSERT_TRUE(m.start(black, white));
  ASSERT_TRUE(m.finish());
}

TEST(MatchDriver, DriverOutlivesAStopThatGivesUpUntilItsThreadEnds) {
  Watchdog dog(30s);
  mh::test::CapturedLog log;
  auto observer = std::make_shared<RecordingObserver>();
  auto black = std::make_shared<ScriptedPlayer>(std::vector<Point>{P(3, 3), -2});
  black->hold(false);  // deaf to interrupts, like a program that does not answer
  auto white = std::make_shared<ScriptedPlayer>(std::vector<Point>{});
  std::weak_ptr<MatchDriver> watch;
  {
    auto driver = MatchDriver::create(log.line());
    driver->setMovePauses(0ms, 0ms);
    watch = driver;
    ASSERT_TRUE(driver->startMatch({}, observer, black, white));
    ASSERT_TRUE(driver->startThread());
    ASSERT_TRUE(black->waitUntilHeld(5s));
    EXPECT_FALSE(driver->stop(100));
  }
  EXPECT_FALSE(watch.expired());  // the thread still holds the driver and what it uses
  black->release();
  EXPECT_TRUE(mh::test::waitUntil([&] { return watch.expired(); }, 5s));
  // The stopped loop played nothing after the player finally answered.
  EXPECT_TRUE(white->movesPlayed().empty());
  EXPECT_EQ(observer->overs.load(), 0);
  EXPECT_NE(log.text().find("did not stop within 100 ms"), std::string::npos) << log.text();
}

TEST(MatchDriver, MissingPlayerEndsTheLoopAtOnce) {
  Watchdog dog(30s);
  Match m;
  auto black = std::make_shared<ScriptedPlayer>(std::vector<Point>{P(3, 3)});
  ASSERT_TRUE(m.start(black, nullptr));
  ASSERT_TRUE(mh::test::waitUntil([&] { return m.driver->runFlag() == -1; }, 5s));
  EXPECT_EQ(black->asks(), 0);
  EXPECT_EQ(m.observer->overs.load(), 0);
  EXPECT_EQ(m.observer->changes.load(), 1);  // the start's own notification
  EXPECT_EQ(m.driver->gameState().currentIndex(), 0);
}

}  // namespace
