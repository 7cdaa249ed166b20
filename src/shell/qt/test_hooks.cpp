#include "shell/qt/test_hooks.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <cstdio>

#include "platform/program_paths.h"
#include "room/qt/board_view.h"
#include "room/qt/child_frame.h"
#include "room/qt/room_view.h"
#include "shell/qt/main_frame.h"

namespace mh {

void installTestHooks(QApplication& app, CMainFrame& frame, CChildFrame* firstRoom) {
  if (qEnvironmentVariableIsSet("MOONHAVEN_REPORT_BOARD")) {
    QTimer::singleShot(qEnvironmentVariableIntValue("MOONHAVEN_REPORT_BOARD"), &app,
                       [first = QPointer<CChildFrame>(firstRoom)] {
                         if (!first) return;
                         const BoardView* board = first->roomView()->boardView();
                         const QPoint at = board->mapToGlobal(QPoint(0, 0));
                         std::printf("board %d %d %d %d\n", at.x(), at.y(), board->width(), board->height());
                         std::fflush(stdout);
                       });
  }
  if (qEnvironmentVariableIsSet("MOONHAVEN_SMOKE_TEST")) {
    QTimer::singleShot(qEnvironmentVariableIntValue("MOONHAVEN_SMOKE_TEST_MS"), &app, [&app, &frame] {
      const QString shot = qEnvironmentVariable("MOONHAVEN_SCREENSHOT");
      if (!shot.isEmpty()) frame.grab().save(shot);
      std::printf("program directory: %s\n", programDirectory().c_str());
      std::printf("%s: %s\n", frame.isVisible() ? "shown" : "hidden", frame.windowTitle().toUtf8().constData());
      std::fflush(stdout);
      app.exit(frame.isVisible() ? 0 : 1);
    });
  }
}

}  // namespace mh
