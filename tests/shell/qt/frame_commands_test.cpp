// The main frame's own commands: start-up, the room limit, the room bar, the bars, keep on top,
// the settings, the language menu, the custom index, and leaving nothing behind at exit.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/ini_file.h"
#include "room/qt/child_frame.h"
#include "room/qt/room_view.h"
#include "shell/frame_commands.h"
#include "shell/qt/desktop_services.h"
#include "shell/qt/main_frame.h"
#include "shell/qt/room_bar.h"
#include "shell/qt/settings_dialog.h"
#include "support/corpus_pattern_base.h"
#include "support/process_census.h"
#include "support/qt/when_modal.h"
#include "support/scratch_dir.h"
#include "support/board_module.h"
#include "support/qt/settle.h"

namespace mh {
namespace {


using test::settle;

// The program as start-up leaves it, in a program directory of its own.
struct Program {
  explicit Program(const std::string& home, const std::string& data = {}) {
    StartUpOptions options;
    options.programDirectory = home;
    options.boardModuleDirectory = test::kBoardModule;
    options.dataDirectory = data;
    options.loadLanguage = [this](const LanguageSetting& language) { loadedLanguage = language.language; };
    options.log = [this](std::string_view line) {
      const std::lock_guard lock(logMutex);
      logLines.emplace_back(line);
    };
    services = std::make_unique<DesktopServices>(std::move(options));
    frame = std::make_unique<CMainFrame>(services->roomContext(), services->frameServices());
    frame->resize(1000, 760);
    frame->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  }
  ~Program() {
    frame.reset();
    services.reset();
  }
  int roomCount() const { return static_cast<int>(frame->rooms().size()); }

  int loadedLanguage = -1;
  std::mutex logMutex;
  std::vector<std::string> logLines;
  std::unique_ptr<DesktopServices> services;
  std::unique_ptr<CMainFrame> frame;
};

TEST(FrameStartUp, WithoutSettingsFilesEnglishJapaneseRulesEveryHintAndSoundAndRoom100) {
  const test::ScratchDir home;
  Program p(home.path() + "/");
  EXPECT_EQ(p.loadedLanguage, LanguageSetting::English);
  const AppSettings& s = p.services->settings();
  EXPECT_EQ(s.defaultRules.ruleType, GameSettings::Japanese);
  EXPECT_EQ(s.defaultRules.komi, 6.5);
  EXPECT_TRUE(s.globalHints && s.localHints && s.matrixHints && s.studySound);
  EXPECT_EQ(s.stoneSoundMode, AppSettings::EveryRoom);
  EXPECT_FALSE(s.displayInBig5);
  EXPECT_TRUE(p.frame->action(FrameCommand::LanguageEnglish)->isChecked());
  EXPECT_FALSE(p.frame->action(FrameCommand::LanguageChinese)->isChecked());
  ASSERT_NE(p.frame->newRoom(), nullptr);
  EXPECT_EQ(p.frame->rooms().front()->number(), 100);
  EXPECT_TRUE(p.frame->activeRoomFrame()->windowTitle().startsWith(QStringLiteral("100棋室")));
  EXPECT_EQ(p.frame->activeRoom()->room().settings().komi, 6.5);
  EXPECT_TRUE(std::filesystem::is_empty(home.path())) << "start-up writes nothing";
}

TEST(FrameStartUp, LangChoosesTheLanguageAndItsCheckMark) {
  const struct {
    const char* lang;
    int language;
    bool big5;
  } cases[] = {{"10001", LanguageSetting::SimplifiedChinese, false},
               {"10002", LanguageSetting::TraditionalChinese, true},
               {"10003", LanguageSetting::English, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lang);
    const test::ScratchDir home;
    std::ofstream(home.file("lang.ini")) << "[SETTING]\nLANG=" << c.lang << "\n";
    Program p(home.path() + "/");
    EXPECT_EQ(p.loadedLanguage, c.language);
    EXPECT_EQ(p.services->settings().displayInBig5, c.big5);
    EXPECT_EQ(p.frame->action(FrameCommand::LanguageChinese)->isChecked(), c.language != LanguageSetting::English);
  }
}

TEST(FrameCommandsUi, NineRoomsDisableNewRoomAndCtrlNUntilOneCloses) {
  const test::ScratchDir home;
  Program p(home.path() + "/");
  QAction* newRoom = p.frame->newRoomAction();
  for (int n = 0; n < kMaxRooms; ++n) {
    EXPECT_TRUE(newRoom->isEnabled()) << n << " rooms";
    QTest::keyClick(p.frame.get(), Qt::Key_N, Qt::ControlModifier);
  }
  ASSERT_EQ(p.roomCount(), kMaxRooms);
  EXPECT_FALSE(newRoom->isEnabled());
  QTest::keyClick(p.frame.get(), Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(p.frame->newRoom(), nullptr);
  EXPECT_EQ(p.roomCount(), kMaxRooms) << "Ctrl+N does nothing at nine rooms";
  EXPECT_EQ(p.frame->roomBar()->tabBar()->count(), kMaxRooms);

  p.frame->rooms()[4]->close();
  ASSERT_TRUE(settle([&] { return newRoom->isEnabled(); }));
  EXPECT_EQ(p.roomCount(), kMaxRooms - 1);
  QTest::keyClick(p.frame.get(), Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(p.roomCount(), kMaxRooms);
  EXPECT_EQ(p.frame->rooms().back()->number(), 109) << "numbered on from the highest open room";

  p.frame->action(FrameCommand::CloseAllRooms)->trigger();
  ASSERT_TRUE(settle([&] { return p.roomCount() == 0 && p.frame->roomBar()->tabBar()->count() == 0; }));
  EXPECT_FALSE(p.frame->action(FrameCommand::Cascade)->isEnabled());
  EXPECT_FALSE(p.frame->action(FrameCommand::NewGame)->isEnabled());
}

TEST(FrameCommandsUi, TheRoomBarFollowsActivationBothWays) {
  const test::ScratchDir home;
  Program p(home.path() + "/");
  CChildFrame* first = p.frame->newRoom();
  CChildFrame* second = p.frame->newRoom();
  CChildFrame* third = p.frame->newRoom();
  QTabBar* tabs = p.frame->roomBar()->tabBar();
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral("100棋室"));
  EXPECT_EQ(tabs->tabText(2), QStringLiteral("102棋室"));
  EXPECT_EQ(tabs->currentIndex(), 2);

  p.frame->mdiArea()->setActiveSubWindow(first);
  EXPECT_EQ(tabs->currentIndex(), 0) << "activating a room selects its tab";
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  EXPECT_EQ(p.frame->activeRoomFrame(), second) << "selecting a tab activates its room";

  second->close();
  ASSERT_TRUE(settle([&] { return tabs->count() == 2; }));
  EXPECT_EQ(tabs->tabText(1), QStringLiteral("102棋室"));
  p.frame->mdiArea()->setActiveSubWindow(third);
  EXPECT_EQ(tabs->currentIndex(), 1);
}

TEST(FrameCommandsUi, KeepOnTopTwiceReturnsToNormalWithoutMoving) {
  const test::ScratchDir home;
  Program p(home.path() + "/");
  const QRect before = p.frame->geometry();
  QAction* top = p.frame->action(FrameCommand::KeepOnTop);
  EXPECT_FALSE(p.frame->keepsOnTop());
  top->trigger();
  EXPECT_TRUE(p.frame->keepsOnTop());
  EXPECT_TRUE(top->isChecked());
  EXPECT_TRUE(p.frame->isVisible());
  top->trigger();
  EXPECT_FALSE(p.frame->keepsOnTop());
  EXPECT_FALSE(top->isChecked());
  EXPECT_TRUE(p.frame->isVisible());
  EXPECT_EQ(p.frame->geometry(), before);
}

TEST(FrameCommandsUi, HidingTheStudyBarKeepsTheRoomsTexts) {
  Program p(test::sharedTygemProgramDirectory());
  CChildFrame* first = p.frame->newRoom();
  ASSERT_TRUE(settle([&] { return p.frame->infoBox()->toPlainText().startsWith(QStringLiteral("A, 总:")); }));
  const QString hints = p.frame->infoBox()->toPlainText();

  p.frame->action(FrameCommand::ViewStudyBar)->trigger();
  EXPECT_TRUE(p.frame->studyBarDock()->isHidden());
  CChildFrame* second = p.frame->newRoom();
  ASSERT_TRUE(settle([&] { return !second->roomView()->infoText().isEmpty(); }));
  EXPECT_EQ(first->roomView()->infoText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")), hints);

  p.frame->action(FrameCommand::ViewStudyBar)->trigger();
  EXPECT_FALSE(p.frame->studyBarDock()->isHidden());
  EXPECT_TRUE(p.frame->action(FrameCommand::ViewStudyBar)->isChecked());
  p.frame->mdiArea()->setActiveSubWindow(first);
  EXPECT_EQ(p.frame->infoBox()->toPlainText(), hints);

  for (FrameCommand bar : {FrameCommand::ViewToolbar, FrameCommand::ViewStatusBar, FrameCommand::ViewRoomBar}) {
    QAction* item = p.frame->action(bar);
    ASSERT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(item->isChecked());
  }
  EXPECT_TRUE(p.frame->toolBar()->isHidden());
  EXPECT_TRUE(p.frame->roomBarDock()->isHidden());
}

// The menus as the user sees them, in the running language.
TEST(FrameCommandsUi, NoTwoItemsOfAMenuShareAnAccessKeyAndEveryButtonsPictureIsInTheMenus) {
  const test::ScratchDir home;
  Program p(home.path() + "/");
  std::set<QKeySequence> titles;
  std::map<QString, QString> shortcuts;
  std::set<QAction*> inMenus;
  const std::function<void(QMenu*)> walk = [&](QMenu* menu) {
    std::map<QKeySequence, QString> keys;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      inMenus.insert(a);
      const QKeySequence key = QKeySequence::mnemonic(a->text());
      if (!key.isEmpty()) {
        const auto [it, fresh] = keys.emplace(key, a->text());
        EXPECT_TRUE(fresh) << menu->title().toStdString() << ": " << a->text().toStdString() << " and "
                           << it->second.toStdString();
      }
      if (!a->shortcut().isEmpty()) {
        const auto [it, fresh] = shortcuts.emplace(a->shortcut().toString(), a->text());
        EXPECT_TRUE(fresh) << a->shortcut().toString().toStdString() << ": " << a->text().toStdString();
      }
      if (a->menu()) walk(a->menu());
    }
  };
  for (QAction* top : p.frame->menuBar()->actions()) {
    EXPECT_TRUE(titles.insert(QKeySequence::mnemonic(top->text())).second) << top->text().toStdString();
    walk(top->menu());
  }
  for (QAction* button : p.frame->toolBar()->actions()) {
    if (button->isSeparator()) continue;
    EXPECT_FALSE(button->icon().isNull()) << button->text().toStdString();
    EXPECT_TRUE(inMenus.count(button)) << button->text().toStdString() << " has no menu item";
  }
  EXPECT_EQ(shortcuts.count(QStringLiteral("Ctrl+X")), 1u);
}

TEST(FrameCommandsUi, SettingsStoreOnOkAndNotOnCancel) {
  const test::ScratchDir home;
  Program p(home.path() + "/");
  test::whenModal<SettingsDialog>([](SettingsDialog* d) {
    EXPECT_TRUE(d->globalHintsBox()->isChecked());
    EXPECT_TRUE(d->matrixHintsBox()->isHidden());
    d->globalHintsBox()->setChecked(false);
    d->stoneSoundButton(2)->setChecked(true);
    d->reject();
  });
  p.frame->action(FrameCommand::Settings)->trigger();
  EXPECT_TRUE(p.services->settings().globalHints) << "Cancel changes nothing";

  test::whenModal<SettingsDialog>([](SettingsDialog* d) {
    d->globalHintsBox()->setChecked(false);
    d->studySoundBox()->setChecked(false);
    d->stoneSoundButton(1)->setChecked(true);
    d->accept();
  });
  p.frame->action(FrameCommand::Settings)->trigger();
  const AppSettings& s = p.services->settings();
  EXPECT_FALSE(s.globalHints);
  EXPECT_TRUE(s.localHints);
  EXPECT_FALSE(s.studySound);
  EXPECT_EQ(s.stoneSoundMode, AppSettings::ActiveRoomOnly);
  EXPECT_EQ(s.defaultRules.komi, 6.5) << "what the dialog does not show stays";
  EXPECT_FALSE(std::filesystem::exists(home.file("rule.ini"))) << "the switches are not stored";
}

TEST(FrameCommandsUi, TheLanguageMenuWritesLangIniForTheNextStart) {
  const test::ScratchDir home;
  Program p(home.path() + "/");
  const struct {
    FrameCommand item;
    int lang;
  } cases[] = {{FrameCommand::LanguageChinese, 0}, {FrameCommand::LanguageEnglish, 1}};
  for (const auto& c : cases) {
    QString said;
    test::whenModal<QMessageBox>([&said](QMessageBox* box) {
      said = box->text();
      box->accept();
    });
    p.frame->action(c.item)->trigger();
    EXPECT_EQ(said, QStringLiteral("语言的设置将会在程序重启的时候有效."));
    EXPECT_EQ(LanguageSetting::readLang(home.file("lang.ini")), c.lang);
    EXPECT_TRUE(p.frame->action(FrameCommand::LanguageEnglish)->isChecked()) << "the running language stays";
    EXPECT_FALSE(p.frame->action(FrameCommand::LanguageChinese)->isChecked());
  }
}

TEST(FrameCommandsUi, UpdatingTheCustomIndexCountsItsRecords) {
  const test::ScratchDir home;
  const std::string dir = home.path() + "/";
  std::ofstream(home.file("WPBs.ini")) << "[WPBS]\nTOTAL=2\n[WPB_0]\nTITLE0=a\nSGFPATH=ra\nFILENAME=a\n"
                                          "[WPB_1]\nTITLE0=custom\nSGFPATH=mine\nFILENAME=mine\n";
  std::filesystem::create_directories(dir + "mine/sub");
  const std::string corpus = std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25/";
  int copied = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (copied == 3) break;
    std::filesystem::copy_file(entry.path(), dir + (copied == 0 ? "mine/sub/" : "mine/") + entry.path().filename().string());
    ++copied;
  }
  std::ofstream(dir + "mine/broken.sgf") << "(;B[aa]";
  Program p(dir);
  EXPECT_TRUE(p.frame->action(FrameCommand::UpdateCustomIndex)->isEnabled());
  QString said;
  test::whenModal<QMessageBox>([&said](QMessageBox* box) {
    said = box->text();
    box->accept();
  });
  p.frame->action(FrameCommand::UpdateCustomIndex)->trigger();
  EXPECT_EQ(said, QStringLiteral("自定义棋谱总数:  3"));
  EXPECT_TRUE(std::filesystem::exists(dir + "mine.idx"));
  {
    const std::lock_guard lock(p.logMutex);
    EXPECT_EQ(std::count_if(p.logLines.begin(), p.logLines.end(),
                            [&](const std::string& line) {
                              return line.starts_with("skipped record file " + dir + "mine/broken.sgf: ");
                            }),
              1);
  }

  const test::ScratchDir alone;
  Program one(alone.path() + "/");
  EXPECT_FALSE(one.frame->action(FrameCommand::UpdateCustomIndex)->isEnabled()) << "no custom library configured";
}

TEST(FrameCommandsUi, ThePersonPassesFromTheGameMenu) {
  const test::ScratchDir home;
  Program p(home.path() + "/");
  p.frame->newRoom();
  QAction* pass = p.frame->action(FrameCommand::Pass);
  ASSERT_TRUE(settle([&] {
    p.frame->updateActions();
    return pass->isEnabled();
  }));
  pass->trigger();
  ASSERT_TRUE(settle([&] { return p.frame->activeRoom()->room().view().currentIndex == 1; }));
  EXPECT_EQ(p.frame->activeRoom()->room().view().sideToMove, White);
}

TEST(FrameCommandsUi, TilingSetsRoomsSideBySideOrStacked) {
  const test::ScratchDir home;
  Program p(home.path() + "/");
  CChildFrame* a = p.frame->newRoom();
  CChildFrame* b = p.frame->newRoom();
  p.frame->action(FrameCommand::TileVertically)->trigger();
  EXPECT_EQ(a->geometry().top(), b->geometry().top());
  EXPECT_LT(a->geometry().right(), b->geometry().left());
  p.frame->action(FrameCommand::TileHorizontally)->trigger();
  EXPECT_EQ(a->geometry().left(), b->geometry().left());
  EXPECT_LT(a->geometry().bottom(), b->geometry().top());
  p.frame->action(FrameCommand::Cascade)->trigger();
  EXPECT_NE(a->geometry().topLeft(), b->geometry().topLeft());
}

// Closing the program ends every room's game as closing a room does: no GNU Go process, thread
// or descriptor stays.
TEST(FrameCommandsUi, ClosingTheProgramLeavesNothingBehind) {
  {
    // Qt's own threads and descriptors (sound, fonts) come with the first window and stay.
    const test::ScratchDir home;
    Program warm(home.path() + "/");
    warm.frame->newRoom();
    QTest::qWait(200);
  }
  // Taken once what the warm-up ended has left the process table, however loaded the machine.
  const test::Census before = test::Census::settled();
  {
    const test::ScratchDir home;
    Program p(home.path() + "/");
    for (int n = 0; n < 2; ++n) {
      CChildFrame* room = p.frame->newRoom();
      PlaySetup setup = PlaySetup::defaults(GameSettings::Chinese, "gnu", "gnu2");
      setup.white.gnuGo = true;
      setup.black.level = setup.white.level = 1;
      setup.black.assist = setup.white.assist = false;
      room->roomView()->startGame(playChoice(setup, false));
    }
    ASSERT_TRUE(settle([&] { return !test::childProcesses().empty(); }));
    p.frame->close();
    EXPECT_TRUE(settle([&] { return p.roomCount() == 0; }));
  }
  EXPECT_TRUE(before.restored()) << "before: " << before.text() << "; after: " << test::Census().text();
}

}  // namespace
}  // namespace mh
