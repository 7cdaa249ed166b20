#include "library_windows/qt/library_windows.h"

#include <QFile>
#include <QTimer>
#include <QWidget>

#include "library_windows/qt/pattern_library_dialog.h"
#include "library_windows/qt/record_library_window.h"
#include "platform/program_paths.h"
#include "room/app_settings.h"
#include "room/qt/room_view.h"

namespace mh {

LibraryWindows::LibraryWindows(RoomContext context, std::function<RoomView*()> activeRoom,
                               std::function<QList<RoomView*>()> rooms, QWidget* frame)
    : QObject(frame), context_(std::move(context)), activeRoom_(std::move(activeRoom)), rooms_(std::move(rooms)),
      frame_(frame) {}

// The dialog's session tells this object about its builds: it goes first, waiting for a running one.
LibraryWindows::~LibraryWindows() { delete manager_; }

// A players file of the user's own in the program's directory, else the one the program ships
// (beside the executable in a build folder, in share/moonhaven/ once installed).
std::string LibraryWindows::playersFile(const char* name) const {
  const std::string own = context_.services.programDirectory + name;
  if (QFile::exists(QFile::decodeName(QByteArray::fromStdString(own)))) return own;
  const std::string shipped = dataDirectory();
  return shipped.empty() ? own : shipped + name;
}

void LibraryWindows::showRecordLibrary() {
  if (!library_) {
    const bool big5 = context_.services.settings && context_.services.settings->displayInBig5;
    library_ = new RecordLibraryWindow(context_.services.patternBases, big5,
                                       [this](const char* name) { return playersFile(name); }, frame_);
    connect(library_, &RecordLibraryWindow::openRecord, this, &LibraryWindows::openInActiveRoom);
  }
  library_->show();
  library_->raise();
  library_->activateWindow();
}

void LibraryWindows::showPatternLibraryManager() {
  if (!context_.services.patternBases) return;
  if (!manager_) {
    const bool big5 = context_.services.settings && context_.services.settings->displayInBig5;
    manager_ = new PatternLibraryDialog(context_.services.patternBases, *this,
                                        context_.services.programDirectory + "WPBs.ini", big5, GameLoader{},
                                        context_.services.log, frame_);
  }
  manager_->show();
  manager_->raise();
  manager_->activateWindow();
}

void LibraryWindows::openInActiveRoom(const QByteArray& path) {
  if (RoomView* room = activeRoom_ ? activeRoom_() : nullptr) (void)room->openRecordFile(QFile::decodeName(path), false);
}

void LibraryWindows::releasePatternBase(int n) {
  if (library_) library_->releaseBase(n);
  // The rooms read the base afresh at each refresh: once it is closed they show no hints from it.
  QTimer::singleShot(0, this, [this, n] {
    for (RoomView* room : rooms_ ? rooms_() : QList<RoomView*>{})
      if (room->room().libraryIndex() == n) room->refresh();
  });
}

void LibraryWindows::patternBaseRebuilt(int n) {
  for (RoomView* room : rooms_ ? rooms_() : QList<RoomView*>{})
    if (room->room().libraryIndex() == n) room->selectLibrary(n);
  if (library_) library_->reloadBase(n);
}

void LibraryWindows::patternBasesRenumbered(const std::vector<int>& newNumbers) {
  if (library_) library_->basesRenumbered(newNumbers);
  for (RoomView* room : rooms_ ? rooms_() : QList<RoomView*>{}) room->renumberLibrary(newNumbers);
  emit patternBasesChanged();
}

}  // namespace mh
