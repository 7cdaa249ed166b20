#include "records/sgf_conversion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "records/sgf_file.h"
#include "support/scratch_dir.h"

namespace {

using namespace mh;

// Parses the text and converts it; false when either step fails.
bool load(const std::string& text, GameRecord& record) {
  const auto root = SgfFile::parse(text, false);
  return root && sgfToRecord(*root, record);
}

TEST(SgfConversionTest, ResultRules) {
  struct Case {
    const char* value;
    int winner;
    std::string text;
  };
  const Case cases[] = {
      {"W+R", 2, "W+R"},
      {" 0 ", 0, "\xBA\xCD\xC6\xE5"},
      {"Draw", 0, "\xBA\xCD\xC6\xE5"},
      {"\xBA\xCD\xC6\xE5 (jigo)", 0, "\xBA\xCD\xC6\xE5"},
      {"b+3.5", 1, "b+3.5"},
      {" W+Resign ", 2, "W+Resign"},
      {"\xB0\xD7\xCA\xA4 2.5", 2, "\xB0\xD7\xCA\xA4 2.5"},
      {"\xBA\xDA\xCA\xA4", 1, "\xBA\xDA\xCA\xA4"},
      {"B+ and a very long explanation of it", 1, "B+"},
      {"W+ and a very long explanation of it", 2, "W+"},
      {"?", 0, ""},
      {"", 0, ""},
  };
  for (const auto& c : cases) {
    const SgfResult r = parseSgfResult(c.value);
    EXPECT_EQ(r.winner, c.winner) << c.value;
    EXPECT_EQ(r.text, c.text) << c.value;
  }
}

TEST(SgfConversionTest, RootFillsInformation) {
  GameRecord record;
  const std::string longName(50, 'n');
  ASSERT_TRUE(load("(;GN[game]PB[" + longName + "]BR[9\xB6\xCE]PW[ white ]WR[0123456789]RU[Chinese]RE[B+R])", record));
  const GameInfo& info = record.info();
  EXPECT_EQ(info.gameName(), "game");
  EXPECT_EQ(info.blackName(), "");  // 50 bytes or more leave the field empty
  EXPECT_EQ(info.blackRank(), "9\xB6\xCE");
  EXPECT_EQ(info.whiteName(), " white ");  // copied as stored
  EXPECT_EQ(info.whiteRank(), "");
  EXPECT_EQ(info.rules(), "Chinese");
  EXPECT_EQ(info.winner(), 1);
  EXPECT_EQ(info.resultText(), "B+R");
}

TEST(SgfConversionTest, BoardSize) {
  struct Case {
    const char* sz;
    bool ok;
    int width;
    int height;
  };
  const Case cases[] = {
      {"", true, 19, 19},          {"SZ[19:13]", true, 19, 13}, {"SZ[9]", true, 9, 9},
      {"SZ[]", true, 19, 19},      {"SZ[1:2:3]", true, 19, 19}, {"SZ[::7::5:]", true, 7, 5},
      {"SZ[52:1]", true, 52, 1},   {"SZ[0]", false, 0, 0},      {"SZ[53]", false, 0, 0},
      {"SZ[19:60]", false, 0, 0},  {"SZ[-1]", false, 0, 0},     {"SZ[99999999]", false, 0, 0},
  };
  for (const auto& c : cases) {
    GameRecord record;
    EXPECT_EQ(load(std::string("(;") + c.sz + ")", record), c.ok) << c.sz;
    if (!c.ok) continue;
    EXPECT_EQ(record.width(), c.width) << c.sz;
    EXPECT_EQ(record.height(), c.height) << c.sz;
    EXPECT_EQ(record.initialPosition().width(), c.width) << c.sz;
  }
}

TEST(SgfConversionTest, RootSetupStopsAtFirstPairOffTheBoard) {
  GameRecord record;
  ASSERT_TRUE(load("(;SZ[9]AB[aa][ bb ][abc][jj][cc]AW[ia][aj][ib])", record));
  PointList black, white;
  record.initialPosition().pointsOfValue(Black, black);
  record.initialPosition().pointsOfValue(White, white);
  EXPECT_EQ(black, (PointList{0, 10}));  // abc ignored, jj (x = 9) stops the list
  EXPECT_EQ(white, (PointList{8, 17}));  // aj (y = 9) is below the board: skipped
  EXPECT_TRUE(record.entries().empty());
}

TEST(SgfConversionTest, MainLineBecomesEntries) {
  GameRecord record;
  ASSERT_TRUE(load(
      "(;SZ[19:13]"
      ";B[pd]C[first]"
      ";W[tt]"
      ";B[]"
      ";W[ ]"
      ";C[just a comment]TR[aa]"
      ";AB[cc][dd]AW[ee]"
      ";W[am]AB[ff]"
      ";B[an]"
      "(;W[bb])(;W[cc]))",
      record));
  const auto& e = record.entries();
  ASSERT_EQ(e.size(), 9u);
  struct Expected {
    int flags;
    int colour;
    Point point;
    PointList black;
    PointList white;
  };
  const Expected expected[] = {
      {1, Black, 15 + 19 * 3, {}, {}},
      {1, White, kNoPoint, {}, {}},
      {1, Black, kNoPoint, {}, {}},  // an empty value is a pass
      {1, White, kNoPoint, {}, {}},
      {2, Black, kNoPoint, {}, {}},  // comment only: a position without stones
      {2, Black, kNoPoint, {2 + 19 * 2, 3 + 19 * 3}, {4 + 19 * 4}},
      {3, White, 19 * 12, {5 + 19 * 5}, {}},
      {1, Black, kNoPoint, {}, {}},  // y 13 is below a 13-high board
      {1, White, 1 + 19 * 1, {}, {}},  // the first variation is the main line
  };
  for (size_t i = 0; i < e.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(e[i].flags, expected[i].flags);
    if (e[i].hasMove()) {
      EXPECT_EQ(e[i].colour, expected[i].colour);
      EXPECT_EQ(e[i].point, expected[i].point);
    }
    EXPECT_EQ(e[i].blackSetup, expected[i].black);
    EXPECT_EQ(e[i].whiteSetup, expected[i].white);
    EXPECT_TRUE(e[i].properties.children().empty());
  }
  EXPECT_EQ(e[0].properties.comment(), "first");
  EXPECT_EQ(e[4].properties.comment(), "just a comment");
  EXPECT_TRUE(e[4].properties.findProperty("TR"));
}

TEST(SgfConversionTest, InvalidMovesFailTheConversion) {
  // A failed record holds the entries converted before the bad move, and nothing of that move.
  const struct {
    const char* text;
    int entries;
  } cases[] = {{"(;;B[abc])", 0}, {"(;;W[a])", 0}, {"(;;B[xyz]W[aa])", 0}, {"(;;B[aa];W[toolong])", 1}};
  for (const auto& c : cases) {
    GameRecord record;
    EXPECT_FALSE(load(c.text, record)) << c.text;
    EXPECT_EQ(record.entryCount(), c.entries) << c.text;
  }
}

TEST(SgfConversionTest, RecordToSgfWritesOneMainLine) {
  GameRecord record;
  ASSERT_TRUE(load("(;SZ[9]AB[aa][cc]AW[bb];B[dd]C[dropped];W[tt];C[only];AB[ee]AW[ff];W[gg]AB[hh];B[ii])", record));
  record.info().setWinner(2);
  SgfNode root;
  ASSERT_TRUE(recordToSgf(record, std::nullopt, root));
  EXPECT_EQ(SgfFile::format(root), "(;SZ[9]AB[aa][cc]AW[bb];B[dd];W[tt];AB[ee]AW[ff];W[gg]AB[hh];B[ii])");

  const std::pair<int, const char*> codes[] = {{0, "RE[0]"}, {1, "RE[B+]"}, {2, "RE[W+]"}, {7, "RE[]"}};
  for (const auto& [code, re] : codes) {
    ASSERT_TRUE(recordToSgf(record, code, root));
    EXPECT_EQ(SgfFile::format(root).substr(0, 2 + std::string(re).size()), std::string("(;") + re) << code;
  }
  EXPECT_TRUE(roomToSgf(record, "Lee", "", 1, root));
  EXPECT_TRUE(SgfFile::format(root).starts_with("(;PB[Lee]RE[B+]SZ[9]AB[aa][")) << SgfFile::format(root);
  EXPECT_TRUE(roomToSgf(record, "\xB6\xCE", "b", std::nullopt, root));
  EXPECT_TRUE(SgfFile::format(root).starts_with("(;CA[GBK]PB[\xB6\xCE]PW[b]SZ[9]AB[aa][cc]")) << SgfFile::format(root);
}

TEST(SgfConversionTest, ASaveKeepsAResultTextThatReadsBackAsItsWinner) {
  const test::ScratchDir scratch;
  const std::string path = scratch.file("result.sgf");
  const std::string counted = "\xBA\xDA\xCA\xA4  0.75 \xD7\xD3";  // 黑胜  0.75 子, as a count stores it
  struct Case {
    int winner;
    std::string text;
    std::string written;  // RE as saved
  };
  const Case cases[] = {
      {GameInfo::BlackWins, "B+3.5", "B+3.5"},
      {GameInfo::WhiteWins, "W+R", "W+R"},
      {GameInfo::BlackWins, counted, counted},
      {GameInfo::WhiteWins, counted, "W+"},          // the text names the other winner
      {GameInfo::BlackWins, "", "B+"},
      {GameInfo::BlackWins, "\xC6\xBD\xBE\xD6  ", "B+"},  // a counted draw left the winner as it was
      {GameInfo::NoWinner, "\xBA\xCD\xC6\xE5", "0"},      // a draw keeps the standard form
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    GameRecord record;
    record.appendMove(Black, 60);
    record.info().setWinner(c.winner);
    ASSERT_TRUE(record.info().setText(GameInfo::kResultText, c.text));
    ASSERT_TRUE(saveRecordAsSgf(record, path));
    const auto root = SgfFile::read(path, false);
    ASSERT_TRUE(root);
    GameRecord back;
    ASSERT_TRUE(sgfToRecord(*root, back));
    ASSERT_NE(root->findProperty("RE"), nullptr);
    EXPECT_EQ(root->findProperty("RE")->value, c.written);
    EXPECT_EQ(back.info().winner(), c.winner);
    if (c.written == c.text) {
      EXPECT_EQ(back.info().resultText(), c.text);
    }
  }
}

TEST(SgfConversionTest, PassesReadBackAsPassesOnEveryBoardSize) {
  for (int side : {1, 9, 19, 20, 25, 26, 52}) {
    GameRecord record;
    ASSERT_TRUE(record.setSize(side, side));
    record.appendMove(Black, kNoPoint);
    record.appendMove(White, side * side - 1 < 31 ? side * side - 1 : 0);
    SgfNode root;
    ASSERT_TRUE(recordToSgf(record, std::nullopt, root));
    GameRecord back;
    ASSERT_TRUE(load(SgfFile::format(root), back)) << side;
    ASSERT_EQ(back.entryCount(), 2) << side;
    EXPECT_EQ(back.entries()[0].point, kNoPoint) << side;
    EXPECT_EQ(back.entries()[1].point, record.entries()[1].point) << side;
  }
}

TEST(SgfConversionTest, ExportWritesDefaultSgf) {
  const test::ScratchDir scratch;
  const std::filesystem::path dir = scratch.path();
  GameRecord record;
  record.appendMove(Black, 0);
  EXPECT_TRUE(exportDefaultSgf(record, dir.string()));
  std::ifstream in(dir / "default.sgf");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "(;SZ[19];B[aa])");
  EXPECT_FALSE(exportDefaultSgf(record, (dir / "missing").string()));
}

}  // namespace
