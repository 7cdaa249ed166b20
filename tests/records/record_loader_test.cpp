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
  };
  const Case cases[] = {
      {write("a.sgf", "(;RE[W+R];B[aa];W[bb])"), RecordLoadStatus::Ok, 2},
      {write("b.SGF", "(;;B[aa])"), RecordLoadStatus::Ok, 1},
      {write("c.Gib", "\\[GAMERESULT=\xB0\xD7\\]\n\\HE\nSTO 0 1 1 3 3\n"), RecordLoadStatus::Ok, 1},
      {write("d.sgf", "(;B[aa]"), RecordLoadStatus::SgfReadFailed, 0},
      {write("e.sgf", "(;SZ[99];B[aa])"), RecordLoadStatus::SgfConvertFailed, 0},
      {write("f.gib", "\\[GAMENAME=x\\]\n"), RecordLoadStatus::GibReadFailed, 0},
      {write("g.txt", "(;B[aa])"), RecordLoadStatus::UnknownFormat, 0},
      {write("sgf", "(;B[aa])"), RecordLoadStatus::UnknownFormat, 0},
      {(dir / "missing.sgf").string(), RecordLoadStatus::SgfReadFailed, 0},
      {write("dotted.d/game", "(;;B[aa])"), RecordLoadStatus::UnknownFormat, 0},  // a dot in a folder
      {(dir / "folder.sgf").string(), RecordLoadStatus::SgfReadFailed, 0},
  };
  for (const auto& c : cases) {
    GameRecord record;
    int code = -1;
    EXPECT_EQ(loadRecordFile(c.path, false, record, code), c.status) << c.path;
    if (c.status != RecordLoadStatus::Ok) continue;
    EXPECT_EQ(record.entryCount(), c.entries) << c.path;
    EXPECT_EQ(code, record.info().winner()) << c.path;
  }
}

}  // namespace
