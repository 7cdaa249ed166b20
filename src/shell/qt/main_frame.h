#pragma once

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <string>

#include "room/qt/room_context.h"
#include "room/room_commands.h"
#include "shell/frame_commands.h"
#include "shell/language_setting.h"

class QAction;
class QActionGroup;
class QDockWidget;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPlainTextEdit;
class QToolBar;

namespace mh {

class CChildFrame;
class FrameActions;
class HintDetailsWindow;
class LibraryWindows;
class RoomBar;
class RoomView;
class StudyBar;
struct AppSettings;

// What the main frame needs beyond what it lends its rooms.
struct FrameServices {
  // The settings the settings dialog changes (null: the dialog changes nothing).
  AppSettings* settings = nullptr;
  // The running interface language (the language menu's check marks, the help page's language).
  LanguageSetting language;
  // The read-only data shipped with the program (the help pages), ending with "/".
  std::string dataDirectory;
};

// The main window: up to nine rooms as sub-windows of an MDI area, the menus and toolbar whose
// commands act on the frame or the active room, the status bar, the study bar on the right
// (the active room's information text) and the room bar at the bottom (a tab per room). One slot
// decides every command's enabling.
class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit CMainFrame(RoomContext context, FrameServices services = {}, QWidget* parent = nullptr);
  // Closes the rooms while the frame is still whole.
  ~CMainFrame() override;

  // Opens a room with the next number and a new game between two persons; null when nine rooms
  // are open already.
  CChildFrame* newRoom();
  CChildFrame* activeRoomFrame() const;
  RoomView* activeRoom() const;
  // The open rooms in the order they were opened.
  QList<CChildFrame*> rooms() const;

  QMdiArea* mdiArea() const { return mdi_; }
  QPlainTextEdit* infoBox() const;
  StudyBar* studyBar() const { return studyBar_; }
  HintDetailsWindow* hintDetails() const { return hintDetails_; }
  // The record library and the pattern-library dialog.
  LibraryWindows* libraryWindows() const { return libraryWindows_; }
  QAction* recordLibraryAction() const { return action(FrameCommand::RecordLibrary); }
  QAction* patternLibraryAction() const { return action(FrameCommand::PatternLibrary); }
  QToolBar* toolBar() const { return toolBar_; }
  QDockWidget* studyBarDock() const { return studyDock_; }
  QDockWidget* roomBarDock() const { return roomDock_; }
  RoomBar* roomBar() const { return roomBar_; }
  const std::vector<QMenu*>& menus() const { return menus_; }
  QAction* action(FrameCommand command) const;
  QAction* action(RoomCommand command) const;
  QAction* newRoomAction() const { return action(FrameCommand::NewRoom); }
  bool keepsOnTop() const;

 public slots:
  // Fills and shows the hint details window for the active room.
  void showHintDetails();
  void updateActions();
  void closeAllRooms();
  void showSettings();
  void showAbout();
  void updateCustomIndex();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void connectCommands();
  void connectRoomCommand(FrameCommand command, void (RoomView::*slot)());
  void createToolBar();
  void createStudyBar();
  void createRoomBar();
  void createLibraryMenu(QMenu* roomMenu);
  // The pattern bases' titles, in the interface's script.
  QStringList patternBaseTitles() const;
  // Fills the Room menu's and the study bar's lists of pattern bases afresh (at start and after a
  // base was added or removed) and makes the list's default the one new rooms take.
  void showPatternBases();
  void roomActivated(QMdiSubWindow* window);
  void tile(bool horizontally);
  void arrangeIcons();
  void setKeepOnTop(bool on);
  void chooseLanguage(int lang);
  void showHelpPage();
  void sendFeedback();
  void showMessage(const QString& text);
  int openRoomCount() const;

  RoomContext context_;
  FrameServices services_;
  FrameActions* actions_ = nullptr;
  std::vector<QMenu*> menus_;
  QMdiArea* mdi_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QDockWidget* studyDock_ = nullptr;
  QDockWidget* roomDock_ = nullptr;
  RoomBar* roomBar_ = nullptr;
  StudyBar* studyBar_ = nullptr;
  HintDetailsWindow* hintDetails_ = nullptr;
  LibraryWindows* libraryWindows_ = nullptr;
  QMenu* libraryMenu_ = nullptr;
  QActionGroup* libraryGroup_ = nullptr;
  RoomView* active_ = nullptr;
};

}  // namespace mh
