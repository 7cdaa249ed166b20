#pragma once

#include <QList>
#include <QWidget>

class QTabBar;

namespace mh {

class CChildFrame;

// The room bar: one tab per open room, in the order the rooms were opened, titled with the room's
// number and "棋室". It follows the active room (setActiveRoom) and asks for a room to be
// activated when the user picks its tab (roomChosen); neither direction echoes back.
class RoomBar : public QWidget {
  Q_OBJECT

 public:
  explicit RoomBar(QWidget* parent = nullptr);

  // Appends a tab for the room; the tab goes when the room is destroyed.
  void addRoom(CChildFrame* room);
  void removeRoom(CChildFrame* room);
  // Selects the room's tab without announcing it.
  void setActiveRoom(CChildFrame* room);
  QTabBar* tabBar() const { return tabs_; }
  // The room of a tab; null outside the bar.
  CChildFrame* roomAt(int index) const;

  // The title of a room's tab.
  static QString tabTitle(int number);

 signals:
  void roomChosen(mh::CChildFrame* room);

 private:
  QTabBar* tabs_;
  // Plain pointers: a room leaves the list when it is destroyed, and a weak pointer would be read
  // as a CChildFrame while its QObject part is still being torn down.
  QList<CChildFrame*> rooms_;
};

}  // namespace mh
