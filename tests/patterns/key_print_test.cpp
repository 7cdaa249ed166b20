#include "patterns/key_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>
#include <random>
#include <unordered_map>

#include "model/board_transform.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

BoardSnapshot randomSnapshot(std::mt19937& rng, int w, int h) {
  Board b(w, h);
  const int stones = static_cast<int>(rng() % 60);
  for (int i = 0; i < stones; ++i) b.set(static_cast<Point>(rng() % static_cast<unsigned>(w * h)), 1 + static_cast<int>(rng() % 2));
  return b.snapshot();
}

// The print of a turned position must be the print of the turned snapshot itself, for the
// 19 x 19 tables and the point-by-point path alike; a turn that leaves a board has none.
TEST(KeyPrintTest, TurnedPrintIsThePrintOfTheTurnedSnapshot) {
  struct Size {
    int w, h;
  };
  std::mt19937 rng(3);
  for (const Size size : {Size{19, 19}, Size{13, 13}, Size{13, 9}, Size{1, 1}}) {
    for (int round = 0; round < 40; ++round) {
      const BoardSnapshot s = randomSnapshot(rng, size.w, size.h);
      const int side = 1 + round % 2;
      EXPECT_EQ(keyPrintOf(s, side), keyPrintOf(BoardSnapshot(s), side));
      EXPECT_NE(keyPrintOf(s, side), keyPrintOf(s, 3 - side));
      for (int kind = 0; kind < 7; ++kind) {
        BoardSnapshot turned;
        const bool maps = BoardTransform(kind, size.w, size.h).mapSnapshot(s, turned);
        std::uint64_t print = 0;
        const bool printed = turnedKeyPrint(s, side, kind, print);
        if (s.points.empty() || size.w == size.h) {
          ASSERT_TRUE(maps);
          ASSERT_TRUE(printed) << size.w << "x" << size.h << " kind " << kind;
        }
        if (maps && printed) {
          EXPECT_EQ(print, keyPrintOf(turned, side)) << size.w << "x" << size.h << " kind " << kind;
        }
      }
    }
  }
}

// The one-pass form must give, turn by turn, what turnedKeyPrint gives, and 0 where it gives
// none: on 19 x 19 with stones near the edges and off the board, and on other sizes.
TEST(KeyPrintTest, AllTurnsAtOnceMatchTurnByTurn) {
  struct Case {
    const char* name;
    int w, h;
    std::vector<Point> blacks, whites;
  };
  std::vector<Case> cases = {
      {"empty", 19, 19, {}, {}},
      {"corners", 19, 19, {0, 18}, {342, 360}},
      {"off the board", 19, 19, {3, 361}, {}},
      {"negative point", 19, 19, {}, {-1}},
      {"rectangle", 13, 9, {0, 5}, {100}},
      {"small square", 9, 9, {40}, {0, 80}},
  };
  std::mt19937 rng(5);
  for (int round = 0; round < 30; ++round) {
    const BoardSnapshot s = randomSnapshot(rng, 19, 19);
    Case c{"random", 19, 19, {}, {}};
    c.blacks.assign(s.points.begin(), s.points.begin() + s.blackCount);
    c.whites.assign(s.points.begin() + s.blackCount, s.points.end());
    cases.push_back(c);
  }
  for (const Case& c : cases) {
    BoardSnapshot s;
    s.width = c.w;
    s.height = c.h;
    s.blackCount = static_cast<std::int32_t>(c.blacks.size());
    s.whiteCount = static_cast<std::int32_t>(c.whites.size());
    s.points = c.blacks;
    s.points.insert(s.points.end(), c.whites.begin(), c.whites.end());
    for (const int side : {1, 2}) {
      // All eight together: the seven turns and the print as it stands.
      std::array<std::uint64_t, 8> all{};
      keyPrints(s, side, all);
      for (int kind = 0; kind < 7; ++kind) {
        std::uint64_t one = 0;
        const bool printed = turnedKeyPrint(s, side, kind, one);
        EXPECT_EQ(all[static_cast<size_t>(kind)], printed ? one : 0) << c.name << " kind " << kind;
      }
      EXPECT_EQ(all[7], keyPrintOf(s, side)) << c.name;
    }
  }
}

// Prints followed stone by stone must be, after every stone, what keyPrints gives for the
// snapshot holding those stones; a stone off the board, or a board of another size, makes them
// unusable rather than wrong.
TEST(KeyPrintTest, StonePrintsFollowKeyPrints) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    BoardSnapshot s;
    s.width = s.height = 19;
    StonePrints stones;
    // Half the rounds start from a position, half from an empty board.
    if (round % 2 == 1) s = randomSnapshot(rng, 19, 19);
    stones.reset(s);
    ASSERT_TRUE(stones.usable());
    for (int move = 0; move < 40; ++move) {
      const Point p = static_cast<Point>(rng() % 361);
      if (std::find(s.points.begin(), s.points.end(), p) != s.points.end()) continue;
      const int colour = move % 2 == 0 ? Black : White;
      const auto blacksEnd = s.points.begin() + s.blackCount;
      if (colour == Black) {
        s.points.insert(std::lower_bound(s.points.begin(), blacksEnd, p), p);
        ++s.blackCount;
      } else {
        s.points.insert(std::lower_bound(blacksEnd, s.points.end(), p), p);
        ++s.whiteCount;
      }
      stones.add(p, colour);
      for (const int side : {1, 2}) {
        std::array<std::uint64_t, 8> expected{};
        std::array<std::uint64_t, 8> got{};
        keyPrints(s, side, expected);
        stones.prints(s, side, got);
        ASSERT_EQ(got, expected) << "round " << round << " move " << move;
      }
    }
  }
  struct Unusable {
    const char* name;
    int size;
    Point point;
  };
  for (const Unusable& c : {Unusable{"off the board", 19, 361}, Unusable{"negative", 19, -1},
                            Unusable{"other size", 13, 0}}) {
    BoardSnapshot s;
    s.width = s.height = c.size;
    StonePrints stones;
    stones.reset(s);
    stones.add(c.point, Black);
    EXPECT_FALSE(stones.usable()) << c.name;
  }
}

// Prints are stored in a library's files: a faster way of taking them must give the very same
// numbers, which these were taken from.
TEST(KeyPrintTest, PrintsStayWhatStoredFilesHold) {
  BoardSnapshot s;
  s.width = 19;
  s.height = 19;
  s.points = {60, 72, 288, 300, 61};
  s.blackCount = 3;
  s.whiteCount = 2;
  BoardSnapshot small = s;
  small.width = small.height = 17;
  const std::uint64_t expected[] = {0xb81a06cf7414da6cULL, 0x1ad86ed66422a0f8ULL, 0x52cebe79e7142808ULL, 0x9b45ef704f4049e7ULL, 0x40460a46c70820adULL, 0xb3f892a94c5a0edbULL, 0x6a52e8e83163911cULL, 0x6714ee8a49edad92ULL, 0x8a908c834c951bb6ULL, 0xd1bffaff8cd404f9ULL};
  std::vector<std::uint64_t> got = {keyPrintOf(s, 1), keyPrintOf(s, 2), keyPrintOf(small, 1)};
  for (int kind = 0; kind < 7; ++kind) {
    std::uint64_t print = 0;
    EXPECT_TRUE(turnedKeyPrint(s, 1, kind, print));
    got.push_back(print);
  }
  ASSERT_EQ(got.size(), std::size(expected));
  for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], expected[i]) << i;
}

// Appends with repeated prints, unreadable keys (print 0) and prints that share the slot and the
// tag with another (only their top bits differ) across several growths, held in memory or
// spilled from the start or midway, checked against a map of the smallest number per print.
// find may name a number whose print shares the tag, but rarely; findExact names the print's own.
// As in a build, each print may be looked up just before it is appended.
TEST(KeyPrintTest, TableFindsTheSmallestNumberForEveryPrint) {
  struct Case {
    const char* name;
    int spillAt;  // number before which the prints go to a scratch file; -1: never
    std::int32_t count;
    bool findFirst = false;  // each print looked up before it is appended
  };
  const Case cases[] = {
      {"in memory", -1, 20000},
      {"spilled from the start", 0, 150000},
      {"spilled midway", 70000, 150000},
      {"in memory, found before appending", -1, 20000, true},
      {"spilled midway, found before appending", 70000, 150000, true},
  };
  constexpr std::uint64_t kLow48 = 0xffffffffffffULL;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ScratchDir dir;
    std::mt19937_64 rng(9);
    KeyPrintTable table;
    std::unordered_map<std::uint64_t, std::int32_t> first;
    std::vector<std::uint64_t> used;
    std::vector<std::uint64_t> all;
    for (std::int32_t n = 0; n < c.count; ++n) {
      if (n == c.spillAt) {
        ASSERT_TRUE(table.spillTo(dir.path()));
      }
      std::uint64_t print = rng();
      if (n % 7 == 0 && !used.empty()) print = used[rng() % used.size()];
      // The same low 48 bits as an earlier print: the same slot and the same tag.
      if (n % 13 == 0 && !used.empty()) print = (used[rng() % used.size()] & kLow48) | (rng() & ~kLow48);
      if (n % 101 == 0) print = 0;
      if (c.findFirst) {
        (void)table.find(print);
        // Other prints looked up between, some found absent, as the turns of a position are.
        for (int k = 0; k < n % 4; ++k) (void)table.find(k % 2 ? rng() : all[rng() % all.size()]);
      }
      table.append(print);
      all.push_back(print);
      if (print != 0) {
        first.emplace(print, n);
        used.push_back(print);
      }
      if (n % 997 == 0) table.reserve(static_cast<size_t>(n) + 5000);
    }
    ASSERT_EQ(table.count(), all.size());
    ASSERT_TRUE(table.whole());
    if (c.spillAt >= 0) {
      EXPECT_LE(table.pagesHeld(), 1u);
    }
    size_t others = 0;  // finds that named another print's number
    for (const auto& [print, n] : first) {
      std::int32_t exact = -2;
      ASSERT_TRUE(table.findExact(print, exact));
      ASSERT_EQ(exact, n);
      const std::int32_t some = table.find(print);
      ASSERT_GE(some, 0);
      ASSERT_TRUE(table.sameTag(all[static_cast<size_t>(some)], print));
      if (some != n) ++others;
    }
    // Each costs the caller a read of the wrong entry: the prints made to share a tag (one in 13)
    // and few more.
    EXPECT_LT(others, first.size() / 8);
    EXPECT_EQ(table.find(0), -1);
    for (int i = 0; i < 20000; ++i) {
      const std::uint64_t absent =
          i % 2 ? rng() : (used[rng() % used.size()] & kLow48) | (rng() & ~kLow48);
      if (first.contains(absent)) continue;
      std::int32_t exact = -2;
      ASSERT_TRUE(table.findExact(absent, exact));
      ASSERT_EQ(exact, -1);
      const std::int32_t some = table.find(absent);
      if (some >= 0) {
        ASSERT_TRUE(table.sameTag(all[static_cast<size_t>(some)], absent));
      }
    }
    // Every print reads back in number order, and out of it.
    for (size_t n = 0; n < all.size(); ++n) {
      std::uint64_t print = 1;
      ASSERT_TRUE(table.print(n, print));
      ASSERT_EQ(print, all[n]) << n;
    }
    for (size_t n = all.size(); n-- > 0;) {
      std::uint64_t print = 1;
      ASSERT_TRUE(table.print(n, print));
      ASSERT_EQ(print, all[n]) << n;
    }
  }
}

}  // namespace
}  // namespace mh
