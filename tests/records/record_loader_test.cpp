#include "records/record_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

}  // namespace
