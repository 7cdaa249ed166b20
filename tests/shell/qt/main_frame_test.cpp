#include "shell/qt/main_frame.h"

#include <QAction>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "room/qt/board_view.h"
#include "room/qt/child_frame.h"
#include "room/qt/hint_details_window.h"
#include "room/qt/room_view.h"
#include "shell/qt/desktop_services.h"
#include "support/corpus_pattern_base.h"

namespace mh {
namespace {

const std::string kModule = std::string(MOONHAVEN_BINARY_DIR) + "/apps/board";

template <typename Pred>
bool settle(Pred pred, int timeoutMs = 20000) {
  return QTest::qWaitFor(pred, timeoutMs);
}

struct Desktop {
  DesktopServices services{test::sharedTygemProgramDirectory(), kModule};
  CMainFrame frame{services.roomContext()};

  Desktop() {
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

}  // namespace
}  // namespace mh
