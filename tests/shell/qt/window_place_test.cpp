#include "shell/qt/window_place.h"

#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/file_bytes.h"
#include "platform/ini_document.h"
#include "shell/recent_files.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

// A main window with a bar docked on the right, as the program's frame has.
struct Window {
  QMainWindow window;
  QDockWidget* bar = new QDockWidget(QStringLiteral("bar"), &window);
  Window() {
    window.setCentralWidget(new QLabel(QStringLiteral("rooms")));
    bar->setObjectName(QStringLiteral("bar"));
    bar->setWidget(new QLabel(QStringLiteral("info")));
    window.addDockWidget(Qt::RightDockWidgetArea, bar);
  }
};

TEST(WindowPlace, TheNextStartShowsTheWindowAsItWasLeft) {
  test::ScratchDir dir;
  const std::string path = dir.file(kDesktopSettingsName);
  ASSERT_TRUE(writeFileBytes(path, "[RecentFiles]\nFile1=/r/a.sgf\n"));
  {
    Window first;
    showAtSavedPlace(first.window, dir.file("none.ini"));
    EXPECT_TRUE(first.window.isMaximized()) << "the first start is maximised";
    first.window.showNormal();
    first.window.resize(640, 480);
    first.window.addDockWidget(Qt::LeftDockWidgetArea, first.bar);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first.window));
    ASSERT_TRUE(saveWindowPlace(first.window, path));
  }
  Window next;
  showAtSavedPlace(next.window, path);
  EXPECT_FALSE(next.window.isMaximized());
  EXPECT_EQ(next.window.size(), QSize(640, 480));
  EXPECT_EQ(next.window.dockWidgetArea(next.bar), Qt::LeftDockWidgetArea) << "the bar stays where it was put";
  RecentFiles recent;
  recent.load(path);
  EXPECT_EQ(recent.files(), std::vector<std::string>{"/r/a.sgf"}) << "the file's other sections are kept";

  next.window.showMaximized();
  ASSERT_TRUE(saveWindowPlace(next.window, path));
  Window maximised;
  showAtSavedPlace(maximised.window, path);
  EXPECT_TRUE(maximised.window.isMaximized());
}

TEST(WindowPlace, AValueThatDoesNotRestoreGivesAMaximisedWindow) {
  test::ScratchDir dir;
  const std::string path = dir.file(kDesktopSettingsName);
  for (const char* text : {"[Window]\nGeometry=not base64 at all\n", "[Window]\nGeometry=\n", "[Window]\nGeometry=AAAA\n"}) {
    ASSERT_TRUE(writeFileBytes(path, text));
    Window w;
    w.window.resize(4000, 3000);  // larger than any screen, as a default size can be on a small one
    showAtSavedPlace(w.window, path);
    EXPECT_TRUE(w.window.isMaximized()) << text;
    w.window.showNormal();
    const QSize available = w.window.screen()->availableGeometry().size();
    EXPECT_EQ(w.window.size().boundedTo(available), w.window.size()) << text << ": the normal size fits the screen";
  }
  Window w;
  EXPECT_FALSE(saveWindowPlace(w.window, dir.file("no/such/folder/moonhaven.ini")));
}

}  // namespace
}  // namespace mh
