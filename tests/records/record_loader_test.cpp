#include "records/record_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "support/scratch_dir.h"

namespace {

using namespace mh;

TEST(RecordLoaderTest, ChoosesTheReaderByExtension) {
  const test::ScratchDir scratch;
  const std::filesystem::path dir = scratch.path();
  std::filesystem::create_directories(dir / "folder.sgf");
  std::filesystem::create_directories(dir / "dotted.d");
  const auto write = [&](const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  };
  struct Case {
    std::string path;
    RecordLoadStatus status;
    int entries;
    std::string error;  // ParseError::text() of a failure
  };
  const std::string notARecord = "not a game record: the board size is outside 1..52, or a move is not two letters";
  const std::string otherName = "the file name ends neither in .sgf nor in .gib";
  const Case cases[] = {
      {write("a.sgf", "(;RE[W+R];B[aa];W[bb])"), RecordLoadStatus::Ok, 2, ""},
      {write("b.SGF", "(;;B[aa])"), RecordLoadStatus::Ok, 1, ""},
      {write("c.Gib", "\\[GAMERESULT=\xB0\xD7\\]\n\\HE\nSTO 0 1 1 3 3\n"), RecordLoadStatus::Ok, 1, ""},
      {write("d.sgf", "(;B[aa]"), RecordLoadStatus::SgfReadFailed, 0,
       "line 1, column 8 (byte 7): the text ends where a property, ';', '(' or ')' belongs"},
      {write("e.sgf", "(;SZ[99];B[aa])"), RecordLoadStatus::SgfConvertFailed, 0, notARecord},
      {write("f.gib", "\\[GAMENAME=x\\]\n"), RecordLoadStatus::GibReadFailed, 0,
       "line 2, column 1 (byte 15): no \\HE line ends the header"},
      {write("g.txt", "(;B[aa])"), RecordLoadStatus::UnknownFormat, 0, otherName},
      {write("sgf", "(;B[aa])"), RecordLoadStatus::UnknownFormat, 0, otherName},
      {(dir / "missing.sgf").string(), RecordLoadStatus::SgfReadFailed, 0,
       "cannot read the file: No such file or directory"},
      {write("dotted.d/game", "(;;B[aa])"), RecordLoadStatus::UnknownFormat, 0, otherName},  // a dot in a folder
      {(dir / "folder.sgf").string(), RecordLoadStatus::SgfReadFailed, 0, "cannot read the file: not a regular file"},
  };
  for (const auto& c : cases) {
    GameRecord record;
    int code = -1;
    ParseError error;
    EXPECT_EQ(loadRecordFile(c.path, false, record, code, &error), c.status) << c.path;
    EXPECT_EQ(error.text(), c.error) << c.path;
    if (c.status != RecordLoadStatus::Ok) continue;
    EXPECT_EQ(record.entryCount(), c.entries) << c.path;
    EXPECT_EQ(code, record.info().winner()) << c.path;
  }
}

// A collection: each game by its tree number, the games listed, a tree that does not exist.
TEST(RecordLoaderTest, PicksAndListsTheGamesOfACollection) {
  const test::ScratchDir scratch;
  const std::filesystem::path dir = scratch.path();
  const std::string path = (dir / "three.sgf").string();
  std::ofstream(path, std::ios::binary) << "(;PB[a]PW[x]RE[B+R];B[aa])\n(;PB[b]BR[9d];B[aa];W[bb])\n(;SZ[99])";
  const std::string gib = (dir / "one.gib").string();
  std::ofstream(gib, std::ios::binary) << "\\[GAMEBLACKNAME=g\\]\n\\HE\nSTO 0 1 1 3 3\n";

  std::vector<RecordSummary> games;
  ASSERT_EQ(listRecordFile(path, false, games), RecordLoadStatus::Ok);
  ASSERT_EQ(games.size(), 3u);
  EXPECT_TRUE(games[0].isRecord && games[1].isRecord);
  EXPECT_FALSE(games[2].isRecord);
  EXPECT_EQ(games[0].info.resultText(), "B+R");
  EXPECT_EQ(games[1].info.blackRank(), "9d");
  EXPECT_EQ(games[1].moves, 2);

  const struct {
    std::string path;
    size_t tree;
    RecordLoadStatus status;
    std::string black;  // of the game loaded, or the error's text
  } cases[] = {
      {path, 0, RecordLoadStatus::Ok, "a"},
      {path, 1, RecordLoadStatus::Ok, "b"},
      {path, 2, RecordLoadStatus::SgfConvertFailed,
       "not a game record: the board size is outside 1..52, or a move is not two letters"},
      {path, 3, RecordLoadStatus::SgfReadFailed, "the file holds 3 game trees; there is no tree 4"},
      {gib, 0, RecordLoadStatus::Ok, "g"},
      {gib, 1, RecordLoadStatus::GibReadFailed, "a GIB file holds one game; there is no tree 2"},
  };
  for (const auto& c : cases) {
    GameRecord record;
    int code = 0;
    ParseError error;
    EXPECT_EQ(loadRecordFile(c.path, false, record, code, &error, c.tree), c.status) << c.path << " " << c.tree;
    EXPECT_EQ(c.status == RecordLoadStatus::Ok ? record.info().blackName() : error.text(), c.black) << c.tree;
  }
  ASSERT_EQ(listRecordFile(gib, false, games), RecordLoadStatus::Ok);
  ASSERT_EQ(games.size(), 1u);
  EXPECT_EQ(games[0].info.blackName(), "g");
}

}  // namespace
