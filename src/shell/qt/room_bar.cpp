#include "shell/qt/room_bar.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QTabBar>

#include "room/qt/child_frame.h"

namespace mh {

RoomBar::RoomBar(QWidget* parent) : QWidget(parent), tabs_(new QTabBar(this)) {
  tabs_->setObjectName(QStringLiteral("roomTabs"));
  tabs_->setExpanding(false);
  tabs_->setDocumentMode(true);
  tabs_->setDrawBase(false);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 0, 2, 0);
  layout->addWidget(tabs_);
  layout->addStretch(1);
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    if (CChildFrame* room = roomAt(index)) emit roomChosen(room);
  });
}

QString RoomBar::tabTitle(int number) { return tr("%1棋室").arg(number); }

void RoomBar::addRoom(CChildFrame* room) {
  const QSignalBlocker quiet(tabs_);
  rooms_.push_back(room);
  tabs_->addTab(tabTitle(room->number()));
  connect(room, &QObject::destroyed, this, [this, room] { removeRoom(room); });
}

void RoomBar::removeRoom(CChildFrame* room) {
  for (int i = 0; i < rooms_.size(); ++i) {
    if (rooms_[i] != room) continue;
    const QSignalBlocker quiet(tabs_);
    rooms_.removeAt(i);
    tabs_->removeTab(i);
    return;
  }
}

void RoomBar::setActiveRoom(CChildFrame* room) {
  const QSignalBlocker quiet(tabs_);
  for (int i = 0; i < rooms_.size(); ++i)
    if (rooms_[i] == room) tabs_->setCurrentIndex(i);
}

CChildFrame* RoomBar::roomAt(int index) const {
  return index >= 0 && index < rooms_.size() ? rooms_[index] : nullptr;
}

}  // namespace mh
