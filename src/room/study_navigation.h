#pragma once

#include <array>

#include "model/game_state.h"
#include "model/game_state_view.h"

namespace mh {

// The commands of the study bar.
enum class StudyCommand {
  First,           // "|<": the first reachable position (the study start while studying)
  PreviousFive,    // "<5"
  Previous,        // "<"
  Next,            // ">"
  NextFive,        // ">5"
  Last,            // ">|"
  PreviousComment, // the nearest earlier position with a comment
  NextComment,     // the nearest later position with a comment
  TakeBack,        // remove the last move of the line shown
  TakeBackToHere,  // remove every move after the position shown
  Study,           // open a study line at the position shown
  Restudy,         // drop the study line and open a fresh one where it began
  EndStudy,        // drop the study line and return to where it began
};

inline constexpr std::array<StudyCommand, 13> kStudyCommands = {
    StudyCommand::First,         StudyCommand::PreviousFive, StudyCommand::Previous,        StudyCommand::Next,
    StudyCommand::NextFive,      StudyCommand::Last,         StudyCommand::PreviousComment, StudyCommand::NextComment,
    StudyCommand::TakeBack,      StudyCommand::TakeBackToHere, StudyCommand::Study,         StudyCommand::Restudy,
    StudyCommand::EndStudy,
};

// What the study bar's enabling depends on, filled by the room.
struct StudyBarState {
  // A GNU Go player is in the room's game: its thread may play on the game state at any time.
  bool gnuGoInGame = false;
  // The room is in dead-stone marking mode.
  bool markingDead = false;
  // A match driver thread runs (false after a game ended by two passes, until the next game).
  bool driverRunning = false;
  int currentIndex = -1;
  int firstIndex = 0;
  int lastIndex = -1;
  bool studying = false;
  int previousCommented = -1;
  int nextCommented = -1;
};

// The state for a game state's view and the room's conditions.
StudyBarState studyBarState(const GameStateView& view, bool gnuGoInGame, bool markingDead, bool driverRunning);

// True when no study command may act: GNU Go is in the game, dead stones are being marked, no
// driver thread runs, or the game has not started.
bool studyBarBlocked(const StudyBarState& state);

// Whether the bar offers the command in this state.
bool studyCommandEnabled(const StudyBarState& state, StudyCommand command);

// What the room does after a command.
struct StudyOutcome {
  enum Chime { NoChime, StudyStarted, StudyEnded };

  // The position may have changed: the room wakes the match driver to re-read the side to move
  // (which refreshes the room), gives the board the keyboard focus and updates the title.
  bool resync = false;
  // The refresh plays the plain stone sound, whatever the last move captured.
  bool stoneSound = false;
  // Played at once, when the study sound is switched on.
  Chime chime = NoChime;

  friend bool operator==(const StudyOutcome&, const StudyOutcome&) = default;
};

// Runs the command on the game state. Nothing happens while the bar is blocked (state as filled
// for this game state); otherwise the step commands stay inside the reachable range, and commands
// that cannot act here (take back away from the last position, study while studying, a comment
// search that finds none) change nothing.
StudyOutcome runStudyCommand(GameState& game, StudyCommand command, const StudyBarState& state);

}  // namespace mh
