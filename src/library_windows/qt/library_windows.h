#pragma once

#include <QList>
#include <QObject>
#include <functional>

#include "library_windows/pattern_build_session.h"
#include "room/qt/room_context.h"

class QWidget;

namespace mh {

class PatternLibraryDialog;
class RecordLibraryWindow;
class RoomView;

// The main frame's two library windows, each made on first use and kept until the frame goes:
// the record library, whose double-click opens a game in the active room, and the pattern-library
// dialog. While a pattern base is being built, the rooms that take hints from it and the record
// library that lists it let go of it, and take it up again when the build has ended.
class LibraryWindows : public QObject, public PatternBaseUsers {
  Q_OBJECT

 public:
  // The frame lends its room context (pattern bases, settings, program directory, log), its active
  // room and its rooms; the windows are made as the frame's children.
  LibraryWindows(RoomContext context, std::function<RoomView*()> activeRoom,
                 std::function<QList<RoomView*>()> rooms, QWidget* frame);
  ~LibraryWindows() override;

  // Makes the record library on first use and shows it.
  void showRecordLibrary();
  // Makes the pattern-library dialog on first use and shows it.
  void showPatternLibraryManager();
  RecordLibraryWindow* recordLibrary() const { return library_; }
  PatternLibraryDialog* patternLibraryDialog() const { return manager_; }

  void releasePatternBase(int n) override;
  void patternBaseRebuilt(int n) override;
  // The rooms and the record library follow the new numbers; then patternBasesChanged.
  void patternBasesRenumbered(const std::vector<int>& newNumbers) override;

 signals:
  // A pattern base was added or removed: lists of the bases are to be shown afresh.
  void patternBasesChanged();

 private:
  void openInActiveRoom(const QByteArray& path);
  std::string playersFile(const char* name) const;

  RoomContext context_;
  std::function<RoomView*()> activeRoom_;
  std::function<QList<RoomView*>()> rooms_;
  QWidget* frame_;
  RecordLibraryWindow* library_ = nullptr;
  PatternLibraryDialog* manager_ = nullptr;
};

}  // namespace mh
