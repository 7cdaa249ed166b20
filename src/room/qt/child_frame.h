#pragma once

#include <QMdiSubWindow>

#include "room/qt/room_context.h"

namespace mh {

class RoomView;

// A room's window in the main frame: its number, its title, and the room view that fills it. It
// deletes itself when closed; the room view then ends its game.
class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  CChildFrame(int number, const RoomContext& context, QWidget* parent = nullptr);

  int number() const { return number_; }
  RoomView* roomView() const { return room_; }

 private:
  const int number_;
  RoomView* room_;
};

}  // namespace mh
