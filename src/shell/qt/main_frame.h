#pragma once

#include <QMainWindow>

namespace mh {

class BoardView;

// The main window of the desktop program. It shows one board for now; rooms, menus and bars
// grow from here.
class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit CMainFrame(QWidget* parent = nullptr);

  BoardView* boardView() const { return boardView_; }

 private:
  void createCentralBoard();

  BoardView* boardView_ = nullptr;
};

}  // namespace mh
