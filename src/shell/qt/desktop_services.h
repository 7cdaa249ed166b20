#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/matrix_library.h"
#include "patterns/wpb_list.h"
#include "platform/log_line.h"
#include "platform/teardown_queue.h"
#include "room/app_settings.h"
#include "room/paint/board_images.h"
#include "room/qt/room_context.h"
#include "shell/qt/main_frame.h"
#include "shell/language_setting.h"

namespace mh {

class BoardSounds;

// Where the program's start-up finds its files, and the step it leaves to its caller.
struct StartUpOptions {
  // Where the settings files are read and written, ending with "/".
  std::string programDirectory;
  // The board module's folder (empty: the built-in images and silence).
  std::string boardModuleDirectory;
  // The read-only data shipped with the program (the corner library), ending with "/"; may be
  // empty.
  std::string dataDirectory;
  LogLine log;
  // Loads the interface language's texts once the settings files are read (may be empty).
  std::function<void(const LanguageSetting&)> loadLanguage;
};

// What the desktop program owns for its whole run and lends to every room: the settings, the
// pattern bases (one list for the rooms' hints, one opened for GNU Go's assist), the matrix
// libraries, the board images and sounds, and the queue that ends GNU Go players off the window
// thread. Destroyed after the main frame; its teardown queue finishes last.
class DesktopServices {
 public:
  // Runs the program's start-up up to the main frame, in this order: lang.ini and the language,
  // rule.ini (the default rules and komi), WPBs.ini (the pattern bases), the language's texts
  // (options.loadLanguage), the board cursors, the default pattern base opened for GNU Go's
  // assist and the matrix-pattern files, the board module. Missing files give the defaults.
  explicit DesktopServices(StartUpOptions options);
  // The same without shipped data or a language step. The rooms log to log.
  DesktopServices(std::string programDirectory, const std::string& boardModuleDirectory, LogLine log = {});
  ~DesktopServices();

  AppSettings& settings() { return settings_; }
  const LanguageSetting& language() const { return language_; }
  const std::string& programDirectory() const { return programDirectory_; }
  const std::string& dataDirectory() const { return dataDirectory_; }
  WpbList& patternBases() { return patternBases_; }
  const MatrixLibraries& matrixLibraries() const { return matrix_; }
  const BoardImages& images() const { return images_; }
  BoardSounds* sounds() const { return sounds_.get(); }
  // The context a room window is made with.
  RoomContext roomContext();
  // What the main frame is lent besides.
  FrameServices frameServices();

 private:
  TeardownQueue teardown_;
  LogLine log_;
  std::string programDirectory_;
  std::string dataDirectory_;
  LanguageSetting language_;
  AppSettings settings_;
  WpbList patternBases_;
  WpbList assistBases_;
  MatrixLibraries matrix_;
  BoardImages images_;
  std::unique_ptr<BoardSounds> sounds_;
};

}  // namespace mh
