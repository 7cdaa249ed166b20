#include "room/qt/child_frame.h"

#include "room/qt/room_view.h"

namespace mh {

CChildFrame::CChildFrame(int number, const RoomContext& context, QWidget* parent)
    : QMdiSubWindow(parent), number_(number) {
  setAttribute(Qt::WA_DeleteOnClose);
  room_ = new RoomView(number, context, this);
  setWidget(room_);
  setWindowTitle(room_->title());
  connect(room_, &RoomView::titleChanged, this, &QMdiSubWindow::setWindowTitle);
}

}  // namespace mh
