#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "engine/matrix_library.h"
#include "engine/matrix_matcher.h"
#include "support/board_diagram.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

// Writes text to a file in dir and returns its path.
std::string writeFile(const test::ScratchDir& dir, const std::string& name, const std::string& text) {
  const std::string path = dir.file(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

MatrixPattern pattern(const std::string& name, std::vector<std::string> rows) {
  MatrixPattern p;
  p.name = name;
  p.height = static_cast<int>(rows.size());
  p.width = static_cast<int>(rows.front().size());
  for (const auto& r : rows) p.cells.insert(p.cells.end(), r.begin(), r.end());
  return p;
}

std::string rowsOf(const MatrixPattern& p) {
  std::string s;
  for (int r = 0; r < p.height; ++r) {
    if (r) s += '/';
    s.append(p.cells.begin() + r * p.width, p.cells.begin() + (r + 1) * p.width);
  }
  return s;
}

TEST(MatrixPattern, CellCharactersMatchTheirWindowCharacters) {
  const std::string windowChars = "-.OX";
  const struct {
    char pattern;
    const char* accepts;
  } table[] = {{'.', "."}, {'O', "O"}, {'X', "X"}, {'-', "-"}, {'|', "-"}, {'*', "."},
               {'?', ".OX"}, {'S', "OX"}, {'o', "O."}, {'x', "X."}, {'#', ""}, {'\0', ""}};
  for (const auto& row : table)
    for (char w : windowChars)
      EXPECT_EQ(matrixCellMatches(row.pattern, w), std::string(row.accepts).find(w) != std::string::npos)
          << "pattern '" << row.pattern << "' window '" << w << "'";
}

TEST(MatrixPattern, CutSeesTheBoardFromTheColourToMove) {
  const Board board = test::boardFromDiagram(R"(
    X O .
    . . .
    . . X)");
  MatrixPattern w;
  ASSERT_TRUE(w.cut(board, -1, -1, 1, 0, Black));
  EXPECT_EQ(rowsOf(w), "---/-OX");
  EXPECT_EQ(w.originColumn, -1);
  ASSERT_TRUE(w.cut(board, 1, 1, 3, 2, White));
  EXPECT_EQ(rowsOf(w), "..-/.X-");
  EXPECT_FALSE(w.cut(board, 2, 0, 1, 0, Black));
  EXPECT_EQ(rowsOf(w), "..-/.X-") << "an empty range leaves the pattern unchanged";
}

TEST(MatrixPattern, MirrorsAndTranspose) {
  const MatrixPattern p = pattern("k", {"abc", "def"});
  EXPECT_EQ(rowsOf(p.mirrorColumns()), "cba/fed");
  EXPECT_EQ(rowsOf(p.mirrorRows()), "def/abc");
  const MatrixPattern t = p.transpose();
  EXPECT_EQ(t.width, 2);
  EXPECT_EQ(t.height, 3);
  EXPECT_EQ(rowsOf(t), "ad/be/cf");
  EXPECT_EQ(t.name, "k");
}

TEST(MatrixLibrary, SymmetricAddKeepsDistinctImagesOnly) {
  MatrixLibrary lib;
  ASSERT_TRUE(lib.AddSymmetric(pattern("ko", {"abc", "def"})));
  EXPECT_EQ(lib.size(), 8);
  EXPECT_FALSE(lib.AddSymmetric(pattern("other", {"abc", "def"}))) << "a duplicate adds nothing";
  EXPECT_EQ(lib.size(), 8);
  ASSERT_TRUE(lib.AddSymmetric(pattern("star", {"*"})));
  EXPECT_EQ(lib.size(), 9) << "a symmetric pattern adds only itself";
  ASSERT_TRUE(lib.AddSymmetric(pattern("line", {"ab"})));
  EXPECT_EQ(lib.size(), 13) << "ab, ba and their two transposes";
}

TEST(MatrixLibrary, LoadTextReadsHeadersRowsAndSkipsWhatIsMalformed) {
  const test::ScratchDir dir;
  const std::string path = writeFile(dir, "mixed.txt",
                                     "// comment line\n"
                                     "name: ko 2 3\n"
                                     "O.X\r\n"
                                     "-*.\n"
                                     "name: broken 4\n"  // one number: ignored, and so are the rows below
                                     "...\n"
                                     "name: short 2 3\n"
                                     "...\n"
                                     ".\n"  // a short row ends the pattern without adding it
                                     "name:(empty,0,0)\n"
                                     "name: huge 3 100000\n"
                                     "name: star 1 1 extra tokens\n"
                                     "*\n");
  MatrixLibrary lib;
  ASSERT_TRUE(lib.LoadText(path, true));
  ASSERT_GE(lib.size(), 2);
  EXPECT_EQ(lib.patterns()[0].name, "ko");
  EXPECT_EQ(rowsOf(lib.patterns()[0]), "O.X/-*.");
  EXPECT_EQ(lib.size(), 8 + 1);
  EXPECT_EQ(lib.patterns().back().name, "star");
  EXPECT_TRUE(lib.hasSize(3, 2));
  EXPECT_TRUE(lib.hasSize(2, 3));
  EXPECT_FALSE(lib.hasSize(4, 4));
  EXPECT_FALSE(lib.hasSize(-1, 200));

  ASSERT_TRUE(lib.LoadText(path, false));
  EXPECT_EQ(lib.size(), 9) << "the same file twice adds nothing";
  EXPECT_TRUE(lib.hasSize(3, 2)) << "the index is rebuilt";
  EXPECT_FALSE(lib.LoadText(path + ".missing", false));
  EXPECT_EQ(lib.size(), 9);
}

TEST(MatrixLibrary, WidePatternsAreKeptButNeverFound) {
  MatrixLibrary lib;
  ASSERT_TRUE(lib.add(pattern("wide", {std::string(120, '.')})));
  lib.rebuildIndex();
  MatrixPattern window = pattern("", {std::string(120, '.')});
  EXPECT_EQ(lib.find(window, 0), -1);
  EXPECT_FALSE(lib.hasSize(120, 1));
}

TEST(MatrixLibrary, HostileFilesLoadWithoutCrashingOrStalling) {
  std::string many;
  for (int i = 0; i < 100000; ++i) many += "name: p" + std::to_string(i) + " 1 4\n" + std::string(1, "OX.*"[i % 4]) + ".?S\n";
  std::mt19937 rng(3);
  std::string junk(200000, '\0');
  for (char& c : junk) c = static_cast<char>(rng());
  std::string longRows = "name: long 2 5\n" + std::string(5000, '.') + "\n" + std::string(5000, '.') + "\n";
  const test::ScratchDir dir;
  for (const auto& [name, text] : {std::pair{"many", many}, {"junk", junk}, {"long", longRows}}) {
    MatrixLibrary lib;
    EXPECT_TRUE(lib.LoadText(writeFile(dir, name, text), true)) << name;
  }
  MatrixLibrary lib;
  ASSERT_TRUE(lib.LoadText(writeFile(dir, "many", many), true));
  EXPECT_EQ(lib.size(), 4 * 4) << "four distinct 1 x 4 shapes, each with its three distinct images";
}

TEST(MatrixMatcher, CornerPatternGivesTheFourCornerPoints) {
  MatrixLibraries libs;
  ASSERT_TRUE(libs.corner.AddSymmetric(pattern("corner", {"--", "-*"})));
  libs.corner.rebuildIndex();
  const Board board;
  MatrixMatcher m;
  m.run(board, Black, libs);
  EXPECT_EQ(m.cornerMatches().size(), 4u);
  EXPECT_EQ(m.cornerMatches()[0], (MatchRecord{-1, -1, 2, 2, 0}));
  const PointList hints = cornerHintPoints(m, libs.corner, board);
  EXPECT_EQ(hints, (PointList{0, 18, 342, 360}));
  std::vector<MatchRecord> byName;
  EXPECT_EQ(m.MatchesByName(2, "corner", byName), 4);
  EXPECT_EQ(m.MatchesByName(0, "corner", byName), 0);
  EXPECT_EQ(m.MatchesByName(7, "corner", byName), 0);
}

TEST(MatrixMatcher, CornerWindowsLargerThanTheBoardAreOffBoardBeyondIt) {
  MatrixLibraries libs;
  std::vector<std::string> rows(21, std::string(21, '?'));
  rows[0] = std::string(21, '-');
  for (auto& r : rows) r[0] = '-';
  rows[20] = std::string(21, '-');
  for (auto& r : rows) r[20] = '-';
  ASSERT_TRUE(libs.corner.add(pattern("whole", rows)));
  libs.corner.rebuildIndex();
  MatrixMatcher m;
  m.run(Board(), White, libs);
  EXPECT_EQ(m.cornerMatches().size(), 4u) << "every corner window of 21 x 21 is the whole board framed by '-'";
}

TEST(MatrixMatcher, MatchesAreSeenFromTheColourToMoveAndFoundAtEveryPlace) {
  MatrixLibraries libs;
  ASSERT_TRUE(libs.interior.AddSymmetric(pattern("hane", {"OX", "*."})));
  ASSERT_TRUE(libs.edge.AddSymmetric(pattern("edge", {"||", "*."})));
  libs.interior.rebuildIndex();
  libs.edge.rebuildIndex();
  Board board(5, 5);
  board.set(board.point(2, 2), Black);
  board.set(board.point(3, 2), White);
  MatrixMatcher m;
  std::vector<MatchRecord> found;
  m.run(board, Black, libs);
  EXPECT_GT(m.MatchesByName(0, "hane", found), 0);
  EXPECT_EQ(found.front().originColumn, 2);
  EXPECT_EQ(m.MatchesByName(1, "edge", found), 4 * 4) << "one record per window: 4 places on each of 4 sides";
  m.run(board, White, libs);
  EXPECT_GT(m.MatchesByName(0, "hane", found), 0) << "a mirror image matches the other colour's view";
  EXPECT_EQ(found.front().originColumn, 2);
}

}  // namespace
}  // namespace mh
