#include "room/qt/room_view.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fstream>

#include "engine/matrix_library.h"
#include "patterns/wpb_list.h"
#include "platform/find_program.h"
#include "platform/teardown_queue.h"
#include "platform/text_codec.h"
#include "records/record_loader.h"
#include "room/app_settings.h"
#include "room/qt/board_cursors.h"
#include "room/paint/board_images.h"
#include "room/qt/board_sounds.h"
#include "room/qt/board_view.h"
#include "room/qt/play_dialog.h"
#include "room/qt/record_file_dialog.h"
#include "room/room_sounds.h"
#include "support/corpus_pattern_base.h"
#include "support/process_census.h"
#include "support/scratch_dir.h"
#include "support/shell_script.h"
#include "support/board_module.h"
#include "support/qt/settle.h"

namespace mh {
namespace {

const QString kRecord = QString::fromStdString(std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25/253550034.sgf");

using test::settle;

// What a room window is lent: settings, a teardown queue, the module's images, sounds that stay
// silent but remember what they were asked to play, and optionally the tygem pattern base.
struct Lent {
  AppSettings settings;
  TeardownQueue teardown;
  BoardImages images = BoardImages::load(test::kBoardModule);
  BoardSounds sounds{QString()};
  WpbList bases;
  MatrixLibraries matrix;

  explicit Lent(bool withPatternBase = false) {
    if (withPatternBase) {
      const std::string home = test::sharedTygemProgramDirectory();
      bases.read(home + "WPBs.ini", home, 1);
    }
  }
  RoomContext context() {
    RoomContext c;
    c.services.settings = &settings;
    c.services.teardown = &teardown;
    c.services.patternBases = &bases;
    c.services.matrixLibraries = &matrix;
    c.images = &images;
    c.sounds = &sounds;
    c.caption = QStringLiteral("caption");
    return c;
  }
};

// A shown room window of 760 x 760 with a new game.
std::unique_ptr<RoomView> shownRoom(Lent& lent, int number = 100) {
  auto room = std::make_unique<RoomView>(number, lent.context());
  room->resize(760, 760);
  room->show();
  room->setActive(true);
  EXPECT_TRUE(QTest::qWaitForWindowExposed(room.get()));
  room->newGame();
  EXPECT_TRUE(settle([&] { return room->title().contains(QStringLiteral("手数:0")); }));
  return room;
}

QPoint pixelOf(const RoomView& room, Point p) {
  const BoardGeometry& g = room.boardView()->geometry();
  return {g.centreX(p % 19), g.centreY(p / 19)};
}

void clickPoint(RoomView& room, Point p) {
  QTest::mouseClick(room.boardView(), Qt::LeftButton, {}, pixelOf(room, p));
}

QMessageBox* messageOf(QWidget& parent) { return parent.findChild<QMessageBox*>(); }

TEST(RoomViewWidget, AClickPlaysAStoneAndTheTitleFollows) {
  Lent lent;
  auto room = shownRoom(lent);
  EXPECT_EQ(room->title(), QStringLiteral("100棋室( 无名文件 -- 无比赛信息 -- 手数:0 )"));
  clickPoint(*room, 72);
  ASSERT_TRUE(settle([&] { return room->title().endsWith(QStringLiteral("手数:1 )")); }));
  const QImage picture = room->boardView()->picture();
  EXPECT_LT(qGray(picture.pixel(pixelOf(*room, 72) + QPoint(3, 3))), 70) << "a black stone";
  EXPECT_EQ(room->room().view().board.get(72), Black);
  ASSERT_GE(lent.sounds.played().size(), 2u);
  EXPECT_EQ(lent.sounds.played().front(), kNewGameSound);
  EXPECT_EQ(lent.sounds.played().back(), kStoneSound);

  // Under stone sound mode 1 an inactive room is silent.
  lent.settings.stoneSoundMode = 1;
  room->setActive(false);
  const size_t before = lent.sounds.played().size();
  clickPoint(*room, 73);
  ASSERT_TRUE(settle([&] { return room->title().endsWith(QStringLiteral("手数:2 )")); }));
  EXPECT_EQ(lent.sounds.played().size(), before);

  // The move-number button: off, last, last five, all, off.
  std::vector<int> modes;
  for (int i = 0; i < 4; ++i) {
    room->cycleMoveNumbers();
    modes.push_back(room->room().moveNumberMode());
  }
  EXPECT_EQ(modes, (std::vector<int>{1, 2, 3, 0}));
  EXPECT_EQ(lent.sounds.played().size(), before) << "the button never sounds";
}

TEST(RoomViewWidget, AClickWhileGnuGoIsToMoveDoesNothing) {
  Lent lent;
  test::ScratchDir dir;
  // GNU Go itself, let start only after the second click, so that its first answer surely comes
  // after it.
  const test::GatedProgram gnuGo(dir, findProgram("gnugo"));
  auto room = shownRoom(lent);
  PlaySetup setup = PlaySetup::defaults(GameSettings::Chinese, "me", "gnu");
  setup.swapPlayers();  // the person plays Black, GNU Go White
  setup.white.program = gnuGo.path();
  setup.white.assist = false;
  room->startGame(playChoice(setup, false));
  clickPoint(*room, 3 * 19 + 3);
  ASSERT_TRUE(settle([&] { return room->room().view().currentIndex == 1; }));
  clickPoint(*room, 0);  // GNU Go is thinking: the corner point stays empty
  QCoreApplication::processEvents();  // the click's queued handling
  gnuGo.open();
  ASSERT_TRUE(settle([&] { return room->room().view().currentIndex == 2; }, 60000)) << "GNU Go answered";
  EXPECT_EQ(room->room().view().board.get(0), Empty);
  EXPECT_EQ(room->room().view().sideToMove, Black);
  EXPECT_EQ(room->room().annotations().labelCount(), 0) << "no hints while GNU Go plays here";
}

TEST(RoomViewWidget, OpeningARecordAtAnEarlierMoveAndClickingStartsStudy) {
  Lent lent;
  auto room = shownRoom(lent);
  ASSERT_TRUE(room->openRecordFile(kRecord, false, 40));
  ASSERT_TRUE(settle([&] { return room->title().contains(QStringLiteral("253550034.sgf -- ")); }));
  EXPECT_TRUE(room->title().contains(QStringLiteral("VS richkugo 9段(白)(结果: W+Resign) -- 手数:40 )")))
      << room->title().toStdString();
  Point empty = 0;
  while (room->room().view().board.get(empty) != Empty) ++empty;
  // Study may begin only while the new game's driver waits for the person.
  ASSERT_TRUE(settle([&] { return room->room().transformsAllowed(); }));
  clickPoint(*room, empty);
  ASSERT_TRUE(settle([&] { return room->room().view().studying && room->room().view().currentIndex == 41; }));
  EXPECT_EQ(room->room().view().board.get(empty), Black);
  // The study chime, then the stone (once the refresh of the move has run).
  const auto& played = lent.sounds.played();
  ASSERT_TRUE(settle([&] { return played.back() == kStoneSound; }));
  ASSERT_GE(played.size(), 2u);
  EXPECT_EQ(played[played.size() - 2], kStudySound);
  EXPECT_EQ(played.back(), kStoneSound);
}

TEST(RoomViewWidget, APatternBaseShowsGlobalHintsOnTheEmptyBoard) {
  Lent lent(true);
  ASSERT_EQ(lent.bases.count(), 1);
  auto room = shownRoom(lent);
  ASSERT_TRUE(settle([&] { return room->room().annotations().labelCount() > 0; }));
  const BoardLabel first = room->room().annotations().labels().front();
  EXPECT_EQ(first.text, "A");
  EXPECT_TRUE(room->infoText().startsWith(QStringLiteral("A, 总:"))) << room->infoText().toStdString();
  // The label is painted in its colour inside its point's square.
  const QImage picture = room->boardView()->picture();
  const auto square = room->boardView()->geometry().pointRect(first.point);
  bool found = false;
  for (int y = square->top; y < square->bottom && !found; ++y)
    for (int x = square->left; x < square->right && !found; ++x)
      found = (picture.pixel(x, y) & 0xFFFFFF) == first.rgb;
  EXPECT_TRUE(found);
  const auto rows = room->room().hintDetails(RoomView::detailWords());
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front().position, "A");
  ASSERT_FALSE(rows.front().children.empty());
  EXPECT_FALSE(rows.front().children.front().path.empty());
}

TEST(RoomViewWidget, SavedGamesReopenWithTheSamePositionAndPlayers) {
  Lent lent;
  test::ScratchDir dir;
  auto room = shownRoom(lent);
  ASSERT_TRUE(room->openRecordFile(kRecord, false));
  const QString saved = QString::fromStdString(dir.file("again.sgf"));
  ASSERT_TRUE(room->saveTo(saved));
  EXPECT_TRUE(room->title().contains(QStringLiteral("again.sgf")));
  auto other = shownRoom(lent, 101);
  ASSERT_TRUE(other->openRecordFile(saved, false));
  const GameStateView a = room->room().view(), b = other->room().view();
  EXPECT_EQ(a.board, b.board);
  EXPECT_EQ(a.currentIndex, b.currentIndex);
  EXPECT_EQ(a.info.blackName(), b.info.blackName());
  EXPECT_EQ(a.info.whiteName(), b.info.whiteName());
  // Save on a room that has a file writes that file, with the move played since.
  ASSERT_TRUE(settle([&] { return other->room().transformsAllowed(); }));
  Point empty = 0;
  while (b.board.get(empty) != Empty) ++empty;
  clickPoint(*other, empty);
  ASSERT_TRUE(settle([&] { return other->room().view().currentIndex == 87; }));
  other->save();
  GameRecord record;
  int result = 0;
  ASSERT_EQ(loadRecordFile(saved.toStdString(), false, record, result), RecordLoadStatus::Ok);
  EXPECT_EQ(record.entryCount(), 87);
  EXPECT_EQ(record.entries().back().point, empty);
}

TEST(RoomViewWidget, FailuresAreReportedInMessageBoxes) {
  Lent lent;
  test::ScratchDir dir;
  auto room = shownRoom(lent);
  std::ofstream(dir.file("a.txt")) << "(;B[aa])";
  EXPECT_FALSE(room->openRecordFile(QString::fromStdString(dir.file("a.txt")), false));
  QMessageBox* box = messageOf(*room);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), QStringLiteral("不认识的文件格式!"));
  EXPECT_EQ(box->windowTitle(), QStringLiteral("caption"));
  box->close();
  ASSERT_TRUE(settle([&] { return messageOf(*room) == nullptr; }));

  PlaySetup setup = PlaySetup::defaults(GameSettings::Chinese, "x", "y");
  setup.black.program = "/nonexistent/gnugo";
  room->startGame(playChoice(setup, false));
  ASSERT_TRUE(settle([&] { return messageOf(*room) != nullptr; }));
  EXPECT_TRUE(messageOf(*room)->text().contains(QStringLiteral("/nonexistent/gnugo")));
  EXPECT_FALSE(room->room().driverRunning());
}

TEST(RoomViewWidget, ClosingWhileGnuGoThinksLeavesNothingBehind) {
  {
    // What Qt starts once for the first window (its own threads and descriptors) stays.
    Lent lent;
    shownRoom(lent);
  }
  // Taken once what the warm-up ended (its room's threads) has left the process, however loaded
  // the machine: a census taken while one is still going counts it as there to stay.
  const test::Census before = test::Census::settled();
  {
    Lent lent;
    {
      auto room = shownRoom(lent);
      PlaySetup setup = PlaySetup::defaults(GameSettings::Chinese, "a", "b");
      setup.white.gnuGo = true;
      setup.black.assist = setup.white.assist = false;
      room->startGame(playChoice(setup, false));
      ASSERT_TRUE(settle([&] { return room->room().view().currentIndex >= 1; }, 60000));
    }
    QTest::qWait(50);  // queued notifications of the closed room are dropped, not run
    lent.teardown.drain();
  }
  EXPECT_TRUE(before.restored()) << "threads, descriptors or GNU Go processes were left; before: "
                                 << before.text() << "; after: " << test::Census().text();
}

// A finished game: AlphaGo Zero against AlphaGo Lee, won by White by half a point (komi 7.5), and
// one point of each string the players left dead on the board.
const QString kFinishedGame = QString::fromStdString(
    std::string(MOONHAVEN_CORPUS) +
    "/ai-pro/AlphaGo Zero/Extended Data Figure 1 - AlphaGo Zero 20 block vs AlphaGo Lee/Game_004.sgf");
constexpr const char* kFinishedGameDead[] = {"da", "ra", "ng", "sl", "dp", "pq", "sr", "ns"};

Point sgfPoint(const char* letters) { return (letters[0] - 'a') + 19 * (letters[1] - 'a'); }

TEST(RoomViewWidget, DeadStonesMarkedByClickingCountUnderBothRulesAndTheMarksComeBack) {
  Lent lent;
  test::ScratchDir dir;
  auto room = shownRoom(lent);
  ASSERT_TRUE(room->openRecordFile(kFinishedGame, false));
  ASSERT_TRUE(settle([&] { return room->room().transformsAllowed() && room->room().view().atLast(); }));
  // Labels to keep: the last move's number.
  room->cycleMoveNumbers();
  ASSERT_EQ(room->room().annotations().labelCount(), 1);

  room->toggleDeadStoneMode();
  EXPECT_EQ(room->boardView()->mode(), BoardView::kDeadStoneMode);
  EXPECT_EQ(room->boardView()->cursor().pixmap().toImage(), deadStoneCursor().pixmap().toImage());
  const Board board = room->room().view().board;
  for (const char* letters : kFinishedGameDead) {
    const Point p = sgfPoint(letters);
    ASSERT_NE(board.get(p), Empty) << letters;
    if (room->room().annotations().hasMark(p, kMarkDead)) continue;  // a string already marked
    clickPoint(*room, p);
    ASSERT_TRUE(settle([&] { return room->room().annotations().hasMark(p, kMarkDead); })) << letters;
  }
  EXPECT_EQ(room->room().view().board, board) << "marking plays nothing";
  const BoardAnnotations marked = room->room().annotations();
  ASSERT_EQ(marked.labelCount(), 1);
  ASSERT_GE(marked.marksOfKind(kMarkDead).size(), std::size(kFinishedGameDead));
  const size_t soundsBefore = lent.sounds.played().size();

  const struct {
    int ruleType;
    double komi;
    const char* report;
    const char* result;
  } rules[] = {
      {GameSettings::Chinese, 3.75, "结果:\n黑: 184-3.75(贴子)=180.25\n白: 177+3.75(贴子)=180.75\n白胜  0.25 子",
       "白胜  0.25 子"},
      {GameSettings::Japanese, 7.5, "结果:\n黑方: 54(空)+28(白子)=82\n白方: 41(空)+34(黑子)+7.5(贴目)=82.5\n白胜  0.5目",
       "白胜  0.5目"},
  };
  for (const auto& r : rules) {
    SCOPED_TRACE(r.result);
    room->room().setRules(r.ruleType, r.komi);
    room->count();
    QMessageBox* box = room->findChild<QMessageBox*>(QStringLiteral("countReport"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QString::fromUtf8(r.report));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("caption"));
    EXPECT_EQ(box->buttons().size(), 1);
    EXPECT_TRUE(room->title().contains(QStringLiteral("结果: ") + QString::fromUtf8(r.result))) << room->title().toStdString();

    // While the report is open the board shows the areas and nothing else; a dead stone lies in
    // its opponent's area.
    const BoardAnnotations& shown = room->boardView()->scene().annotations;
    EXPECT_EQ(shown.labelCount(), 0);
    EXPECT_GT(shown.markCount(), 0);
    for (const BoardMark& m : shown.marks()) ASSERT_TRUE(m.kind == kMarkBlackArea || m.kind == kMarkWhiteArea);
    for (const char* letters : kFinishedGameDead) {
      const Point p = sgfPoint(letters);
      EXPECT_TRUE(shown.hasMark(p, board.get(p) == Black ? kMarkWhiteArea : kMarkBlackArea)) << letters;
    }
    // The squares are painted: black on Black's empty points, white on White's.
    const QImage picture = room->boardView()->picture();
    for (const BoardMark& m : shown.marks()) {
      if (board.get(m.point) != Empty) continue;
      const QRgb centre = picture.pixel(pixelOf(*room, m.point)) & 0xFFFFFF;
      ASSERT_EQ(centre, m.kind == kMarkBlackArea ? 0x000000u : 0xFFFFFFu) << m.point;
    }

    box->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(settle([&] { return room->findChild<QMessageBox*>(QStringLiteral("countReport")) == nullptr; }));
    EXPECT_EQ(room->room().annotations(), marked);
    EXPECT_EQ(room->boardView()->scene().annotations, marked);
  }

  // The last result is stored and saved with its margin; nothing sounded on the way.
  ASSERT_TRUE(room->saveTo(QString::fromStdString(dir.file("counted.sgf"))));
  EXPECT_EQ(lent.sounds.played().size(), soundsBefore);
  GameRecord record;
  int code = 0;
  ASSERT_EQ(loadRecordFile(dir.file("counted.sgf"), false, record, code), RecordLoadStatus::Ok);
  EXPECT_EQ(record.info().winner(), GameInfo::WhiteWins);
  EXPECT_EQ(record.info().resultText(), text::utf8ToGb("白胜  0.5目"));
}

TEST(PlayDialogWidget, DefaultsRulesSwapAndTheBrowseButton) {
  PlayDialog dialog(PlaySetup::defaults(GameSettings::Chinese, "东方不败", "蜘蛛侠"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("游戏设置"));
  EXPECT_EQ(dialog.komiBox()->value(), 3.75);
  dialog.ruleBox()->setCurrentIndex(1);
  EXPECT_EQ(dialog.komiBox()->value(), 6.5);
  EXPECT_EQ(dialog.blackPane()->nameEdit()->maxLength(), 90);
  EXPECT_TRUE(dialog.blackPane()->programEdit()->isVisibleTo(&dialog));
  EXPECT_FALSE(dialog.whitePane()->programEdit()->isVisibleTo(&dialog)) << "a person has no program";
  dialog.swapPlayers();
  PlaySetup s = dialog.setup();
  EXPECT_FALSE(s.black.gnuGo);
  EXPECT_EQ(s.black.name, "蜘蛛侠");
  EXPECT_TRUE(s.white.gnuGo);
  EXPECT_EQ(s.white.name, "东方不败");
  EXPECT_EQ(s.ruleType, GameSettings::Japanese);

  // "..." opens a file chooser; cancelling it keeps the path.
  bool chooserSeen = false;
  QTimer::singleShot(300, [&] {
    if (auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      chooserSeen = true;
      chooser->reject();
    }
  });
  QTest::mouseClick(dialog.whitePane()->browseButton(), Qt::LeftButton);
  EXPECT_TRUE(chooserSeen);
  EXPECT_EQ(dialog.setup().white.program, "gnugo");
}

TEST(RecordFileDialogWidget, OffersTheTextEncoding) {
  RecordFileDialog dialog;
  ASSERT_EQ(dialog.encodingBox()->count(), 2);
  EXPECT_EQ(dialog.encodingBox()->itemText(0), QStringLiteral("简体中文(GB)"));
  EXPECT_EQ(dialog.encodingBox()->itemText(1), QStringLiteral("繁体中文(BIG5)"));
  EXPECT_FALSE(dialog.big5());
  dialog.encodingBox()->setCurrentIndex(1);
  EXPECT_TRUE(dialog.big5());
}

}  // namespace
}  // namespace mh
