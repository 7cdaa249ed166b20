#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "model/game_settings.h"
#include "model/game_state_view.h"
#include "model/match_driver.h"
#include "patterns/assist_libraries.h"
#include "platform/log_line.h"
#include "records/record_loader.h"
#include "room/board_annotations.h"
#include "room/counting.h"
#include "room/hint_details.h"
#include "room/play_setup.h"
#include "room/room_commands.h"
#include "room/room_title.h"
#include "room/study_navigation.h"

namespace mh {

class GnuGoPlayer;
class PersonPlayer;
class TeardownQueue;
class WpbList;
struct AppSettings;
struct MatrixLibraries;

// Hears a room's games. The calls come from a match driver's thread; an implementation hands them
// to the window thread and never blocks. Each game of a room has its own number, so that a call
// from a game the room has since replaced can be told apart and ignored.
class RoomNotifier {
 public:
  virtual ~RoomNotifier() = default;
  virtual void positionChanged(int game) = 0;
  virtual void gameOver(int game) = 0;
};

// What the application lends every room. The pointers must outlive the room; null ones mean
// defaults (settings), no hints (pattern bases, matrix libraries) or clean-up on the calling
// thread (teardown).
struct RoomServices {
  const AppSettings* settings = nullptr;
  WpbList* patternBases = nullptr;
  const MatrixLibraries* matrixLibraries = nullptr;
  // The libraries that answer first for a GNU Go player with its assist on.
  AssistLibraries assist;
  TeardownQueue* teardown = nullptr;
  // Where the export writes default.sgf, ending with "/".
  std::string programDirectory;
  // Where the games' match drivers and GNU Go players log (empty: nowhere).
  LogLine log;
};

// The words a refresh writes (UTF-8, in the interface language).
struct RoomWords {
  RoomTitleWords title;
  HintWords hints;
};

// What one refresh decided: the position to draw, the room's information text, the sound to play
// (kNoSound for none; the stone sound mode still applies) and the title.
struct RoomRefresh {
  GameStateView view;
  std::string infoText;
  int sound = -1;
  std::string title;
};

// What became of a chosen point.
enum class PointChoice {
  Toggled,       // dead-stone mode: the string's dead marks were toggled
  Played,        // handed to the match driver as the move of the person to move
  StudyStarted,  // as Played, after a study line was opened at the shown position
  Dropped,       // not the person's turn, no running game, or an illegal move
};

// One game room without its windows: the game run by a match driver, the players, the file the
// record came from, and the state that decides what the board shows. Every operation runs on the
// window thread; the match driver's thread reaches the room only through its notifier.
//
// The room changes the game state itself only while no driver thread runs or the driver waits for
// a person's move, and then wakes the driver so that it reads whose turn it is afresh.
class Room {
 public:
  // The number of a room's tab and title (see nextRoomNumber). The room starts no game: call
  // newGame().
  Room(int number, RoomServices services, std::shared_ptr<RoomNotifier> notifier);
  // Ends the game (see endGame); nothing of it calls the notifier afterwards.
  ~Room();
  Room(const Room&) = delete;
  Room& operator=(const Room&) = delete;

  int number() const { return number_; }

  // Commands.
  // Ends the current game and starts one between two persons with the default rules and komi.
  void newGame();
  // Ends the current game and starts the one a confirmed play dialog chose.
  void startGame(const PlayChoice& choice);
  // Stops the match driver (up to 300 ms) and ends the GNU Go players (off this thread when the
  // services give a teardown queue). The position stays on the board.
  void endGame();
  // Loads a record file (.sgf, .gib) and starts a new game from it, at the requested position
  // (its last one when none, or when the record has no such position). A failed load leaves the
  // current game as it was.
  RecordLoadStatus openRecord(const std::string& path, bool big5, std::optional<int> move = std::nullopt);
  // Writes the record as SGF to path; on success the room's file becomes path.
  [[nodiscard]] bool saveAs(const std::string& path);
  // Writes the record to default.sgf in the program's directory.
  [[nodiscard]] bool exportDefault() const;
  // Shows position index of the current line (first..last), as the navigation commands and the
  // open-at-a-move message do; refused while the game state is not free to change or no person
  // plays. The driver then reads whose turn it is afresh.
  bool goToMove(int index);
  // Swaps x and y (0), flips x (1) or flips y (2) in everything the game holds. Refused while the
  // game state is not free to change (see transformsAllowed).
  bool transform(int kind);
  // The next move-number mode; the next refresh stays silent.
  void cycleMoveNumbers();
  // Selects pattern base n for hints, opening it when needed; false outside the list.
  bool selectLibrary(int n);
  // The pattern bases were renumbered (one added or removed): newNumbers[n] is base n's number
  // now. A room whose base was removed (-1) shows no hints until another is selected; a room that
  // had no base takes the default one.
  void renumberLibrary(const std::vector<int>& newNumbers);
  // A click on a point (or Enter on the cursor).
  PointChoice choosePoint(Point point);
  // Dead-stone marking mode (mode 5) on or off.
  void setDeadStoneMode(bool on);
  // Runs a study-bar command. Refused (an empty outcome) while the bar is blocked or the game
  // state is not free to change; a command that moved the position wakes the driver to read whose
  // turn it is (which refreshes the room), and Next makes that refresh play the plain stone sound.
  StudyOutcome runStudy(StudyCommand command);
  // The room's rules and komi, as the rules dialog sets them (new games take the defaults).
  void setRules(int ruleType, double komi);

  // Counting. The shown position under the room's rules, komi and handicap, the stones carrying
  // the dead mark taken off; nothing under a rule type other than Chinese or Japanese.
  std::optional<CountReport> count(const CountWords& words) const;
  // Stores a count's winner (unchanged for a draw) and result text in the game information, so
  // that a save writes them. Refused while the game state is not free to change.
  bool storeResult(const CountReport& report);
  // Shows a count's marks in place of the annotations, which are kept aside until
  // restoreAnnotations() or the next refresh.
  void showCountMarks(const CountReport& report);
  // Puts the annotations kept by showCountMarks back exactly; false (changing nothing) when there
  // are none because a refresh has drawn a newer position since.
  bool restoreAnnotations();
  // The person to move passes, at the end of the shown line; the pass sound plays at the next
  // refresh. False (nothing done) when no person is to move there or a choice is still pending.
  bool pass();

  // The match driver's notifications, passed on by the window thread. Each returns false for a
  // notification of a game the room has replaced since.
  bool isCurrentGame(int game) const { return game == game_; }
  // Ends the GNU Go players of a game that is over. The program a GNU Go side could not start or
  // lost is returned, so that the window can say so; empty otherwise.
  std::string gameOver();

  // The refresh sequence: annotations (hints, move numbers, record marks and labels), the
  // information text, the sound and the title.
  RoomRefresh refresh(const RoomWords& words);
  // The title for the shown position (also when no refresh ran).
  std::string title(const RoomTitleWords& words) const;
  // The hint details of the shown position.
  std::vector<HintDetailRow> hintDetails(const HintDetailWords& words) const;

  // State read by the window.
  GameStateView view() const;
  const BoardAnnotations& annotations() const { return annotations_; }
  const GameSettings& settings() const { return settings_; }
  const std::string& filePath() const { return filePath_; }
  const std::string& infoText() const { return infoText_; }
  int libraryIndex() const { return libraryIndex_; }
  int moveNumberMode() const { return moveNumberMode_; }
  bool deadStoneMode() const { return deadStoneMode_; }
  // Sets the sound of the next refresh (kSilentRefresh and above: none).
  void setPendingSound(int sound) { pendingSound_ = sound; }
  // A game's driver thread runs (false after End, after a game is over, before the first game).
  bool driverRunning() const;
  bool gnuGoInGame() const;
  // The player of the side to move is the person at the board.
  bool personToMove() const;
  // The game state may be changed from the window thread now.
  bool transformsAllowed() const;
  bool displayInBig5() const;
  // What the study bar's enabling depends on.
  StudyBarState studyBarState() const;
  // What the enabling of the room's commands depends on.
  RoomCommandState commandState() const { return {true, driverRunning(), transformsAllowed(), mayPass()}; }
  // A pass would be played now (see pass()).
  bool mayPass() const;

 private:
  class Observer;

  // Ends the current game and starts the next: players made, match started, prepare run on the
  // game state before the driver's thread starts.
  void start(const GameSettings& settings, const std::optional<GnuGoSetup>& black,
             const std::optional<GnuGoSetup>& white, const std::function<void(GameState&)>& prepare = {});
  // A game between two persons with the default rules and komi.
  GameSettings personsGame() const;
  std::shared_ptr<GnuGoPlayer> makeGnuGo(const GnuGoSetup& setup) const;
  // The driver waits for a person, so the window thread may change the game state.
  bool stateIsFree() const;
  void retirePlayers();

  const int number_;
  RoomServices services_;
  std::shared_ptr<RoomNotifier> notifier_;

  int game_ = 0;
  std::shared_ptr<MatchDriver> driver_;
  std::shared_ptr<PersonPlayer> person_;
  std::shared_ptr<GnuGoPlayer> blackGnuGo_;
  std::shared_ptr<GnuGoPlayer> whiteGnuGo_;
  GameSettings settings_;
  std::string filePath_;

  BoardAnnotations annotations_;
  // The annotations a count's marks replaced, while its report is shown.
  std::optional<BoardAnnotations> beforeCount_;
  std::string infoText_;
  int libraryIndex_ = 0;
  int moveNumberMode_ = 0;
  int pendingSound_ = -1;
  std::uint64_t soundedRevision_ = 0;
  // The revision of the position the last chosen point was checked on.
  std::uint64_t choiceRevision_ = 0;
  bool deadStoneMode_ = false;
};

}  // namespace mh
