#pragma once

#include <QMainWindow>

#include "platform/log_line.h"

namespace mh {

class BoardView;

// The main window of the desktop program. It shows one board for now; rooms, menus and bars
// grow from here. What the frame and its rooms log goes to the log the program hands it.
class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit CMainFrame(LogLine log = {}, QWidget* parent = nullptr);

  BoardView* boardView() const { return boardView_; }
  const LogLine& log() const { return log_; }

 private:
  void createCentralBoard();

  LogLine log_;
  BoardView* boardView_ = nullptr;
};

}  // namespace mh
