#include "room/study_navigation.h"

#include <gtest/gtest.h>

#include <string>

namespace mh {
namespace {

// A game of `moves` moves along the top rows, none capturing; the moves whose number is in
// `commented` carry a comment.
void playGame(GameState& game, int moves, std::initializer_list<int> commented = {}) {
  game.startEmpty();
  for (int i = 1; i <= moves; ++i) {
    SgfNode node;
    if (std::find(commented.begin(), commented.end(), i) != commented.end()) node.setValue("C", "note");
    ASSERT_TRUE(game.play(game.sideToMove(), 20 + i, &node));
  }
}

// The state of a room where a person plays both sides.
StudyBarState personsRoom(const GameState& game) { return studyBarState(game.view(), false, false, true); }

StudyOutcome run(GameState& game, StudyCommand command) { return runStudyCommand(game, command, personsRoom(game)); }

const char* nameOf(StudyCommand c) {
  static const char* names[] = {"First", "PreviousFive", "Previous", "Next", "NextFive", "Last", "PreviousComment",
                                "NextComment", "TakeBack", "TakeBackToHere", "Study", "Restudy", "EndStudy"};
  return names[static_cast<int>(c)];
}

TEST(StudyNavigation, StepsLandInsideTheReachableRange) {
  struct Case {
    StudyCommand command;
    int from;
    int to;
  } cases[] = {
      {StudyCommand::PreviousFive, 3, 0}, {StudyCommand::PreviousFive, 9, 4}, {StudyCommand::Previous, 0, 0},
      {StudyCommand::First, 7, 0},        {StudyCommand::NextFive, 10, 12},   {StudyCommand::Next, 12, 12},
      {StudyCommand::Last, 2, 12},        {StudyCommand::Next, 4, 5},
  };
  GameState game;
  playGame(game, 12);
  for (const Case& c : cases) {
    ASSERT_TRUE(game.goTo(c.from));
    const StudyOutcome outcome = run(game, c.command);
    EXPECT_EQ(game.currentIndex(), c.to) << nameOf(c.command) << " from " << c.from;
    EXPECT_TRUE(outcome.resync) << nameOf(c.command);
    EXPECT_EQ(outcome.stoneSound, c.command == StudyCommand::Next) << nameOf(c.command);
    EXPECT_EQ(outcome.chime, StudyOutcome::NoChime);
  }
}

TEST(StudyNavigation, FirstWhileStudyingIsTheStudyStart) {
  GameState game;
  playGame(game, 10);
  ASSERT_TRUE(game.goTo(6));
  EXPECT_EQ(run(game, StudyCommand::Study), (StudyOutcome{false, false, StudyOutcome::StudyStarted}));
  ASSERT_TRUE(game.play(game.sideToMove(), 300));
  ASSERT_TRUE(game.play(game.sideToMove(), 301));
  run(game, StudyCommand::First);
  EXPECT_EQ(game.currentIndex(), 6);
  run(game, StudyCommand::PreviousFive);
  EXPECT_EQ(game.currentIndex(), 6);
  run(game, StudyCommand::Last);
  EXPECT_EQ(game.currentIndex(), 8);
}

TEST(StudyNavigation, CommentSearchGoesToTheNearestCommentOrNowhere) {
  GameState game;
  playGame(game, 10, {2, 7});
  ASSERT_TRUE(game.goTo(5));
  EXPECT_TRUE(run(game, StudyCommand::PreviousComment).resync);
  EXPECT_EQ(game.currentIndex(), 2);
  EXPECT_TRUE(run(game, StudyCommand::NextComment).resync);
  EXPECT_EQ(game.currentIndex(), 7);
  EXPECT_EQ(run(game, StudyCommand::NextComment), StudyOutcome{});
  EXPECT_EQ(game.currentIndex(), 7);

  GameState plain;
  playGame(plain, 6);
  const std::uint64_t revision = plain.view().revision;
  EXPECT_EQ(run(plain, StudyCommand::PreviousComment), StudyOutcome{});
  EXPECT_EQ(plain.currentIndex(), 6);
  EXPECT_EQ(plain.view().revision, revision) << "nothing happened to the game state";
}

TEST(StudyNavigation, TakeBackCommands) {
  GameState game;
  playGame(game, 8);
  ASSERT_TRUE(game.goTo(5));
  EXPECT_EQ(run(game, StudyCommand::TakeBack), StudyOutcome{}) << "only at the last position";
  EXPECT_EQ(game.mainRecord().entryCount(), 8);
  EXPECT_TRUE(run(game, StudyCommand::TakeBackToHere).resync);
  EXPECT_EQ(game.currentIndex(), 5);
  EXPECT_EQ(game.lastIndex(), 5);
  EXPECT_EQ(game.mainRecord().entryCount(), 5);
  EXPECT_EQ(run(game, StudyCommand::TakeBackToHere), StudyOutcome{}) << "nothing after the last position";
  EXPECT_TRUE(run(game, StudyCommand::TakeBack).resync);
  EXPECT_EQ(game.lastIndex(), 4);
  EXPECT_EQ(game.mainRecord().entryCount(), 4);
}

TEST(StudyNavigation, StudyRestudyAndEndStudy) {
  GameState game;
  playGame(game, 6);
  ASSERT_TRUE(game.goTo(3));
  run(game, StudyCommand::Study);
  EXPECT_EQ(run(game, StudyCommand::Study), StudyOutcome{}) << "already studying";
  ASSERT_TRUE(game.play(game.sideToMove(), 300));
  EXPECT_EQ(run(game, StudyCommand::Restudy), (StudyOutcome{true, false, StudyOutcome::NoChime}));
  EXPECT_TRUE(game.studying());
  EXPECT_EQ(game.currentIndex(), 3);
  EXPECT_EQ(game.board().get(300), Empty);
  ASSERT_TRUE(game.play(game.sideToMove(), 301));
  EXPECT_EQ(run(game, StudyCommand::EndStudy), (StudyOutcome{true, false, StudyOutcome::StudyEnded}));
  EXPECT_FALSE(game.studying());
  EXPECT_EQ(game.currentIndex(), 3);
  EXPECT_EQ(run(game, StudyCommand::EndStudy), StudyOutcome{}) << "not studying";
  EXPECT_EQ(run(game, StudyCommand::Restudy), StudyOutcome{}) << "not studying";
}

TEST(StudyNavigation, ABlockedBarChangesNothing) {
  GameState game;
  playGame(game, 6, {2});
  ASSERT_TRUE(game.goTo(4));
  const StudyBarState blocked[] = {
      studyBarState(game.view(), true, false, true),   // GNU Go plays in this room
      studyBarState(game.view(), false, true, true),   // marking dead stones
      studyBarState(game.view(), false, false, false), // the game is over
  };
  for (const StudyBarState& state : blocked) {
    for (StudyCommand c : kStudyCommands) {
      EXPECT_FALSE(studyCommandEnabled(state, c)) << nameOf(c);
      EXPECT_EQ(runStudyCommand(game, c, state), StudyOutcome{}) << nameOf(c);
      EXPECT_EQ(game.currentIndex(), 4) << nameOf(c);
      EXPECT_FALSE(game.studying()) << nameOf(c);
    }
  }
  EXPECT_EQ(game.mainRecord().entryCount(), 6);
}

// The bar's enabling in the usual places, as a set of command names.
TEST(StudyNavigation, EnablingFollowsThePosition) {
  const auto enabled = [](const StudyBarState& state) {
    std::string names;
    for (StudyCommand c : kStudyCommands)
      if (studyCommandEnabled(state, c)) names += std::string(names.empty() ? "" : " ") + nameOf(c);
    return names;
  };
  GameState game;
  playGame(game, 10, {2, 8});
  ASSERT_TRUE(game.goTo(5));
  EXPECT_EQ(enabled(personsRoom(game)),
            "First PreviousFive Previous Next NextFive Last PreviousComment NextComment TakeBackToHere Study");
  ASSERT_TRUE(game.last());
  EXPECT_EQ(enabled(personsRoom(game)), "First PreviousFive Previous PreviousComment TakeBack Study");
  ASSERT_TRUE(game.beginStudy());
  EXPECT_EQ(enabled(personsRoom(game)), "Restudy EndStudy") << "at the study start, which is also its last";
  ASSERT_TRUE(game.play(game.sideToMove(), 300));
  EXPECT_EQ(enabled(personsRoom(game)), "First PreviousFive Previous TakeBack Restudy EndStudy");

  GameState fresh;
  fresh.startEmpty();
  EXPECT_EQ(enabled(personsRoom(fresh)), "Study");
  GameState notStarted;
  EXPECT_EQ(enabled(personsRoom(notStarted)), "");
}

}  // namespace
}  // namespace mh
