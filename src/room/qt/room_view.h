#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "room/qt/room_context.h"
#include "room/room.h"

namespace mh {

class BoardView;
class QueuedRoomNotifier;

// A game room's window: the board view filling it, and the room it shows. Commands come from the
// main frame's menus; the match driver's notifications arrive queued; every change of position
// ends in refresh(), which draws, sounds and titles what the room decided.
class RoomView : public QWidget {
  Q_OBJECT

 public:
  // Starts no game; the frame sends newGame() once the room is shown.
  RoomView(int number, RoomContext context, QWidget* parent = nullptr);
  ~RoomView() override;

  Room& room() { return *room_; }
  const Room& room() const { return *room_; }
  BoardView* boardView() const { return board_; }
  int number() const { return room_->number(); }
  QString title() const { return title_; }
  QString infoText() const { return QString::fromStdString(room_->infoText()); }
  // Whether this is the main frame's active room (its sounds under mode 1, its hint text).
  void setActive(bool active) { active_ = active; }
  bool isActive() const { return active_; }

  // The words a room writes, in the interface language.
  static RoomWords words();
  static HintDetailWords detailWords();
  static CountWords countWords();

 public slots:
  void newGame();
  void endGame();
  // The person to move passes (see Room::pass).
  void pass();
  void showPlayDialog();
  void startGame(const mh::PlayChoice& choice);
  // The open dialog, then openRecordFile with its choice.
  void openRecordWithDialog();
  // Loads a record, at a position when one is given; a failure is reported in a message box.
  bool openRecordFile(const QString& path, bool big5, std::optional<int> move = std::nullopt);
  void save();
  void saveAs();
  bool saveTo(const QString& path);
  void exportDefault();
  // 0 swaps x and y, 1 flips horizontally, 2 vertically.
  void transform(int kind);
  void cycleMoveNumbers();
  void selectLibrary(int n);
  // Follows the pattern bases' new numbers (see Room::renumberLibrary) and refreshes.
  void renumberLibrary(const std::vector<int>& newNumbers);
  // Runs the refresh sequence now.
  void refresh();
  // A study-bar command on this room, with its chime and the board's keyboard focus.
  void runStudyCommand(mh::StudyCommand command);
  // Dead-stone marking on or off: clicks then mark whole strings dead instead of playing.
  void toggleDeadStoneMode();
  // Counts the shown position, stores the result, shows the counted areas and the report; the
  // board's earlier labels and marks come back when the report is closed.
  void count();
  // The rules dialog; OK sets the room's rules and, when asked, the default of new games.
  void showRulesDialog();

 signals:
  void titleChanged(const QString& title);
  // After every refresh: the room's information text (hints, comment).
  void infoTextChanged(const QString& text);
  // The enabling of the room's commands may have changed.
  void stateChanged();
  // A record file was opened into the room (path as given to openRecordFile).
  void recordOpened(const QString& path);

 private:
  void onPointChosen(int point);
  void onPositionChanged(int game);
  void onGameOver(int game);
  void playStoneSound(int number);
  void playChime(int number);
  void updateTitle();
  void showMessage(const QString& text);

  RoomContext context_;
  std::shared_ptr<QueuedRoomNotifier> notifier_;
  std::unique_ptr<Room> room_;
  BoardView* board_ = nullptr;
  QString title_;
  bool active_ = false;
};

}  // namespace mh
