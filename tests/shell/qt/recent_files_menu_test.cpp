#include "shell/qt/recent_files_menu.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "room/qt/child_frame.h"
#include "room/qt/room_view.h"
#include "shell/qt/desktop_services.h"
#include "shell/qt/main_frame.h"
#include "shell/qt/record_files.h"
#include "support/scratch_dir.h"
#include "support/board_module.h"

namespace mh {
namespace {

namespace fs = std::filesystem;

// A frame with room 100 and the recent records in a program directory of its own.
struct Program {
  const std::string home;
  DesktopServices services{home, test::kBoardModule};
  CMainFrame frame{services.roomContext()};
  RecentFilesMenu* recent = nullptr;

  explicit Program(std::string dir) : home(std::move(dir)) {
    frame.resize(1000, 760);
    frame.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.newRoom();
    recent = addRecentFilesMenu(frame, home + "/" + kDesktopSettingsName);
  }
  std::vector<QString> entries() const {
    std::vector<QString> texts;
    for (QAction* a : recent->actions()) texts.push_back(a->text());
    return texts;
  }
  std::string activeRecord() const { return frame.activeRoom()->room().filePath(); }
};

TEST(RecentFilesMenu, RecordsOpenedAnywhereAreListedAndSurviveARestart) {
  test::ScratchDir dir;
  std::vector<std::string> records;
  for (const char* name : {"a.sgf", "b.sgf", "gone.sgf"}) {
    records.push_back(dir.file(name));
    fs::copy_file(fs::directory_iterator(std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25")->path(), records.back());
  }
  {
    Program p(dir.path());
    QMenu* file = p.frame.menuBar()->actions().first()->menu();
    EXPECT_NE(std::find(file->actions().begin(), file->actions().end(), p.recent->menuAction()), file->actions().end());
    EXPECT_FALSE(p.recent->isEnabled()) << "nothing opened yet";
    (void)openRecordFiles(p.frame, {records[0]});
    (void)openRecordFiles(p.frame, {records[2]});
    p.frame.newRoom()->roomView()->openRecordFile(QString::fromStdString(records[1]), false);
    EXPECT_EQ(p.entries(), (std::vector<QString>{"&1 b.sgf", "&2 gone.sgf", "&3 a.sgf"}));
  }
  fs::remove(records[2]);
  Program again(dir.path());
  EXPECT_EQ(again.entries(), (std::vector<QString>{"&1 b.sgf", "&2 gone.sgf", "&3 a.sgf"}));

  // Choosing an entry opens it in the active room and moves it up.
  again.recent->actions()[2]->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return again.activeRecord() == records[0]; }, 5000));
  EXPECT_EQ(again.entries(), (std::vector<QString>{"&1 a.sgf", "&2 b.sgf", "&3 gone.sgf"}));

  // A file that is gone says so in its room and leaves the list.
  again.recent->actions()[2]->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return again.entries().size() == 2; }, 5000));
  EXPECT_EQ(again.entries(), (std::vector<QString>{"&1 a.sgf", "&2 b.sgf"}));
  EXPECT_NE(again.frame.findChild<QMessageBox*>(), nullptr);
  RecentFiles stored;
  stored.load(dir.file(kDesktopSettingsName));
  EXPECT_EQ(stored.files(), (std::vector<std::string>{records[0], records[1]}));
}

}  // namespace
}  // namespace mh
