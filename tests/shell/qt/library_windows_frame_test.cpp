// The main frame's library windows: the record library opens games in the active room, and a
// build from the pattern-library dialog takes the base away from the rooms and the library and
// gives it back.
#include <QAction>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

#include "library_windows/qt/library_windows.h"
#include "library_windows/qt/pattern_library_dialog.h"
#include "library_windows/qt/record_library_model.h"
#include "library_windows/qt/record_library_window.h"
#include "library_windows/record_columns.h"
#include "platform/text_codec.h"
#include "room/qt/child_frame.h"
#include "room/qt/room_view.h"
#include "room/qt/study_bar.h"
#include "shell/qt/desktop_services.h"
#include "shell/qt/main_frame.h"
#include "support/corpus_pattern_base.h"
#include "support/qt/item_view_clicks.h"
#include "support/scratch_dir.h"
#include "support/board_module.h"

namespace mh {
namespace {

struct Desktop {
  DesktopServices services{test::sharedTygemProgramDirectory(), test::kBoardModule};
  CMainFrame frame{services.roomContext()};

  Desktop() {
    frame.resize(1000, 760);
    frame.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
  }
  const GameIndex& index() { return services.patternBases().at(0)->gameIndex(); }
};

TEST(LibraryWindows, CtrlDOpensTheLibraryWhoseDoubleClickOpensTheGameAtItsEnd) {
  Desktop d;
  CChildFrame* first = d.frame.newRoom();
  CChildFrame* second = d.frame.newRoom();
  EXPECT_EQ(d.frame.libraryWindows()->recordLibrary(), nullptr) << "made on first use";
  QTest::keyClick(&d.frame, Qt::Key_D, Qt::ControlModifier);
  RecordLibraryWindow* w = d.frame.libraryWindows()->recordLibrary();
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  RecordLibraryModel* model = w->model();
  ASSERT_EQ(model->rowCount(), d.index().count());

  // The players of the first game, as Black; a double-click on the last row.
  w->applyFilter({d.index().entry(0).blackName(), PlayerFilter::AsBlack});
  ASSERT_GT(model->rowCount(), 0);
  const int row = model->rowCount() - 1;
  const int game = model->view().gameAt(row);
  QTableView* table = w->table();
  table->scrollToBottom();
  test::doubleClick(table, table->visualRect(model->index(row, 0)).center());
  RoomView* active = second->roomView();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !active->room().filePath().empty(); }, 10000));
  EXPECT_EQ(active->room().filePath(), *d.index().pathOf(game));
  EXPECT_EQ(active->room().view().currentIndex, active->room().view().lastIndex) << "at its last position";
  EXPECT_EQ(active->room().view().lastIndex, d.index().entry(game).moveCount());
  EXPECT_TRUE(first->roomView()->room().filePath().empty()) << "only the active room";
  // The information box shows the record's players, as for a record opened from a file.
  const QString black = QString::fromStdString(text::displayText(d.index().entry(game).blackName(), false));
  EXPECT_TRUE(active->infoText().contains(QStringLiteral("黑: ") + black)) << active->infoText().toStdString();
  EXPECT_EQ(d.frame.infoBox()->toPlainText(), QString(active->infoText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

  // Without a room a double-click does nothing.
  for (CChildFrame* room : d.frame.rooms()) room->close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return d.frame.rooms().isEmpty(); }, 10000));
  test::doubleClick(table, table->visualRect(model->index(0, 0)).center());
  EXPECT_TRUE(d.frame.rooms().isEmpty());
}

// Through the main frame: while its base is built the record library lists nothing and keeps its
// filter and sort; afterwards it lists the base again and the room is refreshed with hints.
TEST(LibraryWindows, ARebuiltBaseIsLetGoAndTakenUpAgain) {
  Desktop d;
  CMainFrame& frame = d.frame;
  DesktopServices& services = d.services;
  CChildFrame* room = frame.newRoom();
  frame.recordLibraryAction()->trigger();
  RecordLibraryWindow* library = frame.libraryWindows()->recordLibrary();
  RecordLibraryModel* model = library->model();
  library->applyFilter({services.patternBases().at(0)->gameIndex().entry(0).whiteName(), PlayerFilter::AnyColour});
  (void)model->clickHeader(2);
  const int rows = model->rowCount();
  ASSERT_GT(rows, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !room->roomView()->infoText().isEmpty(); }, 10000));

  frame.patternLibraryAction()->trigger();
  PatternLibraryDialog* dialog = frame.libraryWindows()->patternLibraryDialog();
  ASSERT_NE(dialog, nullptr);
  QTest::mouseClick(dialog->buildButton(), Qt::LeftButton);
  ASSERT_EQ(dialog->session().state(), PatternBuildSession::State::Running);
  EXPECT_EQ(model->rowCount(), 0) << "the library let go of the index";
  library->showBase(0);
  EXPECT_EQ(model->rowCount(), 0) << "and cannot take it up while the build runs";
  EXPECT_FALSE(services.patternBases().at(0)->isOpen());
  ASSERT_TRUE(QTest::qWaitFor([&] { return room->roomView()->infoText().isEmpty(); }, 10000))
      << "the room shows no hints from a base being built";

  ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->timer()->isActive(); }, 60000));
  EXPECT_TRUE(services.patternBases().at(0)->isOpen());
  EXPECT_EQ(model->rowCount(), rows) << "the same filter on the rebuilt index";
  EXPECT_EQ(model->view().sortState(), (RecordSortState{2, 2}));
  EXPECT_FALSE(room->roomView()->infoText().isEmpty()) << "the room was refreshed with hints";
}

// A base added and one removed through the dialog: every list of bases shows the new list, and a
// room that took hints from the removed base shows none, without reading its files again.
TEST(LibraryWindows, AddingAndRemovingABaseReachesTheRoomsAndTheLibrary) {
  namespace fs = std::filesystem;
  // A program's directory of its own that shares the built base's files.
  test::ScratchDir home;
  for (const auto& e : fs::directory_iterator(test::sharedTygemProgramDirectory())) {
    const fs::path to = home.path() + "/" + e.path().filename().string();
    if (e.path().filename() == "WPBs.ini") fs::copy_file(e.path(), to);
    else fs::create_symlink(e.path(), to);
  }
  DesktopServices services{home.path() + "/", test::kBoardModule};
  CMainFrame frame{services.roomContext()};
  frame.show();
  CChildFrame* room = frame.newRoom();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !room->roomView()->infoText().isEmpty(); }, 10000));
  frame.recordLibraryAction()->trigger();
  RecordLibraryWindow* library = frame.libraryWindows()->recordLibrary();
  frame.patternLibraryAction()->trigger();
  PatternLibraryDialog* dialog = frame.libraryWindows()->patternLibraryDialog();

  ASSERT_EQ(dialog->addBase({QStringLiteral("第二"), QString::fromStdString(home.path() + "/records"),
                             QStringLiteral("second")}),
            QString());
  EXPECT_EQ(frame.studyBar()->libraryBox()->count(), 2);
  EXPECT_EQ(library->baseChoice()->count(), 2);
  EXPECT_EQ(room->roomView()->room().libraryIndex(), 0);

  ASSERT_TRUE(dialog->removeBase(0, false));
  EXPECT_EQ(room->roomView()->room().libraryIndex(), -1);
  EXPECT_TRUE(room->roomView()->infoText().isEmpty()) << "no hints from a removed base";
  frame.showHintDetails();
  EXPECT_EQ(frame.studyBar()->libraryBox()->count(), 1);
  EXPECT_EQ(frame.studyBar()->libraryBox()->itemText(0), QStringLiteral("第二")) << "titles are held in GB";
  ASSERT_EQ(library->baseChoice()->count(), 1);
  EXPECT_EQ(library->shownBase(), 0) << "the default base in place of the removed one";
  EXPECT_EQ(library->model()->rowCount(), 0) << "not built yet";
  CChildFrame* next = frame.newRoom();
  EXPECT_EQ(next->roomView()->room().libraryIndex(), 0);

  // The next base added: the room without one takes the default, the other keeps its own.
  ASSERT_EQ(dialog->addBase({QStringLiteral("third"), QString::fromStdString(home.path() + "/records"),
                             QStringLiteral("third")}),
            QString());
  EXPECT_EQ(room->roomView()->room().libraryIndex(), 0);
  EXPECT_EQ(next->roomView()->room().libraryIndex(), 0);
}

}  // namespace
}  // namespace mh
