#include "shell/qt/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMdiArea>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "room/qt/board_view.h"
#include "room/qt/board_sounds.h"
#include "room/qt/child_frame.h"
#include "room/qt/hint_details_window.h"
#include "room/qt/room_view.h"
#include "room/qt/rules_dialog.h"
#include "room/qt/study_bar.h"
#include "room/room_sounds.h"
#include "shell/qt/desktop_services.h"
#include "support/corpus_pattern_base.h"
#include "support/scratch_dir.h"
#include "support/board_module.h"
#include "support/qt/settle.h"

namespace mh {
namespace {


using test::settle;

struct Desktop {
  DesktopServices services;
  CMainFrame frame{services.roomContext()};

  explicit Desktop(const std::string& home = test::sharedTygemProgramDirectory()) : services(home, test::kBoardModule) {
    frame.resize(1000, 760);
    frame.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
  }
  std::vector<int> numbers() const {
    std::vector<int> n;
    for (CChildFrame* room : frame.rooms()) n.push_back(room->number());
    return n;
  }
};

TEST(MainFrame, RoomsAreNumberedFromTheHighestOpenOne) {
  Desktop d;
  EXPECT_EQ(d.frame.windowTitle(), QStringLiteral("Moonhaven(Stonelark)2.2版"));
  for (auto* a : {d.frame.action(RoomCommand::NewGame), d.frame.action(RoomCommand::FlipX)})
    EXPECT_FALSE(a->isEnabled()) << "no room, no room commands";
  CChildFrame* first = d.frame.newRoom();
  d.frame.newRoom();
  EXPECT_EQ(d.numbers(), (std::vector<int>{100, 101}));
  first->close();
  ASSERT_TRUE(settle([&] { return d.frame.rooms().size() == 1; }));
  d.frame.newRoom();
  EXPECT_EQ(d.numbers(), (std::vector<int>{101, 102}));
  for (CChildFrame* room : d.frame.rooms()) room->close();
  ASSERT_TRUE(settle([&] { return d.frame.rooms().isEmpty(); }));
  d.frame.newRoomAction()->trigger();
  EXPECT_EQ(d.numbers(), (std::vector<int>{100}));
  EXPECT_TRUE(d.frame.activeRoomFrame()->windowTitle().startsWith(QStringLiteral("100棋室( 无名文件")));
  EXPECT_TRUE(d.frame.action(RoomCommand::EndGame)->isEnabled());
  d.frame.action(RoomCommand::EndGame)->trigger();
  EXPECT_FALSE(d.frame.action(RoomCommand::EndGame)->isEnabled()) << "nothing left to end";
}

TEST(MainFrame, TheInformationBoxFollowsTheActiveRoomAndHintDetailsOpenGames) {
  Desktop d;
  CChildFrame* first = d.frame.newRoom();
  ASSERT_TRUE(settle([&] { return d.frame.infoBox()->toPlainText().startsWith(QStringLiteral("A, 总:")); }));
  const QString emptyBoardHints = d.frame.infoBox()->toPlainText();
  EXPECT_FALSE(emptyBoardHints.contains(QLatin1Char('\r')));

  // A second room with a game at move 60: its own hints, then the first room's again.
  CChildFrame* second = d.frame.newRoom();
  const QString record = QString::fromStdString(std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25/253550034.sgf");
  ASSERT_TRUE(second->roomView()->openRecordFile(record, false, 60));
  ASSERT_TRUE(settle([&] { return d.frame.infoBox()->toPlainText() != emptyBoardHints; }));
  d.frame.mdiArea()->setActiveSubWindow(first);
  EXPECT_EQ(d.frame.infoBox()->toPlainText(), emptyBoardHints);

  // Hint details of the empty board; a double-click on a game opens it in the active room there.
  d.frame.action(RoomCommand::HintDetails)->trigger();
  QTreeWidget* tree = d.frame.hintDetails()->tree();
  ASSERT_GT(tree->topLevelItemCount(), 0);
  QTreeWidgetItem* hint = tree->topLevelItem(0);
  EXPECT_EQ(hint->text(0), QStringLiteral("A"));
  EXPECT_FALSE(hint->isExpanded()) << "rows start folded";
  hint->setExpanded(true);
  ASSERT_GT(hint->childCount(), 0);
  QTreeWidgetItem* game = hint->child(0);
  EXPECT_TRUE(game->text(0).startsWith(QStringLiteral("A(")));
  emit tree->itemDoubleClicked(game, 0);
  RoomView* room = first->roomView();
  ASSERT_TRUE(settle([&] { return !room->room().filePath().empty(); }));
  EXPECT_EQ(room->room().view().currentIndex, 0) << "the hint's move was the game's first";
  EXPECT_GT(room->room().view().lastIndex, 0);
}

TEST(MainFrame, StudyBarButtonCyclesMoveNumbers) {
  Desktop d;
  CChildFrame* room = d.frame.newRoom();
  std::vector<int> modes;
  for (int i = 0; i < 4; ++i) {
    d.frame.action(RoomCommand::MoveNumbers)->trigger();
    modes.push_back(room->roomView()->room().moveNumberMode());
  }
  EXPECT_EQ(modes, (std::vector<int>{1, 2, 3, 0}));
}

const QString kRecord = QString::fromStdString(std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25/253550034.sgf");

// The study commands the bar offers now.
std::set<StudyCommand> offered(const StudyBar& bar) {
  std::set<StudyCommand> on;
  for (StudyCommand c : kStudyCommands)
    if (bar.action(c)->isEnabled()) on.insert(c);
  return on;
}

// Triggers a bar command and waits until the room has refreshed the position it leads to and the
// driver waits for the person again.
void step(Desktop& d, StudyCommand command, int expectedIndex) {
  RoomView* room = d.frame.activeRoom();
  QSignalSpy refreshed(room, &RoomView::infoTextChanged);
  d.frame.studyBar()->action(command)->trigger();
  ASSERT_TRUE(settle([&] {
    return !refreshed.isEmpty() && room->room().view().currentIndex == expectedIndex &&
           room->room().transformsAllowed() && room->title().endsWith(QStringLiteral("手数:%1 )").arg(expectedIndex));
  })) << "after command " << static_cast<int>(command) << " at " << room->room().view().currentIndex;
}

// Clicks the first empty point of the board and waits until the move stands at index and the
// driver waits for the person again.
void playAtFirstEmpty(RoomView& room, int index) {
  const GameStateView v = room.room().view();
  Point p = 0;
  while (v.board.get(p) != Empty) ++p;
  const BoardGeometry& g = room.boardView()->geometry();
  QTest::mouseClick(room.boardView(), Qt::LeftButton, {}, QPoint(g.centreX(p % 19), g.centreY(p / 19)));
  ASSERT_TRUE(settle([&] { return room.room().view().currentIndex == index && room.room().transformsAllowed(); }))
      << "at " << room.room().view().currentIndex << ", waiting for " << index;
}

TEST(MainFrame, TheStudyBarStepsThroughARecordAndStudiesWithoutChangingIt) {
  using C = StudyCommand;
  Desktop d;
  CChildFrame* frame = d.frame.newRoom();
  RoomView* room = frame->roomView();
  StudyBar* bar = d.frame.studyBar();
  ASSERT_TRUE(room->openRecordFile(kRecord, false, 3));
  ASSERT_TRUE(settle([&] { return room->room().transformsAllowed() && bar->action(C::First)->isEnabled(); }));
  const std::set<C> inside = {C::First, C::PreviousFive, C::Previous, C::Next, C::NextFive, C::Last,
                              C::TakeBackToHere, C::Study};
  const auto comments = [&] {
    std::set<C> c;
    if (room->room().view().previousCommented >= 0) c.insert(C::PreviousComment);
    if (room->room().view().nextCommented >= 0) c.insert(C::NextComment);
    return c;
  };
  const auto with = [](std::set<C> a, const std::set<C>& b) {
    a.insert(b.begin(), b.end());
    return a;
  };
  EXPECT_EQ(offered(*bar), with(inside, comments()));

  // Five back from move 3 stops at the start.
  step(d, C::PreviousFive, 0);
  EXPECT_EQ(offered(*bar), with({C::Next, C::NextFive, C::Last, C::TakeBackToHere, C::Study}, comments()));
  const int last = room->room().view().lastIndex;
  step(d, C::Last, last);
  EXPECT_EQ(offered(*bar), with({C::First, C::PreviousFive, C::Previous, C::TakeBack, C::Study}, comments()));

  // ">" sounds a stone even where the move captured nothing; stepping back is silent.
  auto& played = d.services.sounds()->played();
  for (int i = 0; i < 8; ++i) step(d, C::PreviousFive, last - 5 * (i + 1));
  const size_t before = played.size();
  step(d, C::Next, last - 39);
  ASSERT_EQ(played.size(), before + 1);
  EXPECT_EQ(played.back(), kStoneSound);

  // Study at move 47: three moves, "|<" back to where study began, then end study.
  const int start = room->room().view().currentIndex;
  const GameStateView record = room->room().view();
  d.frame.studyBar()->action(C::Study)->trigger();
  EXPECT_EQ(played.back(), kStudySound);
  EXPECT_TRUE(room->room().view().studying);
  EXPECT_FALSE(bar->action(C::Study)->isEnabled());
  EXPECT_TRUE(bar->action(C::EndStudy)->isEnabled());
  EXPECT_TRUE(bar->action(C::Restudy)->isEnabled());
  EXPECT_FALSE(bar->action(C::First)->isEnabled()) << "the study start is the first position";
  for (int i = 1; i <= 3; ++i) playAtFirstEmpty(*room, start + i);
  EXPECT_EQ(room->room().view().moves.size(), 3u) << "numbered from the study start";
  EXPECT_TRUE(bar->action(C::TakeBack)->isEnabled());
  step(d, C::First, start);
  EXPECT_TRUE(room->room().view().studying);
  step(d, C::EndStudy, start);
  EXPECT_EQ(played.back(), kEndStudySound);
  const GameStateView after = room->room().view();
  EXPECT_FALSE(after.studying);
  EXPECT_EQ(after.board, record.board);
  EXPECT_EQ(after.lastIndex, record.lastIndex);
  EXPECT_EQ(*after.mainRecord, *record.mainRecord);

  // Marking dead stones, and a game that has ended, leave nothing to step.
  d.frame.action(RoomCommand::MarkDead)->trigger();
  EXPECT_TRUE(d.frame.action(RoomCommand::MarkDead)->isChecked());
  EXPECT_EQ(offered(*bar), std::set<C>{});
  d.frame.action(RoomCommand::MarkDead)->trigger();
  EXPECT_FALSE(d.frame.action(RoomCommand::MarkDead)->isChecked());
  EXPECT_FALSE(offered(*bar).empty());
  d.frame.action(RoomCommand::EndGame)->trigger();
  EXPECT_EQ(offered(*bar), std::set<C>{});
}

// A professional game whose move 107 carries a comment; no earlier move does.
const QString kCommentedRecord =
    QString::fromStdString(std::string(MOONHAVEN_CORPUS) + "/ai-pro/master/09-2016.12.29-Meng_Tailing-Magist.sgf");

TEST(MainFrame, AClickInAnEarlierPositionStudiesAndTakingBackFollowsTheBar) {
  using C = StudyCommand;
  Desktop d;
  RoomView* room = d.frame.newRoom()->roomView();
  StudyBar* bar = d.frame.studyBar();
  ASSERT_TRUE(room->openRecordFile(kCommentedRecord, false, 100));
  ASSERT_TRUE(settle([&] { return room->room().transformsAllowed() && bar->action(C::First)->isEnabled(); }));
  const GameStateView record = room->room().view();
  const int last = record.lastIndex;
  ASSERT_GT(last, 110);
  const auto view = [&] { return room->room().view(); };

  // The comment jumps: forward to the commented move, and nothing further back.
  EXPECT_FALSE(bar->action(C::PreviousComment)->isEnabled());
  step(d, C::NextComment, 107);
  EXPECT_TRUE(d.frame.infoBox()->toPlainText().contains(QStringLiteral("Operator error"))) << "the comment is shown";
  EXPECT_FALSE(bar->action(C::PreviousComment)->isEnabled()) << view().previousCommented;
  step(d, C::PreviousFive, 102);

  // A click in an earlier position starts study first: the chime has played before the stone.
  auto& played = d.services.sounds()->played();
  const size_t before = played.size();
  playAtFirstEmpty(*room, 103);
  ASSERT_TRUE(settle([&] { return played.size() >= before + 2; }));
  EXPECT_EQ(played[before], kStudySound);
  EXPECT_EQ(played[before + 1], kStoneSound);
  EXPECT_TRUE(view().studying);
  EXPECT_EQ(view().studyStart, 102);
  EXPECT_EQ(offered(*bar), (std::set<C>{C::First, C::PreviousFive, C::Previous, C::TakeBack, C::Restudy, C::EndStudy}));

  // Take back to here drops the study moves after the shown one; take back drops the last one.
  playAtFirstEmpty(*room, 104);
  step(d, C::Previous, 103);
  EXPECT_EQ(offered(*bar), (std::set<C>{C::First, C::PreviousFive, C::Previous, C::Next, C::NextFive, C::Last,
                                        C::TakeBackToHere, C::Restudy, C::EndStudy}));
  step(d, C::TakeBackToHere, 103);
  EXPECT_EQ(view().lastIndex, 103);
  EXPECT_EQ(offered(*bar), (std::set<C>{C::First, C::PreviousFive, C::Previous, C::TakeBack, C::Restudy, C::EndStudy}));
  step(d, C::TakeBack, 102);
  EXPECT_EQ(view().lastIndex, 102);
  EXPECT_EQ(offered(*bar), (std::set<C>{C::Restudy, C::EndStudy})) << "nothing before the study start to take back";

  // Restudy starts again from the same position with no study moves.
  playAtFirstEmpty(*room, 103);
  step(d, C::Restudy, 102);
  EXPECT_TRUE(view().studying);
  EXPECT_EQ(view().lastIndex, 102);
  EXPECT_TRUE(view().moves.empty());
  // With the study sound switched off, ending study is silent.
  d.services.settings().studySound = false;
  const size_t beforeEnd = played.size();
  step(d, C::EndStudy, 102);
  EXPECT_EQ(played.size(), beforeEnd);
  EXPECT_FALSE(view().studying);
  EXPECT_EQ(view().lastIndex, last);
  EXPECT_EQ(*view().mainRecord, *record.mainRecord) << "studying left the record as it was";

  // Off study, take back shortens the record itself, and stays on offer at its new end.
  step(d, C::Last, last);
  step(d, C::TakeBack, last - 1);
  EXPECT_EQ(view().lastIndex, last - 1);
  EXPECT_EQ(view().mainRecord->entries().size(), record.mainRecord->entries().size() - 1);
  EXPECT_TRUE(bar->action(C::TakeBack)->isEnabled());
  EXPECT_FALSE(bar->action(C::Next)->isEnabled());
}

// Answers the next modal dialog of type T with the given steps, once it is shown.
template <typename T>
void answerDialog(std::function<void(T&)> steps, bool* seen) {
  QTimer::singleShot(0, [steps = std::move(steps), seen] {
    if (!QTest::qWaitFor([] { return qobject_cast<T*>(QApplication::activeModalWidget()) != nullptr; }, 5000)) return;
    *seen = true;
    steps(*qobject_cast<T*>(QApplication::activeModalWidget()));
  });
}

std::string fileText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(MainFrame, TheRulesDialogSetsTheRoomsRulesAndWritesTheDefault) {
  test::ScratchDir home;
  Desktop d(home.path());
  RoomView* room = d.frame.newRoom()->roomView();
  room->room().setRules(GameSettings::Japanese, 5.5);
  QAction* rules = d.frame.action(RoomCommand::Rules);
  const std::string ini = home.file("rule.ini");

  const struct {
    const char* what;
    int type;
    double komi;
    bool keep;
    bool accept;
    const char* written;  // the whole rule.ini afterwards
  } cases[] = {
      {"Chinese, kept", GameSettings::Chinese, 3.75, true, true, "[SETTING]\nRULETYPE=1\nKOMI=3.75\n"},
      {"cancelled", GameSettings::Japanese, 9.0, true, false, "[SETTING]\nRULETYPE=1\nKOMI=3.75\n"},
      {"Japanese 7, kept", GameSettings::Japanese, 7.0, true, true, "[SETTING]\nRULETYPE=2\nKOMI=7.0\n"},
      {"room only", GameSettings::Chinese, 2.5, false, true, "[SETTING]\nRULETYPE=2\nKOMI=7.0\n"},
  };
  GameSettings expected = room->room().settings();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const int openedOn = room->room().settings().ruleType;
    bool seen = false;
    answerDialog<RulesDialog>([&](RulesDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), QStringLiteral("规则设置"));
      // The dialog starts from the usual komi of the room's rules, not the room's own komi.
      EXPECT_EQ(dialog.fields().ruleBox()->currentIndex(), openedOn - 1);
      EXPECT_EQ(dialog.fields().komi(), RuleSettings::defaultKomi(openedOn));
      EXPECT_EQ(dialog.fields().komiLabel()->text(),
                openedOn == GameSettings::Chinese ? QStringLiteral("贴子数:") : QStringLiteral("贴目数:"));
      dialog.fields().ruleBox()->setCurrentIndex(c.type - 1);
      dialog.fields().komiBox()->setValue(c.komi);
      dialog.defaultBox()->setChecked(c.keep);
      if (c.accept) dialog.accept();
      else dialog.reject();
    }, &seen);
    rules->trigger();
    ASSERT_TRUE(seen);
    if (c.accept) {
      expected.ruleType = c.type;
      expected.komi = c.komi;
    }
    EXPECT_EQ(room->room().settings().ruleType, expected.ruleType);
    EXPECT_EQ(room->room().settings().komi, expected.komi);
    EXPECT_EQ(fileText(ini), c.written);
  }
  // New games take the kept default.
  const GameSettings fresh = d.frame.newRoom()->roomView()->room().settings();
  EXPECT_EQ(fresh.ruleType, GameSettings::Japanese);
  EXPECT_EQ(fresh.komi, 7.0);

  // A rule.ini that cannot be written is reported; the default still holds for this run.
  std::filesystem::remove(ini);
  std::filesystem::create_directory(ini);
  bool seen = false;
  answerDialog<RulesDialog>([](RulesDialog& dialog) {
    dialog.defaultBox()->setChecked(true);
    dialog.accept();
  }, &seen);
  RoomView* active = d.frame.activeRoom();
  rules->trigger();
  ASSERT_TRUE(seen);
  QMessageBox* box = active->findChild<QMessageBox*>();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), QStringLiteral("保存缺省规则失败!"));
  EXPECT_EQ(d.services.settings().defaultRules, (RuleSettings{GameSettings::Japanese, 6.5}));
}

}  // namespace
}  // namespace mh
