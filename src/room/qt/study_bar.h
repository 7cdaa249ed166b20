#pragma once

#include <QPointer>
#include <QWidget>
#include <map>

#include "room/study_navigation.h"

class QAction;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace mh {

class RoomView;

// The study bar: the move-number and hint-details buttons, the information box shared by all
// rooms, the step buttons through the record, the comment jumps, take-back, and study. It acts
// on one room, the main frame's active one; updateFromRoom() re-reads which commands that room
// offers now, and is to be called after every change of the room.
class StudyBar : public QWidget {
  Q_OBJECT

 public:
  explicit StudyBar(QWidget* parent = nullptr);

  // The action behind a study command's button (for menus and tests).
  QAction* action(StudyCommand command) const { return actions_.at(command); }
  QPushButton* moveNumbersButton() const { return moveNumbers_; }
  QPushButton* hintDetailsButton() const { return hintDetails_; }
  QPlainTextEdit* infoBox() const { return info_; }
  // Present but hidden: the room menu offers the choice.
  QComboBox* libraryBox() const { return library_; }
  RoomView* room() const { return room_; }

  // The pattern bases a room may take its hints from, by title.
  void setLibraryTitles(const QStringList& titles);
  // Shows a room's information text (hints, comment), line breaks as the room wrote them.
  void showInfoText(const QString& text);

 public slots:
  // The room the bar acts on (null: none, everything disabled).
  void setRoom(mh::RoomView* room);
  // Re-reads the enabling of every control and the library choice from the room.
  void updateFromRoom();

 signals:
  void hintDetailsRequested();
  // The user chose pattern base n for the room.
  void libraryChosen(int n);

 private:
  QAction* makeAction(StudyCommand command, const QString& text, const QString& tip);

  QPointer<RoomView> room_;
  std::map<StudyCommand, QAction*> actions_;
  QPushButton* moveNumbers_;
  QPushButton* hintDetails_;
  QPlainTextEdit* info_;
  QComboBox* library_;
};

}  // namespace mh
