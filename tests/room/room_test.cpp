#include "room/room.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>

#include "platform/find_program.h"
#include "platform/teardown_queue.h"
#include "records/record_loader.h"
#include "room/room_sounds.h"
#include "room/app_settings.h"
#include "support/process_census.h"
#include "support/scratch_dir.h"
#include "support/shell_script.h"
#include "support/watchdog.h"

namespace mh {
namespace {

using namespace std::chrono_literals;
using test::waitUntil;

const std::string kRecord = std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25/253550034.sgf";

class CountingNotifier : public RoomNotifier {
 public:
  void positionChanged(int) override { ++changes; }
  // lastOver is set before overs counts the news, so a test that has seen the count sees the game.
  void gameOver(int game) override {
    lastOver = game;
    ++overs;
  }
  std::atomic<int> changes{0};
  std::atomic<int> overs{0};
  std::atomic<int> lastOver{0};
};

// A room as a window would hold it, with a teardown queue of its own.
struct RoomFixture {
  AppSettings settings;
  TeardownQueue teardown;
  std::shared_ptr<CountingNotifier> notifier = std::make_shared<CountingNotifier>();
  std::unique_ptr<Room> room;

  explicit RoomFixture(int number = 100) {
    RoomServices services;
    services.settings = &settings;
    services.teardown = &teardown;
    room = std::make_unique<Room>(number, services, notifier);
  }
  // Waits until the shown position has the index.
  bool reaches(int index) {
    return waitUntil([&] { return room->view().currentIndex == index; }, 20s);
  }
};

PlayChoice gnuGoAgainstPerson(const std::string& program, int level) {
  PlaySetup setup = PlaySetup::defaults(GameSettings::Chinese, "gnu", "me");
  setup.black.program = program;
  setup.black.level = level;
  setup.black.assist = false;
  return playChoice(setup, false);
}

TEST(Room, ClickPlaysThroughTheDriverAndTheTitleFollows) {
  test::Watchdog dog(60s);
  RoomFixture f;
  f.room->newGame();
  ASSERT_TRUE(f.reaches(0));
  EXPECT_EQ(f.room->refresh({}).title, "100棋室( 无名文件 -- 无比赛信息 -- 手数:0 )");

  EXPECT_EQ(f.room->choosePoint(60), PointChoice::Played);
  ASSERT_TRUE(f.reaches(1));
  RoomRefresh r = f.room->refresh({});
  EXPECT_EQ(r.title, "100棋室( 无名文件 -- 无比赛信息 -- 手数:1 )");
  EXPECT_EQ(r.sound, kStoneSound);
  EXPECT_EQ(f.room->refresh({}).sound, kNoSound) << "a position sounds once";

  ASSERT_TRUE(waitUntil([&] { return f.room->personToMove() && f.room->transformsAllowed(); }, 5s));
  EXPECT_EQ(f.room->choosePoint(60), PointChoice::Dropped) << "occupied";
  EXPECT_EQ(f.room->choosePoint(-1), PointChoice::Dropped);
  EXPECT_EQ(f.room->choosePoint(61), PointChoice::Played);
  ASSERT_TRUE(f.reaches(2));
  EXPECT_EQ(f.room->view().board.get(61), White);

  // The move-number button: the next refresh labels the last move and stays silent.
  f.room->cycleMoveNumbers();
  r = f.room->refresh({});
  EXPECT_EQ(r.sound, kNoSound);
  ASSERT_EQ(f.room->annotations().labelCount(), 1);
  EXPECT_EQ(f.room->annotations().labels()[0].text, "2");

  ASSERT_TRUE(waitUntil([&] { return f.room->transformsAllowed(); }, 5s));
  ASSERT_TRUE(f.room->transform(1));
  ASSERT_TRUE(waitUntil([&] { return f.room->view().board.get(60 + 18 - 2 * 3) == Black; }, 5s))
      << "flip x moves column 3 to column 15";

  f.room->endGame();
  EXPECT_FALSE(f.room->driverRunning());
  EXPECT_EQ(f.room->choosePoint(100), PointChoice::Dropped) << "no game runs after End";
  EXPECT_EQ(f.room->view().board.get(61 + 18 - 2 * 4), White) << "the position stays";
}

TEST(Room, APersonPassesWithItsSoundAndTwoPassesEndTheGame) {
  test::Watchdog dog(60s);
  RoomFixture f;
  EXPECT_FALSE(f.room->pass()) << "no game yet";
  f.room->newGame();
  ASSERT_TRUE(f.reaches(0));
  ASSERT_TRUE(waitUntil([&] { return f.room->mayPass(); }, 5s));
  EXPECT_TRUE(f.room->commandState().personMayPass);
  ASSERT_TRUE(f.room->pass());
  ASSERT_TRUE(f.reaches(1));
  const GameStateView v = f.room->view();
  EXPECT_EQ(v.sideToMove, White);
  EXPECT_EQ(v.board.get(60), Empty);
  EXPECT_EQ(f.room->refresh({}).sound, kPassSound);

  f.room->setDeadStoneMode(true);
  EXPECT_FALSE(f.room->mayPass()) << "not while marking dead stones";
  f.room->setDeadStoneMode(false);
  ASSERT_TRUE(waitUntil([&] { return f.room->mayPass(); }, 5s));
  ASSERT_TRUE(f.room->pass());
  ASSERT_TRUE(waitUntil([&] { return f.notifier->overs.load() == 1; }, 10s)) << "two passes end the game";
  (void)f.room->gameOver();
  EXPECT_FALSE(f.room->pass());
}

TEST(Room, NoPassAwayFromTheEndOfARecordOrForGnuGo) {
  test::Watchdog dog(120s);
  RoomFixture f;
  ASSERT_EQ(f.room->openRecord(kRecord, false, 10), RecordLoadStatus::Ok);
  ASSERT_TRUE(f.reaches(10));
  ASSERT_TRUE(waitUntil([&] { return f.room->transformsAllowed(); }, 5s));
  EXPECT_FALSE(f.room->mayPass()) << "an earlier position of the record";
  test::ScratchDir dir;
  const test::GatedProgram gnuGo(dir, findProgram("gnugo"));  // never let start: Black stays to move
  f.room->startGame(gnuGoAgainstPerson(gnuGo.path(), 1));
  EXPECT_FALSE(f.room->pass()) << "GNU Go (Black) is to move";
}

TEST(Room, ClickWhileGnuGoIsToMoveDoesNothing) {
  test::Watchdog dog(120s);
  test::ScratchDir dir;
  const test::GatedProgram gnuGo(dir, findProgram("gnugo"));
  RoomFixture f;
  f.room->startGame(gnuGoAgainstPerson(gnuGo.path(), 1));
  EXPECT_TRUE(f.room->gnuGoInGame());
  // GNU Go (Black) moves first; until its stone is there, clicks are not the person's.
  EXPECT_EQ(f.room->choosePoint(180), PointChoice::Dropped);
  EXPECT_FALSE(f.room->mayPass());
  gnuGo.open();
  ASSERT_TRUE(f.reaches(1));
  EXPECT_EQ(f.room->view().sideToMove, White);
  EXPECT_FALSE(f.room->transformsAllowed()) << "GNU Go's own board would no longer agree";
  Point empty = 0;
  while (f.room->view().board.get(empty) != Empty) ++empty;
  EXPECT_EQ(f.room->choosePoint(empty), PointChoice::Played);
  ASSERT_TRUE(f.reaches(3)) << "GNU Go answered";
  EXPECT_NE(f.room->view().board.get(empty), Empty);
  EXPECT_EQ(f.room->refresh({}).infoText, gameInfoText(f.room->view().info, false))
      << "the players, and no hints while GNU Go plays here";
}

TEST(Room, AGnuGoThatCannotStartEndsTheGameNamingTheProgram) {
  test::Watchdog dog(60s);
  RoomFixture f;
  f.room->startGame(gnuGoAgainstPerson("/nonexistent/gnugo", 1));
  ASSERT_TRUE(waitUntil([&] { return f.notifier->overs.load() == 1; }, 10s));
  EXPECT_TRUE(f.room->isCurrentGame(f.notifier->lastOver.load()));
  EXPECT_EQ(f.room->gameOver(), "/nonexistent/gnugo");
  EXPECT_FALSE(f.room->driverRunning());
  f.room->newGame();
  EXPECT_FALSE(f.room->isCurrentGame(f.notifier->lastOver.load())) << "the old game's news is stale";
}

TEST(Room, ClickOnAnEarlierPositionOfARecordStartsStudy) {
  test::Watchdog dog(60s);
  RoomFixture f;
  ASSERT_EQ(f.room->openRecord(kRecord, false, 10), RecordLoadStatus::Ok);
  ASSERT_TRUE(f.reaches(10));
  const GameStateView v = f.room->view();
  EXPECT_FALSE(v.atLast());
  EXPECT_EQ(v.info.whiteName(), "richkugo");
  ASSERT_TRUE(waitUntil([&] { return f.room->transformsAllowed(); }, 5s)) << "the driver waits for the person";
  Point empty = 0;
  while (v.board.get(empty) != Empty) ++empty;
  EXPECT_EQ(f.room->choosePoint(empty), PointChoice::StudyStarted);
  ASSERT_TRUE(f.reaches(11));
  EXPECT_TRUE(f.room->view().studying);
  EXPECT_EQ(f.room->view().board.get(empty), Black);
  // Within the study line, an earlier position refuses the click: no second study line opens.
  ASSERT_TRUE(waitUntil([&] { return f.room->transformsAllowed(); }, 5s));
  ASSERT_TRUE(f.room->goToMove(10));
  EXPECT_FALSE(f.room->goToMove(9)) << "below the study line's start";
  EXPECT_EQ(f.room->choosePoint(empty + 1), PointChoice::Dropped);
  EXPECT_NE(f.room->title({}).find("253550034.sgf -- "), std::string::npos);
}

TEST(Room, FailedOpenKeepsTheGameAndSaveReopensTheSameGame) {
  test::Watchdog dog(60s);
  test::ScratchDir dir;
  RoomFixture f;
  ASSERT_EQ(f.room->openRecord(kRecord, false), RecordLoadStatus::Ok);
  ASSERT_TRUE(f.reaches(86));
  EXPECT_EQ(f.room->openRecord(dir.file("a.txt"), false), RecordLoadStatus::UnknownFormat);
  EXPECT_EQ(f.room->openRecord(dir.file("missing.SGF"), false), RecordLoadStatus::SgfReadFailed);
  EXPECT_EQ(f.room->view().currentIndex, 86) << "a failed open leaves the game as it was";
  EXPECT_EQ(f.room->filePath(), kRecord);

  const std::string saved = dir.file("saved.sgf");
  ASSERT_TRUE(f.room->saveAs(saved));
  EXPECT_EQ(f.room->filePath(), saved);
  RoomFixture again(101);
  ASSERT_EQ(again.room->openRecord(saved, false), RecordLoadStatus::Ok);
  ASSERT_TRUE(again.reaches(86));
  EXPECT_EQ(again.room->view().board, f.room->view().board);
  EXPECT_EQ(again.room->view().info.blackName(), f.room->view().info.blackName());
  EXPECT_EQ(again.room->view().info.whiteName(), "richkugo");
  EXPECT_EQ(again.room->view().info.winner(), GameInfo::WhiteWins);
}

TEST(Room, PassesOfARecordSurviveSaving) {
  test::Watchdog dog(60s);
  test::ScratchDir dir;
  const std::string path = dir.file("passes.sgf");
  std::ofstream(path) << "(;SZ[19];B[dd];W[];B[pp];W[tt];B[dp])";
  RoomFixture f;
  ASSERT_EQ(f.room->openRecord(path, false), RecordLoadStatus::Ok);
  ASSERT_TRUE(f.reaches(5));
  EXPECT_EQ(f.room->view().sideToMove, White);
  const std::string saved = dir.file("again.sgf");
  ASSERT_TRUE(f.room->saveAs(saved));
  GameRecord record;
  int result = 0;
  ASSERT_EQ(loadRecordFile(saved, false, record, result), RecordLoadStatus::Ok);
  ASSERT_EQ(record.entryCount(), 5);
  EXPECT_TRUE(record.entries()[1].isPass());
  EXPECT_EQ(record.entries()[1].colour, White);
  EXPECT_TRUE(record.entries()[3].isPass());
  EXPECT_EQ(record.entries()[4].colour, Black);
}

TEST(Room, ACountsMarksGiveWayToANewerPositionAndOnlyKnownRulesCount) {
  test::Watchdog dog(60s);
  RoomFixture f;
  f.room->newGame();
  ASSERT_TRUE(f.reaches(0));
  ASSERT_TRUE(waitUntil([&] { return f.room->transformsAllowed(); }, 5s));
  ASSERT_EQ(f.room->choosePoint(60), PointChoice::Played);
  ASSERT_TRUE(f.reaches(1));
  f.room->cycleMoveNumbers();
  (void)f.room->refresh({});
  ASSERT_TRUE(waitUntil([&] { return f.room->transformsAllowed(); }, 5s)) << "the driver waits for White";
  f.room->setDeadStoneMode(true);
  ASSERT_EQ(f.room->choosePoint(60), PointChoice::Toggled);
  const BoardAnnotations marked = f.room->annotations();
  ASSERT_EQ(marked.labelCount(), 1);
  ASSERT_TRUE(marked.hasMark(60, kMarkDead));

  // The lone stone is dead: the whole board is nobody's, and komi decides.
  f.room->setRules(GameSettings::Chinese, 3.75);
  const std::optional<CountReport> report = f.room->count({});
  ASSERT_TRUE(report);
  EXPECT_EQ(report->winner, White);
  EXPECT_TRUE(report->blackMarks.empty() && report->whiteMarks.empty());
  EXPECT_TRUE(f.room->storeResult(*report));
  EXPECT_EQ(f.room->view().info.winner(), GameInfo::WhiteWins);
  EXPECT_NE(f.room->title({}).find("(结果: 白胜  3.75 子)"), std::string::npos) << f.room->title({});

  // Shown and put back exactly; once a refresh has drawn the position again, nothing is put back.
  f.room->showCountMarks(*report);
  EXPECT_EQ(f.room->annotations().markCount(), 0);
  EXPECT_TRUE(f.room->restoreAnnotations());
  EXPECT_EQ(f.room->annotations(), marked);
  f.room->showCountMarks(*report);
  EXPECT_EQ(f.room->refresh({}).sound, kNoSound) << "a stored result is no new move";
  const BoardAnnotations fresh = f.room->annotations();
  EXPECT_FALSE(f.room->restoreAnnotations());
  EXPECT_EQ(f.room->annotations(), fresh);

  for (int type : {0, 3}) {
    f.room->setRules(type, 6.5);
    EXPECT_FALSE(f.room->count({})) << type;
  }
}

TEST(Room, ClosingWhileGnuGoThinksLeavesNothingBehind) {
  test::Watchdog dog(120s);
  const test::Census before;
  auto notifier = std::make_shared<CountingNotifier>();
  {
    AppSettings settings;
    TeardownQueue teardown;
    RoomServices services;
    services.settings = &settings;
    services.teardown = &teardown;
    {
      Room room(100, services, notifier);
      PlaySetup setup = PlaySetup::defaults(GameSettings::Chinese, "a", "b");
      setup.white.gnuGo = true;
      setup.black.assist = setup.white.assist = false;
      room.startGame(playChoice(setup, false));
      ASSERT_TRUE(waitUntil([&] { return room.view().currentIndex >= 1; }, 30s));
      ASSERT_EQ(test::childProcesses().size(), before.children + 2);
    }  // closed while GNU Go is thinking at level 10
    const int heard = notifier->changes.load();
    teardown.drain();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(notifier->changes.load(), heard) << "a closed room hears nothing more";
  }
  EXPECT_TRUE(before.restored()) << "threads, descriptors or GNU Go processes were left";
}

}  // namespace
}  // namespace mh
