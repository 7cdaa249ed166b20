#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "platform/log_file.h"
#include "shell/qt/main_frame.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The program's one log; the file appears only when something is logged.
  const auto log = std::make_shared<mh::LogFile>(mh::LogFile::kProgramLogName);
  mh::CMainFrame frame(mh::LogFile::writer(log));
  frame.show();
  // Start-up check for tests: report the shown window (optionally saving a picture of it to
  // MOONHAVEN_SCREENSHOT) and quit once the event loop runs.
  if (qEnvironmentVariableIsSet("MOONHAVEN_SMOKE_TEST")) {
    QTimer::singleShot(0, &app, [&] {
      const QString shot = qEnvironmentVariable("MOONHAVEN_SCREENSHOT");
      if (!shot.isEmpty()) frame.grab().save(shot);
      std::printf("%s: %s\n", frame.isVisible() ? "shown" : "hidden", frame.windowTitle().toUtf8().constData());
      std::fflush(stdout);
      app.exit(frame.isVisible() ? 0 : 1);
    });
  }
  return app.exec();
}
