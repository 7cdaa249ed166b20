#include "model/game_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/board_diagram.h"

namespace mh {
namespace {

using test::boardFromDiagram;
using test::diagramOf;
using test::normalizeDiagram;

SgfNode commentNode(const std::string& text) {
  SgfNode node;
  node.setValue("C", text);
  return node;
}

// Plays count moves of alternating colour on the first row, then the second, of a 19 x 19 board;
// none of them captures.
void playLine(GameState& state, int count, Point from = 0) {
  for (int i = 0; i < count; ++i) {
    const int colour = state.sideToMove();
    ASSERT_TRUE(state.play(colour, from + i)) << "move " << i;
  }
}

// A started game of mainMoves moves with a study line opened at index at.
void openStudy(GameState& state, int mainMoves, int at) {
  state.startEmpty();
  playLine(state, mainMoves);
  ASSERT_TRUE(state.goTo(at));
  ASSERT_TRUE(state.beginStudy());
}

// ---- Ko -------------------------------------------------------------------------------------

struct KoCase {
  const char* name;
  const char* diagram;
  Coord move;  // Black plays here
  bool ko;     // a ko is left behind
};

class KoTest : public ::testing::TestWithParam<KoCase> {};

TEST_P(KoTest, CaptureSetsKoOnlyForTheKoShape) {
  const KoCase& c = GetParam();
  GameState state;
  const Board start = boardFromDiagram(c.diagram);
  state.startFrom(start, Black);
  const Point move = start.point(c.move.x, c.move.y);
  ASSERT_TRUE(state.play(Black, move));
  EXPECT_EQ(state.ko().active(), c.ko) << c.name << "\n" << diagramOf(state.board());
  if (c.ko) {
    EXPECT_EQ(state.ko().capturingPoint, move);
    ASSERT_EQ(state.captured().size(), 1u);
    EXPECT_EQ(state.ko().koPoint, state.captured().front());
    EXPECT_TRUE(state.isIllegal(White, state.ko().koPoint)) << "immediate retake";
    EXPECT_FALSE(state.board().isIllegal(White, state.ko().koPoint)) << "only ko forbids it";
  } else {
    for (Point p : state.captured())
      EXPECT_EQ(state.isIllegal(White, p), state.board().isIllegal(White, p)) << c.name << " point " << p;
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, KoTest,
                         ::testing::Values(
                             KoCase{"classic", R"(
                               . X O . .
                               X O . O .
                               . X O . .
                               . . . . .)",
                                    {2, 1}, true},
                             KoCase{"onTheEdge", R"(
                               X O . O .
                               . X O . .
                               . . . . .)",
                                    {2, 0}, true},
                             KoCase{"twoStonesCaptured", R"(
                               . X X . .
                               X O O . O
                               . X X O .
                               . . . . .)",
                                    {3, 1}, false},
                             KoCase{"capturerHasAnotherLiberty", R"(
                               . X O . .
                               X O . . .
                               . X O . .
                               . . . . .)",
                                    {2, 1}, false},
                             KoCase{"noCapture", R"(
                               . . . . .
                               . . . . .
                               . . . . .)",
                                    {2, 1}, false}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(GameStateKo, RetakeIsAllowedAfterAnyOtherMoveOrPass) {
  const char* diagram = R"(
    . X O . .
    X O . O .
    . X O . .
    . . . . .)";
  for (bool pass : {false, true}) {
    GameState state;
    state.startFrom(boardFromDiagram(diagram), Black);
    ASSERT_TRUE(state.play(Black, state.board().point(2, 1)));
    const Point k = state.ko().koPoint;
    ASSERT_TRUE(state.isIllegal(White, k));
    const Point elsewhere = pass ? kNoPoint : state.board().point(4, 3);
    ASSERT_TRUE(state.play(White, elsewhere));
    EXPECT_FALSE(state.ko().active());
    EXPECT_FALSE(state.isIllegal(White, k)) << (pass ? "after a pass" : "after a move");
    // Navigation restores the ko stored with the position.
    ASSERT_TRUE(state.back());
    EXPECT_TRUE(state.isIllegal(White, k));
    ASSERT_TRUE(state.last());
    EXPECT_FALSE(state.isIllegal(White, k));
  }
}

// ---- Bookkeeping of moves, passes and setups ---------------------------------------------------

TEST(GameStatePlay, PassIsARecordEntryWithoutAPoint) {
  GameState state;
  state.startEmpty();
  ASSERT_TRUE(state.play(Black, 60));
  const SgfNode note = commentNode("pass here");
  ASSERT_TRUE(state.play(White, kNoPoint, &note));
  EXPECT_EQ(state.mainHistory().size(), 3u);
  ASSERT_EQ(state.mainRecord().entryCount(), 2);
  const MoveEntry& pass = state.mainRecord().entries()[1];
  EXPECT_TRUE(pass.isPass());
  EXPECT_EQ(pass.colour, White);
  EXPECT_EQ(pass.properties.comment(), "pass here");
  EXPECT_EQ(state.currentIndex(), 2);
  EXPECT_EQ(state.lastMove(), 60) << "a pass keeps the last move";
  EXPECT_EQ(state.sideToMove(), Black);
  EXPECT_EQ(state.currentProperties().comment(), "pass here");
}

TEST(GameStatePlay, TakeBackRemovesEachItemWithItsEntry) {
  GameState state;
  state.startEmpty();
  ASSERT_TRUE(state.play(Black, 60));
  ASSERT_TRUE(state.play(White, kNoPoint));
  ASSERT_TRUE(state.takeBack(1));
  EXPECT_EQ(state.mainHistory().size(), 2u);
  ASSERT_EQ(state.mainRecord().entryCount(), 1) << "the pass goes, the move before it stays";
  EXPECT_EQ(state.mainRecord().entries()[0].point, 60);
  EXPECT_EQ(state.board().get(60), Black);
  EXPECT_EQ(state.sideToMove(), White);
  ASSERT_TRUE(state.takeBack(1));
  EXPECT_EQ(state.mainRecord().entryCount(), 0);
  EXPECT_TRUE(state.board().isEmpty());
  EXPECT_FALSE(state.takeBack(1)) << "nothing below the start";
}

TEST(GameStatePlay, RefusedMoveChangesNothing) {
  GameState state;
  state.startEmpty();
  const SgfNode first = commentNode("first");
  ASSERT_TRUE(state.play(Black, 60, &first));
  const SgfNode other = commentNode("other");
  EXPECT_FALSE(state.play(White, 60, &other)) << "occupied";
  EXPECT_FALSE(state.play(White, 361, &other)) << "off the board";
  EXPECT_FALSE(state.play(White, -7, &other)) << "not a point";
  EXPECT_FALSE(state.play(Empty, 61, &other)) << "not a colour";
  EXPECT_FALSE(state.play(3, kNoPoint, &other)) << "not a colour";
  EXPECT_EQ(state.currentProperties().comment(), "first");
  EXPECT_EQ(state.mainHistory().size(), 2u);
  EXPECT_EQ(state.mainRecord().entryCount(), 1);
  EXPECT_EQ(state.sideToMove(), White);
}

TEST(GameStatePlay, NothingIsPlayedBeforeTheStartOrAwayFromTheLastPosition) {
  GameState state;
  EXPECT_FALSE(state.play(Black, 0));
  EXPECT_FALSE(state.play(Black, kNoPoint));
  EXPECT_FALSE(state.setup({1}, {}));
  EXPECT_EQ(state.currentIndex(), -1);
  EXPECT_TRUE(state.mainHistory().empty());

  state.startEmpty();
  playLine(state, 4);
  ASSERT_TRUE(state.goTo(2));
  EXPECT_FALSE(state.play(Black, 100));
  EXPECT_FALSE(state.playWithSetup({200}, {}, Black, 100));
  EXPECT_FALSE(state.setup({200}, {}));
  EXPECT_EQ(state.mainHistory().size(), 5u);
  EXPECT_EQ(state.mainRecord().entryCount(), 4);
  EXPECT_EQ(state.currentIndex(), 2);
  EXPECT_EQ(state.board().get(100), Empty);
}

TEST(GameStatePlay, SetupAndPlayWithSetupAreRecordedAndKeepTheirRules) {
  GameState state;
  state.startEmpty();
  ASSERT_TRUE(state.play(Black, 60));
  ASSERT_TRUE(state.setup({0, 1}, {20}));
  EXPECT_EQ(state.sideToMove(), White) << "setup keeps the side to move";
  EXPECT_EQ(state.lastMove(), 60) << "setup keeps the last move";
  EXPECT_EQ(state.board().get(20), White);
  // The move lands on a setup stone: refused on the board, recorded all the same.
  ASSERT_TRUE(state.playWithSetup({40}, {}, White, 40));
  EXPECT_EQ(state.board().get(40), Black);
  EXPECT_EQ(state.lastMove(), 40);
  EXPECT_EQ(state.sideToMove(), Black);
  ASSERT_EQ(state.mainRecord().entryCount(), 3);
  const auto& e = state.mainRecord().entries();
  EXPECT_EQ(e[1].flags, MoveEntry::kSetup);
  EXPECT_EQ(e[1].blackSetup, (PointList{0, 1}));
  EXPECT_EQ(e[2].flags, MoveEntry::kMove | MoveEntry::kSetup);
  EXPECT_EQ(state.mainHistory().size(), 4u);
  // Take-back of all three removes all three entries.
  ASSERT_TRUE(state.takeBack(3));
  EXPECT_EQ(state.mainRecord().entryCount(), 0);
  EXPECT_TRUE(state.board().isEmpty());
}

// ---- Starting and loading ---------------------------------------------------------------------

TEST(GameStateStart, StartFromRemovesDeadStonesAndKeepsThePositionInTheRecord) {
  GameState state;
  state.startFrom(boardFromDiagram(R"(
    O X . .
    X . . O
    . . O X)"),
                  White);
  EXPECT_EQ(diagramOf(state.board()), normalizeDiagram(R"(
    . X . .
    X . . O
    . . O .)"));
  EXPECT_EQ(state.sideToMove(), White);
  EXPECT_EQ(state.currentIndex(), 0);
  EXPECT_EQ(state.mainRecord().initialPosition(), state.board());
  EXPECT_EQ(state.mainRecord().width(), 4);
  EXPECT_EQ(state.mainRecord().height(), 3);
}

TEST(GameStateStart, HandicapGameSurvivesASaveAndLoad) {
  Board handicap;
  placeHandicap(4, handicap);
  GameState played;
  played.startFrom(handicap, White);
  ASSERT_TRUE(played.play(White, 75));
  ASSERT_TRUE(played.play(Black, 100));
  ASSERT_TRUE(played.play(White, kNoPoint));
  ASSERT_TRUE(played.play(Black, 200));

  GameState reloaded;
  reloaded.load(played.mainRecord());
  EXPECT_EQ(reloaded.mainRecord(), played.mainRecord());
  EXPECT_EQ(diagramOf(reloaded.board()), diagramOf(played.board()));
  ASSERT_TRUE(reloaded.first());
  EXPECT_EQ(diagramOf(reloaded.board()), diagramOf(handicap)) << "the handicap stones stay";
  EXPECT_EQ(reloaded.sideToMove(), White);
}

TEST(GameStateStart, LoadReplaysEveryKindOfEntry) {
  GameRecord record;
  (void)record.setSize(9, 9);
  record.initialPosition().set(40, Black);
  record.info().setText(GameInfo::kBlackName, "kuro");
  MoveEntry setupOnly;
  setupOnly.flags = MoveEntry::kSetup;
  setupOnly.whiteSetup = {0, 1};
  MoveEntry both;
  both.flags = MoveEntry::kMove | MoveEntry::kSetup;
  both.blackSetup = {9};
  both.colour = Black;
  both.point = 10;
  record.appendMove(White, 41);
  record.append(setupOnly);
  record.appendMove(Black, kNoPoint);
  record.append(both);
  const SgfNode note = commentNode("last");
  record.appendMove(White, 40, &note);  // occupied: the board refuses it
  MoveEntry junk;
  junk.flags = 0;
  record.append(junk);

  GameState state;
  state.load(record);
  EXPECT_EQ(state.mainRecord().info(), record.info());
  EXPECT_EQ(state.mainRecord().width(), 9);
  EXPECT_EQ(state.mainRecord().initialPosition(), record.initialPosition());
  ASSERT_TRUE(state.first());
  EXPECT_EQ(state.sideToMove(), White) << "the first move's colour";
  ASSERT_TRUE(state.last());
  EXPECT_EQ(state.currentIndex(), 4) << "start, move, setup, pass, setup+move";
  EXPECT_EQ(state.mainRecord().entryCount(), 4) << "the refused move adds no entry";
  EXPECT_EQ(diagramOf(state.board()), normalizeDiagram(R"(
    O O . . . . . . .
    X X . . . . . . .
    . . . . . . . . .
    . . . . . . . . .
    . . . . X O . . .
    . . . . . . . . .
    . . . . . . . . .
    . . . . . . . . .
    . . . . . . . . .)"));
}

// ---- Navigation -------------------------------------------------------------------------------

TEST(GameStateNavigation, StepsStayInsideTheReachableRange) {
  GameState state;
  state.startEmpty();
  playLine(state, 12);
  struct Step {
    const char* name;
    bool (GameState::*op)();
    int from;
    int to;
  };
  const Step steps[] = {
      {"backFiveFromThree", &GameState::backFive, 3, 0},
      {"backFive", &GameState::backFive, 9, 4},
      {"backAtFirst", &GameState::back, 0, 0},
      {"forwardFiveNearEnd", &GameState::forwardFive, 10, 12},
      {"forwardAtLast", &GameState::forward, 12, 12},
      {"first", &GameState::first, 7, 0},
      {"last", &GameState::last, 7, 12},
  };
  for (const Step& s : steps) {
    ASSERT_TRUE(state.goTo(s.from)) << s.name;
    EXPECT_TRUE((state.*s.op)()) << s.name;
    EXPECT_EQ(state.currentIndex(), s.to) << s.name;
    EXPECT_EQ(state.board().snapshot(), state.itemAt(s.to)->position) << s.name;
  }
  EXPECT_FALSE(state.goTo(13));
  EXPECT_FALSE(state.goTo(-1));
  EXPECT_EQ(state.currentIndex(), 12) << "a refused go to stays";

  // While studying, the study start is the floor.
  ASSERT_TRUE(state.goTo(8));
  ASSERT_TRUE(state.beginStudy());
  playLine(state, 2, 200);
  ASSERT_TRUE(state.backFive());
  EXPECT_EQ(state.currentIndex(), 8);
  EXPECT_FALSE(state.goTo(7));
  EXPECT_EQ(state.lastIndex(), 10);
}

TEST(GameStateNavigation, GoToRestoresThePositionAndClearsCaptures) {
  GameState state;
  state.startFrom(boardFromDiagram(R"(
    . X O . .
    X O . O .
    . X O . .
    . . . . .)"),
                  Black);
  const SgfNode note = commentNode("ko!");
  ASSERT_TRUE(state.play(Black, state.board().point(2, 1), &note));
  ASSERT_TRUE(state.play(White, state.board().point(4, 3)));
  const Board after = state.board();
  ASSERT_TRUE(state.back());
  EXPECT_EQ(state.sideToMove(), White);
  EXPECT_EQ(state.lastMove(), state.board().point(2, 1));
  EXPECT_TRUE(state.ko().active());
  EXPECT_TRUE(state.captured().empty());
  EXPECT_EQ(state.captureMove(), kNoPoint);
  EXPECT_EQ(state.currentProperties().comment(), "ko!");
  ASSERT_TRUE(state.forward());
  EXPECT_EQ(state.board(), after);
  EXPECT_TRUE(state.currentProperties().empty());
}

TEST(GameStateNavigation, CommentSearchStaysInsideTheReachableRange) {
  GameState state;
  state.startEmpty();
  for (int i = 0; i < 10; ++i) {
    const SgfNode note = commentNode(i == 2 || i == 7 ? "note" : "");
    ASSERT_TRUE(state.play(state.sideToMove(), i, &note));
  }
  // Items 3 and 8 carry a comment (item i + 1 is move i).
  ASSERT_TRUE(state.goTo(5));
  EXPECT_EQ(state.previousCommented(), 3);
  EXPECT_EQ(state.nextCommented(), 8);
  ASSERT_TRUE(state.goTo(8));
  EXPECT_EQ(state.nextCommented(), -1);
  ASSERT_TRUE(state.goTo(6));
  ASSERT_TRUE(state.beginStudy());
  ASSERT_TRUE(state.play(state.sideToMove(), 300));
  EXPECT_EQ(state.previousCommented(), -1) << "index 3 lies below the study start";
  EXPECT_EQ(state.nextCommented(), -1) << "main item 8 is not on the study line";
}

// ---- Study line, take-back, truncation ------------------------------------------------------------

TEST(GameStateStudy, EndStudyReturnsToTheMainLineUnchanged) {
  GameState state;
  state.startEmpty();
  playLine(state, 14);
  const GameRecord mainBefore = state.mainRecord();
  const History historyBefore = state.mainHistory();
  ASSERT_TRUE(state.goTo(10));
  ASSERT_TRUE(state.beginStudy());
  EXPECT_FALSE(state.beginStudy()) << "already studying";
  ASSERT_TRUE(state.play(state.sideToMove(), 200));
  ASSERT_TRUE(state.play(state.sideToMove(), 201));
  EXPECT_EQ(state.currentIndex(), 12);
  EXPECT_EQ(state.studyRecord().entryCount(), 2);
  EXPECT_EQ(state.mainRecord(), mainBefore);

  state.endStudy();
  EXPECT_FALSE(state.studying());
  EXPECT_EQ(state.currentIndex(), 10);
  EXPECT_EQ(state.mainRecord(), mainBefore);
  EXPECT_EQ(state.mainHistory(), historyBefore);
  EXPECT_EQ(state.board().snapshot(), historyBefore[10].position);
  EXPECT_EQ(state.board().get(200), Empty);
  EXPECT_EQ(state.studyRecord().entryCount(), 0);
}

TEST(GameStateStudy, RestartOpensAFreshLineAtTheSamePosition) {
  GameState state;
  openStudy(state, 6, 3);
  playLine(state, 3, 200);
  state.restartStudy();
  EXPECT_TRUE(state.studying());
  EXPECT_EQ(state.studyStart(), 3);
  EXPECT_EQ(state.currentIndex(), 3);
  EXPECT_TRUE(state.studyHistory().empty());
  EXPECT_EQ(state.board().get(200), Empty);
}

TEST(GameStateStudy, TakeBackActsOnTheStudyLineOnly) {
  GameState state;
  openStudy(state, 6, 4);
  EXPECT_FALSE(state.takeBack(1)) << "at the study start";
  playLine(state, 3, 200);
  ASSERT_TRUE(state.takeBack(10));
  EXPECT_EQ(state.currentIndex(), 4) << "never below the study start";
  EXPECT_TRUE(state.studyHistory().empty());
  EXPECT_EQ(state.studyRecord().entryCount(), 0);
  EXPECT_EQ(state.mainRecord().entryCount(), 6);
  EXPECT_EQ(state.mainHistory().size(), 7u);
}

TEST(GameStateEditing, TakeBackNeedsTheLastPosition) {
  GameState state;
  state.startEmpty();
  playLine(state, 5);
  ASSERT_TRUE(state.goTo(3));
  EXPECT_FALSE(state.takeBack(1));
  EXPECT_EQ(state.mainRecord().entryCount(), 5);
  ASSERT_TRUE(state.last());
  EXPECT_TRUE(state.takeBack(0)) << "n below 1 counts as 1";
  EXPECT_EQ(state.currentIndex(), 4);
  EXPECT_EQ(state.mainRecord().entryCount(), 4);
}

TEST(GameStateEditing, TruncateHereDropsEverythingAfterTheCurrentPosition) {
  GameState state;
  state.startEmpty();
  playLine(state, 9);
  ASSERT_TRUE(state.play(state.sideToMove(), kNoPoint));  // items 0..10
  ASSERT_TRUE(state.goTo(5));
  state.truncateHere();
  EXPECT_EQ(state.currentIndex(), 5);
  EXPECT_EQ(state.mainHistory().size(), 6u);
  EXPECT_EQ(state.mainRecord().entryCount(), 5);
  EXPECT_TRUE(state.atLast());
  state.truncateHere();
  EXPECT_EQ(state.mainHistory().size(), 6u) << "nothing to do at the last position";
}

// ---- Transforms --------------------------------------------------------------------------------

TEST(GameStateTransform, UsesTheBoardSizeOfTheGame) {
  GameRecord record;
  (void)record.setSize(9, 9);
  record.initialPosition().set(1, White);  // (1, 0)
  record.appendMove(Black, 0);             // (0, 0)
  record.appendMove(White, 9 * 2 + 3);     // (3, 2)
  GameState state;
  state.load(record);
  ASSERT_TRUE(state.flipX());
  EXPECT_EQ(state.board().get(8), Black);
  EXPECT_EQ(state.board().get(7), White);
  EXPECT_EQ(state.board().get(9 * 2 + 5), White);
  EXPECT_EQ(state.mainRecord().entries()[0].point, 8);
  EXPECT_EQ(state.mainRecord().initialPosition().get(7), White);
  EXPECT_EQ(state.lastMove(), 9 * 2 + 5);
}

TEST(GameStateTransform, SwapIsRefusedOnABoardThatIsNotSquare) {
  GameState state;
  state.startFrom(boardFromDiagram(R"(
    X . . . O
    . . . . .
    . . . . .)"),
                  Black);
  ASSERT_TRUE(state.play(Black, 7));
  const Board before = state.board();
  const GameRecord record = state.mainRecord();
  EXPECT_FALSE(state.swapXY());
  EXPECT_EQ(state.board(), before);
  EXPECT_EQ(state.mainRecord(), record);
  EXPECT_TRUE(state.flipY());
  EXPECT_EQ(state.board().get(0 + 5 * 2), Black);
}

TEST(GameStateTransform, CurrentPropertiesFollowTheBoard) {
  GameState state;
  state.startEmpty();
  SgfNode props;
  props.addProperty({"TR", "aa", {"cb"}});
  props.addProperty({"C", "look", {}});
  ASSERT_TRUE(state.play(Black, 0, &props));
  ASSERT_TRUE(state.flipY());
  const SgfProperty* tr = state.currentProperties().findProperty("TR");
  ASSERT_NE(tr, nullptr);
  EXPECT_EQ(tr->value, "as");
  EXPECT_EQ(tr->moreValues, std::vector<std::string>{"cr"});
  EXPECT_EQ(state.mainHistory().back().properties, state.currentProperties());
  EXPECT_EQ(state.mainRecord().entries()[0].properties, props) << "entries keep their own properties";
}

// ---- The published view ------------------------------------------------------------------------------

TEST(GameStateView, FollowsEveryOperationAndNumbersTheActiveLine) {
  GameState state;
  const auto r0 = state.view().revision;
  state.startEmpty();
  playLine(state, 3);
  ASSERT_TRUE(state.play(state.sideToMove(), kNoPoint));
  GameStateView v = state.view();
  EXPECT_GT(v.revision, r0);
  EXPECT_EQ(v.currentIndex, 4);
  EXPECT_TRUE(v.atLast());
  EXPECT_EQ(v.board, state.board());
  EXPECT_EQ(v.moves, (std::vector<ViewMove>{{Black, 0}, {White, 1}, {Black, 2}, {White, kNoPoint}}));
  EXPECT_EQ(v.sideToMove, Black);

  ASSERT_TRUE(state.goTo(2));
  v = state.view();
  EXPECT_EQ(v.moves.size(), 2u);
  EXPECT_FALSE(v.atLast());
  ASSERT_TRUE(state.beginStudy());
  ASSERT_TRUE(state.play(Black, 100));
  v = state.view();
  EXPECT_TRUE(v.studying);
  EXPECT_EQ(v.studyStart, 2);
  EXPECT_EQ(v.firstIndex, 2);
  EXPECT_EQ(v.moves, (std::vector<ViewMove>{{Black, 100}})) << "the study line is numbered alone";
  const auto before = v.revision;
  EXPECT_FALSE(state.goTo(0));
  EXPECT_EQ(state.view().revision, before) << "a refused operation publishes nothing";
}

// Stones placed count the starting position, setups and moves of the line that leads to the
// shown position, and nothing beyond it.
TEST(GameStateView, StonesPlacedFollowTheLineShown) {
  GameState state;
  Board start(19, 19);
  start.set(0, Black);
  start.set(1, Black);
  start.set(40, White);
  state.startFrom(start, Black);
  ASSERT_TRUE(state.play(Black, 100));                     // index 1
  ASSERT_TRUE(state.play(White, kNoPoint));                // index 2: a pass places nothing
  ASSERT_TRUE(state.setup({200}, {201, 202}));             // index 3
  ASSERT_TRUE(state.play(White, 101));                     // index 4
  struct Case {
    int index;
    int black;
    int white;
  } cases[] = {{0, 2, 1}, {1, 3, 1}, {2, 3, 1}, {3, 4, 3}, {4, 4, 4}};
  for (const Case& c : cases) {
    ASSERT_TRUE(state.goTo(c.index));
    int black = -1, white = -1;
    state.stonesPlaced(black, white);
    EXPECT_EQ(black, c.black) << "index " << c.index;
    EXPECT_EQ(white, c.white) << "index " << c.index;
    EXPECT_EQ(state.view().blackPlaced, c.black) << "index " << c.index;
    EXPECT_EQ(state.view().whitePlaced, c.white) << "index " << c.index;
  }
  // A study line from index 1: the main line up to there, then the study moves shown.
  ASSERT_TRUE(state.goTo(1));
  ASSERT_TRUE(state.beginStudy());
  ASSERT_TRUE(state.play(White, 300));
  ASSERT_TRUE(state.play(Black, 301));
  ASSERT_TRUE(state.play(White, 302));
  ASSERT_TRUE(state.goTo(3));
  EXPECT_EQ(state.view().blackPlaced, 4);
  EXPECT_EQ(state.view().whitePlaced, 2);
}

TEST(GameStateView, CarriesTheNearestCommentedPositions) {
  GameState state;
  state.startEmpty();
  for (int i = 0; i < 6; ++i) {
    const SgfNode note = commentNode(i == 1 || i == 4 ? "note" : "");
    ASSERT_TRUE(state.play(state.sideToMove(), i, &note));
  }
  ASSERT_TRUE(state.goTo(3));
  EXPECT_EQ(state.view().previousCommented, 2);
  EXPECT_EQ(state.view().nextCommented, 5);
  ASSERT_TRUE(state.last());
  EXPECT_EQ(state.view().nextCommented, -1);
}

TEST(GameStateView, ReaderOnAnotherThreadSeesWholeOperations) {
  GameState state;
  state.startEmpty();
  constexpr int kMoves = 200;
  std::atomic<bool> done{false};
  int checked = 0;
  std::thread reader([&] {
    do {
      const GameStateView v = state.view();
      PointList stones;
      ASSERT_EQ(v.board.pointsOfValue(Black, stones), static_cast<int>(v.moves.size()));
      ASSERT_EQ(v.currentIndex, static_cast<int>(v.moves.size()));
      if (!v.moves.empty()) {
        ASSERT_EQ(v.lastMove, v.moves.back().point);
      }
      ++checked;
    } while (!done.load());
  });
  for (int i = 0; i < kMoves; ++i) ASSERT_TRUE(state.play(Black, i));
  done = true;
  reader.join();
  EXPECT_GT(checked, 0);
  EXPECT_EQ(state.view().moves.size(), static_cast<size_t>(kMoves));
}

}  // namespace
}  // namespace mh
