#pragma once

#include <QList>
#include <QMainWindow>
#include <map>

#include "room/qt/room_context.h"
#include "room/room_commands.h"

class QAction;
class QActionGroup;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPlainTextEdit;

namespace mh {

class CChildFrame;
class HintDetailsWindow;
class LibraryWindows;
class RoomView;
class StudyBar;

// The main window: the rooms as sub-windows of an MDI area, the information box beside them
// (the active room's hints and comments), and the menus whose room commands act on the active
// room. One slot decides every command's enabling from the active room.
class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit CMainFrame(RoomContext context, QWidget* parent = nullptr);
  // Closes the rooms while the frame is still whole.
  ~CMainFrame() override;

  // Opens a room with the next number and a new game between two persons.
  CChildFrame* newRoom();
  CChildFrame* activeRoomFrame() const;
  RoomView* activeRoom() const;
  QList<CChildFrame*> rooms() const;

  QMdiArea* mdiArea() const { return mdi_; }
  QPlainTextEdit* infoBox() const;
  StudyBar* studyBar() const { return studyBar_; }
  HintDetailsWindow* hintDetails() const { return hintDetails_; }
  // The record library and the pattern-library dialog.
  LibraryWindows* libraryWindows() const { return libraryWindows_; }
  QAction* recordLibraryAction() const { return recordLibrary_; }
  QAction* patternLibraryAction() const { return patternLibrary_; }
  QAction* newRoomAction() const { return newRoom_; }
  QAction* action(RoomCommand command) const { return actions_.at(command); }

 public slots:
  // Fills and shows the hint details window for the active room.
  void showHintDetails();
  void updateActions();

 private:
  void createActions();
  void createMenus();
  void createStudyBar();
  QAction* roomAction(RoomCommand command, const QString& text, const QKeySequence& shortcut,
                      void (RoomView::*slot)());
  void roomActivated(QMdiSubWindow* window);
  void fillLibraryChoices();

  RoomContext context_;
  QMdiArea* mdi_ = nullptr;
  StudyBar* studyBar_ = nullptr;
  HintDetailsWindow* hintDetails_ = nullptr;
  LibraryWindows* libraryWindows_ = nullptr;
  QAction* recordLibrary_ = nullptr;
  QAction* patternLibrary_ = nullptr;
  QAction* newRoom_ = nullptr;
  QAction* exit_ = nullptr;
  QMenu* libraryMenu_ = nullptr;
  QActionGroup* libraryGroup_ = nullptr;
  std::map<RoomCommand, QAction*> actions_;
  RoomView* active_ = nullptr;
};

}  // namespace mh
