#pragma once

#include <memory>
#include <string>

#include "engine/matrix_library.h"
#include "patterns/wpb_list.h"
#include "platform/log_line.h"
#include "platform/teardown_queue.h"
#include "room/app_settings.h"
#include "room/paint/board_images.h"
#include "room/qt/room_context.h"

namespace mh {

class BoardSounds;

// What the desktop program owns for its whole run and lends to every room: the settings, the
// pattern bases (one list for the rooms' hints, one opened for GNU Go's assist), the matrix
// libraries, the board images and sounds, and the queue that ends GNU Go players off the window
// thread. Destroyed after the main frame; its teardown queue finishes last.
class DesktopServices {
 public:
  // Reads lang.ini and WPBs.ini from the program's directory and loads the board module from its
  // folder (empty: the built-in images and silence). The rooms log to log.
  DesktopServices(std::string programDirectory, const std::string& boardModuleDirectory, LogLine log = {});
  ~DesktopServices();

  AppSettings& settings() { return settings_; }
  WpbList& patternBases() { return patternBases_; }
  const BoardImages& images() const { return images_; }
  BoardSounds* sounds() const { return sounds_.get(); }
  // The context a room window is made with.
  RoomContext roomContext();

 private:
  TeardownQueue teardown_;
  LogLine log_;
  std::string programDirectory_;
  AppSettings settings_;
  WpbList patternBases_;
  WpbList assistBases_;
  MatrixLibraries matrix_;
  BoardImages images_;
  std::unique_ptr<BoardSounds> sounds_;
};

}  // namespace mh
