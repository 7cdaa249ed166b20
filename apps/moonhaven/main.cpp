#include <QApplication>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/log_file.h"
#include "platform/program_paths.h"
#include "shell/qt/desktop_services.h"
#include "shell/qt/glyph_check.h"
#include "shell/qt/main_frame.h"
#include "shell/qt/program_icon.h"
#include "shell/qt/recent_files_menu.h"
#include "shell/qt/record_files.h"
#include "shell/qt/test_hooks.h"
#include "shell/qt/ui_language.h"
#include "shell/qt/window_place.h"
#include "shell/recent_files.h"
#include "shell/records_to_open.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The desktop matches the windows to the program's menu entry; every window shows its icon.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(mh::kDesktopAppId));
  QApplication::setWindowIcon(mh::programIcon());
  // For end-to-end tests: every window and menu shown is checked for texts no font can draw.
  if (qEnvironmentVariableIsSet("MOONHAVEN_GLYPH_REPORT"))
    mh::installGlyphReport(app, qEnvironmentVariable("MOONHAVEN_GLYPH_REPORT"));
  // The program's one log, in the program's directory; the file appears only when something is
  // logged.
  const auto log = std::make_shared<mh::LogFile>(mh::programDirectory() + mh::LogFile::kProgramLogName);
  // Start-up up to the main frame: the settings files, the interface language (before any window
  // reads its texts), the cursors, the pattern bases, the matrix patterns, the board module.
  mh::StartUpOptions options;
  options.programDirectory = mh::programDirectory();
  options.boardModuleDirectory = mh::boardModuleDirectory(mh::executableDirectory());
  options.dataDirectory = mh::dataDirectory();
  options.log = mh::LogFile::writer(log);
  options.loadLanguage = [&app](const mh::LanguageSetting& language) { mh::installUiLanguage(app, language.language); };
  mh::DesktopServices services(std::move(options));
  // Then the main frame, maximised at the first start (afterwards as the last run left it), with
  // room 100 and a game between two persons.
  mh::CMainFrame frame(services.roomContext(), services.frameServices());
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
  mh::installTestHooks(app, frame, first);
  const int status = app.exec();
  (void)mh::saveWindowPlace(frame, settingsPath);
  return status;
}
