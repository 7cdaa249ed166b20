#include "records/gib_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/scratch_dir.h"

namespace {

using namespace mh;

const std::string kHeader =
    "\\HS\r\n"
    "\\[GAMENAME=Final=Round\\]\r\n"
    "\\[GAMEBLACKNAME=\xBA\xDA\xC6\xE5 (9D)\\]\r\n"
    "\\[GAMEWHITENAME=white\\]\r\n"
    "\\[GAMECONDITION=\\]\r\n"
    "\\[GAMERESULT=\xB0\xD7\xD6\xD0\xC5\xCC\xCA\xA4\\]\r\n"
    "\\[GAMEBLACKNAME=second\\]\r\n"
    "\\HE\r\n";

TEST(GibFileTest, ReadsHeaderAndMoves) {
  GibFile gib;
  ASSERT_TRUE(gib.parse(kHeader +
                        "\\GS\r\n"
                        "INI 0 1 0 &4\r\n"
                        "STO 0 2 1 3 15\r\n"
                        "STO 0 3 2 15 3\r\n"
                        "STO 0 4 1 3 19\r\n"   // y out of range
                        "STO 0 5 1 3\r\n"      // too few tokens
                        "STO 0 6 3 1 1\r\n"    // colour out of range
                        "STO 0 7 0 4 4\r\n"    // colour 0: neither player
                        "STO  0 8 2\t0 18\r\n"
                        "\\[GAMENAME=late\\]\r\n"
                        "\\GE\r\n"));
  const GameRecord& r = gib.record();
  EXPECT_EQ(r.width(), 19);
  ASSERT_EQ(r.entryCount(), 3);
  EXPECT_EQ(r.entries()[0].colour, Black);
  EXPECT_EQ(r.entries()[0].point, 3 + 19 * 15);
  EXPECT_EQ(r.entries()[1].colour, White);
  EXPECT_EQ(r.entries()[1].point, 15 + 19 * 3);
  EXPECT_EQ(r.entries()[2].point, 19 * 18);
  EXPECT_TRUE(r.entries()[0].properties.empty());

  const GameInfo& info = r.info();
  EXPECT_EQ(info.gameName(), "Final");  // cut at "="
  EXPECT_EQ(info.blackName(), "\xBA\xDA\xC6\xE5 (9D)");  // the first entry wins
  EXPECT_EQ(info.whiteName(), "white");
  EXPECT_EQ(info.rules(), "");  // a line with one token is ignored
  EXPECT_EQ(info.winner(), 2);
  EXPECT_EQ(info.resultText(), "\xB0\xD7\xD6\xD0\xC5\xCC\xCA\xA4");

  GameRecord target;
  target.setSize(9, 9);
  int code = -1;
  ASSERT_TRUE(gib.toRecord(target, code));
  EXPECT_EQ(code, 2);
  EXPECT_EQ(target, r);
}

TEST(GibFileTest, ResultAndFailureRules) {
  struct Case {
    const char* name;
    std::string text;
    bool ok;
    int winner;
  };
  const Case cases[] = {
      {"black wins", "\\[GAMERESULT=\xBA\xDA 3.5\\]\n\\HE\n", true, 1},
      {"no result", "\\HE\n", true, 0},
      {"other result", "\\[GAMERESULT=draw\\]\n\\HE\n", true, 0},
      {"no \\HE line", kHeader.substr(0, kHeader.size() - 5) + "STO 0 2 1 3 15\n", false, 2},
      {"empty", "", false, 0},
      {"binary junk", std::string("\0\xFF\\[\\\n\\HX", 10), false, 0},
  };
  for (const auto& c : cases) {
    GibFile gib;
    EXPECT_EQ(gib.parse(c.text), c.ok) << c.name;
    GameRecord r;
    int code = -1;
    ASSERT_TRUE(gib.toRecord(r, code));
    EXPECT_EQ(code, c.winner) << c.name;
  }
}

// 乗 and 昞 are GB characters whose second byte is "\", a header separator.
TEST(GibFileTest, TheSecondByteOfACharacterNeverCutsAValue) {
  GibFile gib;
  ASSERT_TRUE(gib.parse("\\[GAMEWHITENAME=\x81\x5C\x95\x5C\\]\n\\[GAMEBLACKNAME=a\x95\x5C=b\\]\n\\HE\n"));
  EXPECT_EQ(gib.record().info().whiteName(), "\x81\x5C\x95\x5C");
  EXPECT_EQ(gib.record().info().blackName(), "a\x95\x5C");
}

TEST(GibFileTest, LongLinesArriveInPieces) {
  // The piece after the first 899 bytes starts a new "line", here a move line.
  const std::string longLine = "\\[GAMENAME=" + std::string(899 - 11, 'x') + "STO 0 1 1 2 2\n";
  GibFile gib;
  ASSERT_TRUE(gib.parse("\\HE\n" + longLine));
  EXPECT_EQ(gib.record().entryCount(), 1);
  GibFile header;
  ASSERT_TRUE(header.parse("\\[GAMEWHITENAME=" + std::string(2000, 'w') + "\\]\n\\HE\n"));
  EXPECT_EQ(header.record().info().whiteName(), "");  // too long to store
}

TEST(GibFileTest, ReadsFilesAndRefusesOtherPaths) {
  const test::ScratchDir scratch;
  const std::filesystem::path dir = scratch.path();
  const auto path = dir / "game.gib";
  std::ofstream(path, std::ios::binary) << kHeader << "STO 0 2 1 3 15\n";
  GibFile gib;
  EXPECT_TRUE(gib.read(path.string()));
  EXPECT_EQ(gib.record().entryCount(), 1);
  EXPECT_FALSE(gib.read(dir.string()));
  EXPECT_EQ(gib.record().entryCount(), 0);
  EXPECT_FALSE(gib.read((dir / "missing.gib").string()));
}

}  // namespace
