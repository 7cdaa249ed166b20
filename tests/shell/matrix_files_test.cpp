#include "shell/matrix_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "engine/matrix_matcher.h"
#include "model/board.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

const std::string kShipped = std::string(MOONHAVEN_SOURCE_DIR) + "/data/";

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

TEST(MatrixFiles, TheProgramsDirectoryComesBeforeTheShippedFilesAndMissingOnesStayEmpty) {
  const test::ScratchDir home, data;
  writeFile(home.file("matrix_edge.txt"), "name: e 2 2\n--\n.*\n");
  writeFile(data.file("matrix_edge.txt"), "name: shipped 2 3\n---\n.*.\n");
  writeFile(data.file("matrix_corner.txt"), "name: c 2 2\n--\n-*\n");
  MatrixLibraries libraries;
  const std::vector<std::string> read = loadMatrixFiles(libraries, home.path() + "/", data.path() + "/");
  EXPECT_EQ(read, (std::vector<std::string>{home.file("matrix_edge.txt"), data.file("matrix_corner.txt")}));
  EXPECT_EQ(libraries.interior.size(), 0);
  ASSERT_GT(libraries.edge.size(), 0);
  EXPECT_EQ(libraries.edge.patterns()[0].name, "e");
  ASSERT_GT(libraries.corner.size(), 0);
  EXPECT_EQ(libraries.corner.patterns()[0].name, "c");

  MatrixLibraries none;
  EXPECT_TRUE(loadMatrixFiles(none, "", "").empty()) << "no folder known";
}

// The shipped corner library answers the usual corner positions, in every corner.
TEST(MatrixFiles, TheShippedCornerLibrarySuggestsTheUsualCornerMoves) {
  MatrixLibraries libraries;
  ASSERT_EQ(loadMatrixFiles(libraries, "", kShipped).size(), 1u);
  // Stones in the top-left corner by (column, row) from 0, and the stars expected there.
  const struct {
    const char* what;
    std::vector<std::pair<int, int>> black, white;
    int toMove;
    std::set<std::pair<int, int>> stars;
  } cases[] = {
      {"empty corner", {}, {}, Black, {{3, 3}, {2, 3}, {3, 2}}},
      {"the other side's 4-4", {{3, 3}}, {}, White, {{2, 2}, {5, 2}, {2, 5}}},
      {"invaded under our 4-4", {{3, 3}}, {{2, 2}}, Black, {{3, 2}, {2, 3}}},
      {"the other side's 3-3", {{2, 2}}, {}, White, {{3, 3}}},
      {"our 3-4", {{2, 3}}, {}, Black, {{4, 2}}},
      {"our 3-4, the other way", {{3, 2}}, {}, Black, {{2, 4}}},
      {"a crowded corner", {{2, 2}, {3, 3}}, {{4, 4}}, Black, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Board board(19, 19);
    for (const auto& [x, y] : c.black) ASSERT_TRUE(board.place(Black, x + 19 * y));
    for (const auto& [x, y] : c.white) ASSERT_TRUE(board.place(White, x + 19 * y));
    MatrixMatcher matcher;
    matcher.run(board, c.toMove, libraries);
    std::set<std::pair<int, int>> topLeft;
    int elsewhere = 0;
    for (Point p : cornerHintPoints(matcher, libraries.corner, board)) {
      if (p % 19 < 9 && p / 19 < 9) topLeft.insert({p % 19, p / 19});
      else ++elsewhere;
    }
    EXPECT_EQ(topLeft, c.stars);
    if (c.black.empty() && c.white.empty()) {
      EXPECT_EQ(elsewhere, 9) << "the three other corners";
    }
  }
}

}  // namespace
}  // namespace mh
