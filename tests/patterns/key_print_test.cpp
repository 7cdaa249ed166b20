#include "patterns/key_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <unordered_map>

#include "model/board_transform.h"

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

// Appends with repeated prints and unreadable keys (print 0) across several growths, checked
// against a map holding the smallest number per print; absent prints are never found.
TEST(KeyPrintTest, TableFindsTheSmallestNumberForEveryPrint) {
  std::mt19937_64 rng(9);
  KeyPrintTable table;
  std::unordered_map<std::uint64_t, std::int32_t> first;
  std::vector<std::uint64_t> used;
  for (std::int32_t n = 0; n < 20000; ++n) {
    std::uint64_t print = rng();
    if (n % 7 == 0 && !used.empty()) print = used[rng() % used.size()];
    if (n % 101 == 0) print = 0;
    table.append(print);
    if (print != 0) {
      first.emplace(print, n);
      used.push_back(print);
    }
    if (n % 997 == 0) table.reserve(static_cast<size_t>(n) + 5000);
  }
  for (const auto& [print, n] : first) ASSERT_EQ(table.find(print), n);
  EXPECT_EQ(table.find(0), -1);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t absent = rng();
    if (!first.contains(absent)) {
      ASSERT_EQ(table.find(absent), -1);
    }
  }
}

}  // namespace
}  // namespace mh
