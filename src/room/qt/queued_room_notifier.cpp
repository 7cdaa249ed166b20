#include "room/qt/queued_room_notifier.h"

#include <utility>

namespace mh {

QueuedRoomNotifier::QueuedRoomNotifier(QObject* receiver, Handler positionChanged, Handler gameOver)
    : receiver_(receiver), positionChanged_(std::move(positionChanged)), gameOver_(std::move(gameOver)) {}

void QueuedRoomNotifier::positionChanged(int game) { post(positionChanged_, game); }

void QueuedRoomNotifier::gameOver(int game) { post(gameOver_, game); }

void QueuedRoomNotifier::detach() {
  std::lock_guard lock(mutex_);
  receiver_ = nullptr;
}

void QueuedRoomNotifier::post(const Handler& handler, int game) {
  // The lock keeps the receiver from going while the call is posted; Qt discards posted calls of
  // a receiver that is deleted before they run.
  std::lock_guard lock(mutex_);
  if (!receiver_ || !handler) return;
  QMetaObject::invokeMethod(receiver_, [handler, game] { handler(game); }, Qt::QueuedConnection);
}

}  // namespace mh
