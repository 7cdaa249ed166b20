#include "patterns/assist_libraries.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

#include "support/pattern_entries.h"

namespace mh {
namespace {

constexpr Point P(int x, int y) { return x + 19 * y; }

TEST(AssistLibraries, PicksByPlayedCount) {
  const std::vector<PatternCandidate> threeAndOne{{P(3, 3), 3, 0, 0}, {P(15, 15), 1, 0, 0}};
  const std::vector<PatternCandidate> withDamage{{P(1, 1), -5, 0, 0}, {P(2, 2), 0, 0, 0}, {P(3, 3), 2, 0, 0}};
  const struct {
    const char* name;
    const std::vector<PatternCandidate>* candidates;
    std::uint32_t r;
    int picked;
  } table[] = {
      {"r 0", &threeAndOne, 0, 0},   {"r 2", &threeAndOne, 2, 0},
      {"r 3", &threeAndOne, 3, 1},   {"r 4 wraps", &threeAndOne, 4, 0},
      {"r 7", &threeAndOne, 7, 1},   {"largest r", &threeAndOne, 0xFFFFFFFFu, 1},
      {"negative and zero counts weigh nothing", &withDamage, 1, 2},
  };
  for (const auto& row : table) EXPECT_EQ(pickByPlayed(*row.candidates, row.r), row.picked) << row.name;
  EXPECT_EQ(pickByPlayed({}, 5), -1);
  EXPECT_EQ(pickByPlayed({{P(1, 1), 0, 0, 0}, {P(2, 2), -3, 0, 0}}, 5), -1) << "no weight, no division by zero";
}

TEST(AssistLibraries, ChoosesThreeAgainstOneAboutThreeTimesInFour) {
  PatternLibrary global;
  ASSERT_TRUE(global.add(test::patternEntry(Board(), Black, {{P(3, 15), 3, 2, 1}, {P(15, 3), 1, 1, 0}})));
  GameState state;
  state.startEmpty();
  std::mt19937 random(20240601);
  int first = 0, second = 0;
  constexpr int kDraws = 4000;
  for (int i = 0; i < kDraws; ++i) {
    const std::optional<Point> move = assistMove({&global, nullptr}, state, Black, random);
    ASSERT_TRUE(move.has_value());
    if (*move == P(3, 15)) ++first;
    if (*move == P(15, 3)) ++second;
  }
  EXPECT_EQ(first + second, kDraws);
  EXPECT_NEAR(static_cast<double>(first) / kDraws, 0.75, 0.03);
}

TEST(AssistLibraries, FallsFromGlobalToLocalToNothing) {
  // After Black D4 and White Q16 (the last move), Black is to move.
  GameState state;
  state.startEmpty();
  ASSERT_TRUE(state.play(Black, P(3, 15)));
  ASSERT_TRUE(state.play(White, P(15, 3)));
  Board clusterOnly;
  clusterOnly.set(P(15, 3), White);  // the cluster of the last move, alone on a board

  const PatternCandidate globalMove{P(16, 16), 5, 3, 2};
  const PatternCandidate globalPass{kNoPoint, 5, 3, 2};
  const PatternCandidate occupied{P(3, 15), 5, 3, 2};
  const PatternCandidate localMove{P(16, 5), 2, 1, 1};
  struct Case {
    const char* name;
    std::optional<PatternCandidate> global;  // the global entry's only candidate
    std::optional<PatternCandidate> local;   // the local entry's only candidate
    bool withLocalLibrary;
    std::optional<Point> expected;
  };
  const Case table[] = {
      {"the global library answers first", globalMove, localMove, true, P(16, 16)},
      {"a global pass is not taken", globalPass, localMove, true, P(16, 5)},
      {"an occupied global point is not taken", occupied, localMove, true, P(16, 5)},
      {"the local library answers when the global knows nothing", std::nullopt, localMove, true, P(16, 5)},
      {"an occupied local point is not taken", std::nullopt, occupied, true, std::nullopt},
      {"a local pass is taken", std::nullopt, globalPass, true, kNoPoint},
      {"no local library", globalPass, std::nullopt, false, std::nullopt},
      {"neither knows the position", std::nullopt, std::nullopt, true, std::nullopt},
  };
  for (const Case& c : table) {
    PatternLibrary global, local;
    if (c.global) {
      ASSERT_TRUE(global.add(test::patternEntry(state.board(), Black, {*c.global})));
    }
    if (c.local) {
      ASSERT_TRUE(local.add(test::patternEntry(clusterOnly, Black, {*c.local})));
    }
    // An entry for the other side must never answer.
    ASSERT_TRUE(global.add(test::patternEntry(state.board(), White, {globalMove})));
    std::mt19937 random(1);
    const AssistLibraries libraries{&global, c.withLocalLibrary ? &local : nullptr};
    EXPECT_EQ(assistMove(libraries, state, Black, random), c.expected) << c.name;
  }
}

TEST(AssistLibraries, TurnsAMirroredEntryIntoTheBoardsOrientation) {
  GameState state;
  state.startEmpty();
  ASSERT_TRUE(state.play(Black, P(3, 15)));  // D4
  Board mirrored;
  mirrored.set(P(15, 15), Black);  // Q4: the same position flipped left to right
  PatternLibrary global;
  ASSERT_TRUE(global.add(test::patternEntry(mirrored, White, {{P(2, 2), 1, 1, 0}})));
  std::mt19937 random(3);
  EXPECT_EQ(assistMove({&global, nullptr}, state, White, random), P(16, 2));
}

}  // namespace
}  // namespace mh
