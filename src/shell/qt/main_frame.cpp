#include "shell/qt/main_frame.h"

#include "room/qt/board_view.h"
#include "shell/app_title.h"

namespace mh {

CMainFrame::CMainFrame(LogLine log, QWidget* parent) : QMainWindow(parent), log_(std::move(log)) {
  setWindowTitle(QString::fromUtf8(kAppTitle));
  createCentralBoard();
  resize(760, 720);
}

void CMainFrame::createCentralBoard() {
  boardView_ = new BoardView(this);
  setCentralWidget(boardView_);
}

}  // namespace mh
