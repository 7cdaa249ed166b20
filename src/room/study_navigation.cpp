#include "room/study_navigation.h"

namespace mh {

StudyBarState studyBarState(const GameStateView& view, bool gnuGoInGame, bool markingDead, bool driverRunning) {
  StudyBarState s;
  s.gnuGoInGame = gnuGoInGame;
  s.markingDead = markingDead;
  s.driverRunning = driverRunning;
  s.currentIndex = view.currentIndex;
  s.firstIndex = view.firstIndex;
  s.lastIndex = view.lastIndex;
  s.studying = view.studying;
  s.previousCommented = view.previousCommented;
  s.nextCommented = view.nextCommented;
  return s;
}

// The comment searches are blocked like every other command: they move the game state, which the
// GNU Go player's thread may be playing on.
bool studyBarBlocked(const StudyBarState& s) {
  return s.gnuGoInGame || s.markingDead || !s.driverRunning || s.currentIndex < 0;
}

bool studyCommandEnabled(const StudyBarState& s, StudyCommand command) {
  if (studyBarBlocked(s)) return false;
  const bool atFirst = s.currentIndex == s.firstIndex;
  const bool atLast = s.currentIndex == s.lastIndex;
  switch (command) {
    case StudyCommand::First:
    case StudyCommand::PreviousFive:
    case StudyCommand::Previous: return !atFirst;
    case StudyCommand::Next:
    case StudyCommand::NextFive:
    case StudyCommand::Last: return !atLast;
    case StudyCommand::PreviousComment: return s.previousCommented >= 0;
    case StudyCommand::NextComment: return s.nextCommented >= 0;
    case StudyCommand::TakeBack: return atLast && !atFirst;
    case StudyCommand::TakeBackToHere: return !atLast;
    case StudyCommand::Study: return !s.studying;
    case StudyCommand::Restudy:
    case StudyCommand::EndStudy: return s.studying;
  }
  return false;
}

namespace {

StudyOutcome moved(bool stoneSound = false) { return {true, stoneSound, StudyOutcome::NoChime}; }

StudyOutcome goToFound(GameState& game, int index) {
  if (index < 0 || !game.goTo(index)) return {};
  return moved();
}

}  // namespace

StudyOutcome runStudyCommand(GameState& game, StudyCommand command, const StudyBarState& state) {
  if (studyBarBlocked(state)) return {};
  switch (command) {
    case StudyCommand::First: game.first(); return moved();
    case StudyCommand::PreviousFive: game.backFive(); return moved();
    case StudyCommand::Previous: game.back(); return moved();
    // Stepping forward sounds like a stone being put down, even onto a capture.
    case StudyCommand::Next: game.forward(); return moved(true);
    case StudyCommand::NextFive: game.forwardFive(); return moved();
    case StudyCommand::Last: game.last(); return moved();
    case StudyCommand::PreviousComment: return goToFound(game, game.previousCommented());
    case StudyCommand::NextComment: return goToFound(game, game.nextCommented());
    case StudyCommand::TakeBack: return game.takeBack(1) ? moved() : StudyOutcome{};
    case StudyCommand::TakeBackToHere:
      if (game.atLast()) return {};
      game.truncateHere();
      return moved();
    case StudyCommand::Study:
      if (!game.beginStudy()) return {};
      return {false, false, StudyOutcome::StudyStarted};
    case StudyCommand::Restudy:
      if (!game.studying()) return {};
      game.restartStudy();
      return moved();
    case StudyCommand::EndStudy:
      if (!game.studying()) return {};
      game.endStudy();
      return {true, false, StudyOutcome::StudyEnded};
  }
  return {};
}

}  // namespace mh
