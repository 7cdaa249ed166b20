#pragma once

#include <QObject>
#include <functional>
#include <mutex>

#include "room/room.h"

namespace mh {

// Hands a room's game notifications from the match driver's thread to the window thread as
// queued calls. Once detached (its window is going) it posts nothing more, and a call already
// queued for a window that has gone is dropped by Qt with the window: a closed room never
// receives one.
class QueuedRoomNotifier : public RoomNotifier {
 public:
  using Handler = std::function<void(int game)>;

  // The handlers run on the receiver's thread while the receiver lives.
  QueuedRoomNotifier(QObject* receiver, Handler positionChanged, Handler gameOver);

  void positionChanged(int game) override;
  void gameOver(int game) override;
  // Stops posting; call on the window thread before the receiver goes.
  void detach();

 private:
  void post(const Handler& handler, int game);

  std::mutex mutex_;
  QObject* receiver_;  // null once detached
  Handler positionChanged_;
  Handler gameOver_;
};

}  // namespace mh
