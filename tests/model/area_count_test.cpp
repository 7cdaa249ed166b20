#include "model/area_count.h"

#include <gtest/gtest.h>

#include "support/board_diagram.h"

namespace mh {
namespace {

TEST(AreaCount, StonesAndTheRegionsOnlyOneColourBorders) {
  const struct {
    const char* name;
    Board board;
    int black;
    int white;
  } cases[] = {
      // The top left corner is Black's; the bottom row touches both colours.
      {"corner and shared row", test::boardFromDiagram(R"(
          . X O .
          . X O .
          X X O O
          . . . .)"),
       4 + 2, 4 + 2},
      // Black owns the left; the middle column touches both, and the right region touches the lone
      // black stone as well as White's wall.
      {"a lone stone spoils a region", test::boardFromDiagram(R"(
          . . X . O . X
          . . X . O . .
          . . X . O . .
          . . X . O . .)"),
       4 + 8 + 1, 4},
      {"an empty board touches no stone", Board(9, 9), 0, 0},
      {"one stone owns the rest", test::boardFromDiagram(R"(
          . . .
          . O .
          . . .)"),
       0, 9},
  };
  for (const auto& c : cases) {
    const AreaCount count = areaCount(c.board);
    EXPECT_EQ(count.black, c.black) << c.name;
    EXPECT_EQ(count.white, c.white) << c.name;
  }
}

}  // namespace
}  // namespace mh
