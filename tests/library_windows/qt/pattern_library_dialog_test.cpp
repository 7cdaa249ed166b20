#include "library_windows/qt/pattern_library_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "patterns/file_game_loader.h"
#include "support/qt/when_modal.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

void shoot(QWidget* w, const char* name) {
  const QString dir = qEnvironmentVariable("MOONHAVEN_SHOTS");
  if (!dir.isEmpty()) w->grab().save(dir + "/" + name + ".png");
}

struct NoUsers : PatternBaseUsers {
  int released = 0;
  int rebuilt = 0;
  void releasePatternBase(int) override { ++released; }
  void patternBaseRebuilt(int) override { ++rebuilt; }
  void patternBasesRenumbered(const std::vector<int>&) override {}
};

// A program's directory with two pattern bases; the first over copies of 60 tygem-gb games.
struct Home {
  test::ScratchDir dir;
  WpbList bases;
  NoUsers users;

  Home() {
    const std::string records = dir.path() + "/records/";
    fs::create_directories(records);
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25")) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (size_t i = 0; i < 60; ++i) fs::copy_file(files[i], records + files[i].filename().string());
    std::ofstream(ini()) << "[WPBS]\r\nTOTAL=2\r\nDEFAULT=1\r\n"
                         << "[WPB_0]\r\nTITLE1=\xB6\xA5\xBC\xB6\r\nSGFPATH=records\r\nFILENAME=top\r\n"
                         << "[WPB_1]\r\nTITLE1=mine\r\nSGFPATH=/nowhere\r\nFILENAME=mine\r\n";
    bases.read(ini(), dir.path() + "/", 1);
  }
  std::string ini() const { return dir.file("WPBs.ini"); }
};

GameLoader slowLoader() {
  return [load = fileGameLoader()](const std::string& path, GameRecord& record, int& winner, ParseError* error) {
    std::this_thread::sleep_for(10ms);
    return load(path, record, winner, error);
  };
}

// Ticks as the timer would, every 5 ms, until the condition holds.
bool tickUntil(PatternLibraryDialog& d, const std::function<bool()>& done) {
  for (int i = 0; i < 4000; ++i) {
    if (done()) return true;
    d.tick();
    QTest::qWait(5);
  }
  return done();
}

TEST(PatternLibraryDialog, ShowsTheBasesAndTheSelectedOnesValues) {
  Home home;
  PatternLibraryDialog d(&home.bases, home.users, home.ini(), false);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("全局模式库管理"));
  ASSERT_EQ(d.list()->count(), 2);
  EXPECT_EQ(d.list()->item(0)->text(), QStringLiteral("顶级"));
  EXPECT_EQ(d.list()->item(1)->text(), QStringLiteral("mine(default)"));
  EXPECT_EQ(d.list()->currentRow(), 0);
  EXPECT_EQ(d.titleField()->text(), QStringLiteral("顶级"));
  EXPECT_EQ(d.folderField()->text(), QString::fromStdString(home.dir.path() + "/records/"));
  EXPECT_EQ(d.fileField()->text(), QStringLiteral("top"));
  d.list()->setCurrentRow(1);
  EXPECT_EQ(d.folderField()->text(), QStringLiteral("/nowhere/"));
  for (QCheckBox* box : {d.indexSwitch(), d.globalSwitch(), d.localSwitch()}) EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(d.buildButton()->text(), QStringLiteral("创建WPB数据"));

  // "..." gives the selected base another folder, kept in WPBs.ini.
  const std::string other = home.dir.path() + "/other";
  fs::create_directories(other);
  ASSERT_TRUE(d.setRecordFolder(QString::fromStdString(other)));
  EXPECT_EQ(d.folderField()->text(), QString::fromStdString(other + "/"));
  WpbList reread;
  reread.read(home.ini(), home.dir.path() + "/", 1);
  EXPECT_EQ(reread.at(1)->recordDirectory(), other + "/");
}

TEST(PatternLibraryDialog, AllSwitchesOffFinishesAtOnceAndTheNextTickClearsTheText) {
  Home home;
  PatternLibraryDialog d(&home.bases, home.users, home.ini(), false);
  for (QCheckBox* box : {d.indexSwitch(), d.globalSwitch(), d.localSwitch()}) box->setChecked(false);
  QTest::mouseClick(d.buildButton(), Qt::LeftButton);
  EXPECT_TRUE(d.timer()->isActive());
  EXPECT_EQ(d.timer()->interval(), 1000);
  EXPECT_EQ(d.buildButton()->text(), QStringLiteral("停止")) << "until a tick finds the build ended";
  ASSERT_TRUE(tickUntil(d, [&] { return !d.timer()->isActive(); }));
  EXPECT_EQ(d.statusText()->toPlainText(), QString());
  EXPECT_EQ(d.buildButton()->text(), QStringLiteral("创建WPBs"));
  EXPECT_TRUE(d.buildButton()->isEnabled());
  EXPECT_EQ(home.users.released, 1);
  EXPECT_EQ(home.users.rebuilt, 1);
}

TEST(PatternLibraryDialog, StopKeepsTheWorkAndTheNextBuildResumesToTheEnd) {
  Home home;
  PatternLibraryDialog d(&home.bases, home.users, home.ini(), false, slowLoader());
  d.show();
  // Indexed first: a scan hands each game it adds to the libraries at once, so on a fresh base
  // they keep pace with it and a stop would land in the scan, not in the library.
  d.globalSwitch()->setChecked(false);
  d.localSwitch()->setChecked(false);
  QTest::mouseClick(d.buildButton(), Qt::LeftButton);
  ASSERT_TRUE(tickUntil(d, [&] { return !d.timer()->isActive(); }));
  d.globalSwitch()->setChecked(true);
  QTest::mouseClick(d.buildButton(), Qt::LeftButton);
  EXPECT_EQ(d.buildButton()->text(), QStringLiteral("停止"));
  EXPECT_FALSE(d.indexSwitch()->isEnabled()) << "the switches hold while a build runs";
  EXPECT_FALSE(d.browseButton()->isEnabled()) << "no new folder for a base being built";
  // The counter may pass several games between two ticks on a busy machine.
  ASSERT_TRUE(tickUntil(d, [&] {
    return d.statusText()->toPlainText().startsWith(QStringLiteral("正在创建全局模式库")) && d.progressBar()->value() >= 10;
  }));
  EXPECT_TRUE(d.statusText()->toPlainText().startsWith(QStringLiteral("正在创建全局模式库, \n棋谱总数:60, \n当前:")));
  EXPECT_EQ(d.progressBar()->maximum(), 60);
  EXPECT_GE(d.progressBar()->value(), 10);
  shoot(&d, "pattern-library-mid-build");

  QTest::mouseClick(d.buildButton(), Qt::LeftButton);
  EXPECT_EQ(d.buildButton()->text(), QStringLiteral("创建WPBs"));
  ASSERT_TRUE(tickUntil(d, [&] { return !d.timer()->isActive(); }));
  EXPECT_TRUE(d.buildButton()->isEnabled());
  // The text says the work is kept; the bar, which counted one phase, is emptied.
  EXPECT_EQ(d.statusText()->toPlainText(), QStringLiteral("已停止, 已完成的部分已保存"));
  EXPECT_LT(d.progressBar()->value(), d.progressBar()->minimum());
  shoot(&d, "pattern-library-stopped");
  Wpb* base = home.bases.at(0);
  EXPECT_FALSE(base->isBuilding());
  base->openForHints();
  const int firstEntries = base->globalLibrary().entryCount();
  EXPECT_GT(firstEntries, 0) << "the stopped build's library is usable";
  EXPECT_EQ(base->gameIndex().count(), 60);

  // Pressed again: the build continues with the games not added yet, and ends by itself.
  QTest::mouseClick(d.buildButton(), Qt::LeftButton);
  EXPECT_FALSE(base->isOpen()) << "closed again for the build";
  // The index scan that follows lists all 60 files again; a busy machine may tick during it.
  int globalTotal = -1;
  ASSERT_TRUE(tickUntil(d, [&] {
    if (d.statusText()->toPlainText().startsWith(QStringLiteral("正在创建全局模式库")))
      globalTotal = d.progressBar()->maximum();
    return !d.timer()->isActive();
  }));
  EXPECT_GT(globalTotal, 0);
  EXPECT_LT(globalTotal, 60) << "only the games the first build did not add";
  EXPECT_EQ(d.progressBar()->value(), d.progressBar()->maximum()) << "a build that ran to its end fills the bar";
  EXPECT_EQ(d.buildButton()->text(), QStringLiteral("创建WPBs"));
  base->openForHints();
  EXPECT_GT(base->globalLibrary().entryCount(), firstEntries);
}

TEST(PatternLibraryDialog, ClosingTheDialogStopsTheBuild) {
  Home home;
  PatternLibraryDialog d(&home.bases, home.users, home.ini(), false, slowLoader());
  d.show();
  QTest::mouseClick(d.buildButton(), Qt::LeftButton);
  ASSERT_EQ(d.session().state(), PatternBuildSession::State::Running);
  QTest::keyClick(&d, Qt::Key_Escape);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.session().state(), PatternBuildSession::State::Stopping);
  ASSERT_TRUE(QTest::qWaitFor([&] { return d.session().state() == PatternBuildSession::State::Idle; }, 20000))
      << "the timer reaps it while the dialog is hidden";
}

// "Add..." refuses, inside its dialog, a folder that does not exist or holds no record, and adds
// the base under the file name proposed from its title; "Remove" asks, and deletes the files
// when told to, but never while the base is being built.
TEST(PatternLibraryDialog, AddAndRemoveABase) {
  Home home;
  PatternLibraryDialog d(&home.bases, home.users, home.ini(), false);
  const std::string empty = home.dir.path() + "/empty";
  fs::create_directories(empty);
  QStringList refusals;
  test::whenModal<AddPatternBaseDialog>([&](AddPatternBaseDialog* add) {
    QTest::keyClicks(add->titleField(), QStringLiteral("My Games"));
    EXPECT_EQ(add->fileField()->text(), QStringLiteral("my-games")) << "proposed from the title";
    for (const std::string& folder : {std::string("/no/such/folder"), empty}) {
      add->folderField()->setText(QString::fromStdString(folder));
      QTest::mouseClick(add->okButton(), Qt::LeftButton);
      EXPECT_TRUE(add->isVisible());
      refusals << add->refusal()->text();
    }
    shoot(add, "add-pattern-base-refused");
    add->folderField()->setText(QString::fromStdString(home.dir.path() + "/records"));
    QTest::mouseClick(add->okButton(), Qt::LeftButton);
  });
  QTest::mouseClick(d.addButton(), Qt::LeftButton);
  EXPECT_EQ(refusals, (QStringList{QStringLiteral("棋谱路径不存在: /no/such/folder"),
                                   QString::fromStdString("棋谱路径中没有棋谱 (.sgf 或 .gib 文件): " + empty)}));
  ASSERT_EQ(d.list()->count(), 3);
  EXPECT_EQ(d.list()->currentRow(), 2) << "the new base is selected";
  EXPECT_EQ(d.fileField()->text(), QStringLiteral("my-games"));
  shoot(&d, "pattern-library-added");
  WpbList reread;
  reread.read(home.ini(), home.dir.path() + "/", 1);
  ASSERT_EQ(reread.count(), 3);
  EXPECT_EQ(reread.at(2)->title(), "My Games");

  // A build of the first base holds its Remove back.
  for (QCheckBox* box : {d.indexSwitch(), d.globalSwitch(), d.localSwitch()}) box->setChecked(false);
  d.list()->setCurrentRow(0);
  QTest::mouseClick(d.buildButton(), Qt::LeftButton);
  EXPECT_FALSE(d.removeButton()->isEnabled());
  d.list()->setCurrentRow(2);
  EXPECT_TRUE(d.removeButton()->isEnabled());
  ASSERT_TRUE(tickUntil(d, [&] { return !d.timer()->isActive(); }));

  for (const char* ext : {".idx", ".wp2", ".lb"}) std::ofstream(home.dir.file(std::string("my-games") + ext)) << "x";
  test::whenModal<QMessageBox>([](QMessageBox* ask) {
    ask->checkBox()->setChecked(true);
    for (QAbstractButton* button : ask->buttons())
      if (button->text() == QStringLiteral("移除")) button->click();
  });
  QTest::mouseClick(d.removeButton(), Qt::LeftButton);
  EXPECT_EQ(d.list()->count(), 2);
  for (const char* ext : {".idx", ".wp2", ".lb"}) EXPECT_FALSE(fs::exists(home.dir.file(std::string("my-games") + ext)));
  reread.read(home.ini(), home.dir.path() + "/", 1);
  EXPECT_EQ(reread.count(), 2);
}

}  // namespace
}  // namespace mh
