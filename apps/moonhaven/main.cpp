#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/log_file.h"
#include "platform/program_paths.h"
#include "room/qt/board_view.h"
#include "room/qt/child_frame.h"
#include "room/qt/room_view.h"
#include "shell/language_setting.h"
#include "shell/qt/desktop_services.h"
#include "shell/qt/glyph_check.h"
#include "shell/qt/main_frame.h"
#include "shell/qt/recent_files_menu.h"
#include "shell/qt/record_files.h"
#include "shell/qt/ui_language.h"
#include "shell/qt/window_place.h"
#include "shell/recent_files.h"
#include "shell/records_to_open.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The interface language from lang.ini, before any window reads its texts.
  mh::installUiLanguage(app, mh::LanguageSetting::load(mh::programDirectory()).language);
  // For end-to-end tests: every window and menu shown is checked for texts no font can draw.
  if (qEnvironmentVariableIsSet("MOONHAVEN_GLYPH_REPORT"))
    mh::installGlyphReport(app, qEnvironmentVariable("MOONHAVEN_GLYPH_REPORT"));
  // The program's one log, in the program's directory; the file appears only when something is
  // logged.
  const auto log = std::make_shared<mh::LogFile>(mh::programDirectory() + mh::LogFile::kProgramLogName);
  mh::DesktopServices services(mh::programDirectory(), mh::boardModuleDirectory(mh::executableDirectory()),
                               mh::LogFile::writer(log));
  mh::CMainFrame frame(services.roomContext());
  // Maximised at the first start; afterwards as the last run left it.
  const std::string settingsPath = mh::programDirectory() + mh::kDesktopSettingsName;
  mh::showAtSavedPlace(frame, settingsPath);
  mh::CChildFrame* first = frame.newRoom();
  // The File menu's last records, following every room from here on.
  mh::addRecentFilesMenu(frame, settingsPath);
  // Records named on the command line (what Qt left of it): room 100 takes the first.
  std::error_code ec;
  const std::string cwd = std::filesystem::current_path(ec).string();
  mh::openRecordFiles(frame, mh::recordFileArguments(std::vector<std::string>(argv + 1, argv + argc), cwd));
  // Records dropped on the window from a file manager.
  mh::acceptRecordDrops(frame);
  // For end-to-end tests: where room 100's board lies on the screen, once it is shown.
  if (qEnvironmentVariableIsSet("MOONHAVEN_REPORT_BOARD")) {
    QTimer::singleShot(qEnvironmentVariableIntValue("MOONHAVEN_REPORT_BOARD"), &app, [first] {
      const mh::BoardView* board = first->roomView()->boardView();
      const QPoint at = board->mapToGlobal(QPoint(0, 0));
      std::printf("board %d %d %d %d\n", at.x(), at.y(), board->width(), board->height());
      std::fflush(stdout);
    });
  }
  // Start-up check for tests: report the shown window and where room 100's board lies on the
  // screen (optionally saving a picture of the window to MOONHAVEN_SCREENSHOT), then quit once
  // the room has drawn its first position.
  if (qEnvironmentVariableIsSet("MOONHAVEN_SMOKE_TEST")) {
    QTimer::singleShot(qEnvironmentVariableIntValue("MOONHAVEN_SMOKE_TEST_MS"), &app, [&] {
      const QString shot = qEnvironmentVariable("MOONHAVEN_SCREENSHOT");
      if (!shot.isEmpty()) frame.grab().save(shot);
      std::printf("program directory: %s\n", mh::programDirectory().c_str());
      std::printf("%s: %s\n", frame.isVisible() ? "shown" : "hidden", frame.windowTitle().toUtf8().constData());
      std::fflush(stdout);
      app.exit(frame.isVisible() ? 0 : 1);
    });
  }
  const int status = app.exec();
  (void)mh::saveWindowPlace(frame, settingsPath);
  return status;
}
