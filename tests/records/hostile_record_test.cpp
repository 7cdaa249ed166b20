// Record files a user may throw at the loader: unreadable, vanished, oddly named, or very long.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/game_state.h"
#include "records/gib_file.h"
#include "records/record_loader.h"
#include "records/sgf_file.h"
#include "support/scratch_dir.h"

namespace {

using namespace mh;

void put(const std::string& path, const std::string& text) {
  ASSERT_TRUE(test::writeFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()))) << path;
}

// An SGF main line of n moves on a 19 x 19 board: Black and White alternate over the points in
// order, every seventh move a pass, so the board fills, stones are captured and later moves land
// on occupied points (which the replay drops).
std::string longSgf(int n) {
  std::string s = "(;SZ[19]PB[b]PW[w]RE[B+R]";
  s.reserve(s.size() + 7 * static_cast<size_t>(n) + 2);
  for (int i = 0; i < n; ++i) {
    s += i % 2 == 0 ? ";B[" : ";W[";
    if (i % 7 != 6) {
      const int p = (i * 5) % 361;
      s += static_cast<char>('a' + p % 19);
      s += static_cast<char>('a' + p / 19);
    }
    s += ']';
  }
  s += ')';
  return s;
}

TEST(HostileRecordTest, UnreadableVanishedAndOddFilesFailOrLoadCleanly) {
  const test::ScratchDir scratch;
  enum class Kind { File, Missing, Locked, Pipe };
  struct Case {
    std::string name;
    Kind kind;
    RecordLoadStatus status;
  };
  const Case cases[] = {
      {"plain.sgf", Kind::File, RecordLoadStatus::Ok},
      {"\xff\xfe.sgf", Kind::File, RecordLoadStatus::Ok},      // neither UTF-8 nor GB
      {"\xba\xda\xb0.GIB", Kind::File, RecordLoadStatus::Ok},  // a GB name cut mid-character
      {"gone.sgf", Kind::Missing, RecordLoadStatus::SgfReadFailed},
      {"gone.gib", Kind::Missing, RecordLoadStatus::GibReadFailed},
      {"locked.sgf", Kind::Locked, RecordLoadStatus::SgfReadFailed},
      {"locked.gib", Kind::Locked, RecordLoadStatus::GibReadFailed},
      {"pipe.sgf", Kind::Pipe, RecordLoadStatus::SgfReadFailed},  // must not wait for a writer
      {"pipe.gib", Kind::Pipe, RecordLoadStatus::GibReadFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = scratch.file(c.name);
    const bool gib = c.name.find(".gib") != std::string::npos || c.name.find(".GIB") != std::string::npos;
    if (c.kind == Kind::Pipe) {
      ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    } else {
      put(path, gib ? "\\HE\nSTO 0 1 1 3 3\nSTO 0 2 2 4 4\n" : "(;PB[b]RE[W+R];B[aa];W[bb])");
    }
    if (c.kind == Kind::Missing) {
      ASSERT_EQ(::unlink(path.c_str()), 0);
    }
    if (c.kind == Kind::Locked) {
      if (::geteuid() == 0) continue;  // root reads a file whatever its mode
      ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    }
    GameRecord record;
    int code = -1;
    EXPECT_EQ(loadRecordFile(path, false, record, code), c.status);
    if (c.status == RecordLoadStatus::Ok) {
      EXPECT_EQ(record.entryCount(), 2);
    }
  }
}

TEST(HostileRecordTest, HundredThousandMovesLoadAndReplayInOnePass) {
  const test::ScratchDir scratch;
  constexpr int kMoves = 100000;
  const std::string path = scratch.file("long.sgf");
  put(path, longSgf(kMoves));
  GameRecord record;
  int code = 0;
  ASSERT_EQ(loadRecordFile(path, false, record, code), RecordLoadStatus::Ok);
  ASSERT_EQ(record.entryCount(), kMoves);
  EXPECT_EQ(code, GameInfo::BlackWins);

  GameState state;
  state.load(record);
  // One history item and record entry per kept move or pass after the start; refused moves are
  // dropped.
  const int kept = state.mainRecord().entryCount();
  int passes = 0;
  for (int i = 0; i < kMoves; ++i) passes += i % 7 == 6;
  EXPECT_GT(kept, 361 + passes);
  EXPECT_LT(kept, kMoves);
  EXPECT_EQ(state.lastIndex(), kept);
  EXPECT_TRUE(state.atLast());
  EXPECT_EQ(static_cast<int>(state.view().moves.size()), kept);
  ASSERT_TRUE(state.goTo(state.lastIndex() / 2));
  EXPECT_EQ(state.view().currentIndex, state.lastIndex() / 2);
  ASSERT_TRUE(state.last());

  // The same game as GIB lines.
  std::string gib = "\\[GAMERESULT=\xBA\xDA\\]\n\\HE\n";
  for (int i = 0; i < kMoves; ++i) {
    const int p = (i * 5) % 361;
    gib += "STO 0 " + std::to_string(i + 1) + (i % 2 == 0 ? " 1 " : " 2 ") + std::to_string(p % 19) + " " +
           std::to_string(p / 19) + "\n";
  }
  GibFile file;
  ASSERT_TRUE(file.parse(gib));
  EXPECT_EQ(file.record().entryCount(), kMoves);
}

TEST(HostileRecordTest, FilesAboveTheLimitAreRefusedWithoutBeingRead) {
  const test::ScratchDir scratch;
  for (const char* name : {"big.sgf", "big.gib"}) {
    const std::string path = scratch.file(name);
    put(path, "(;B[aa])");
    // Sparse: the size is there, the blocks are not.
    ASSERT_EQ(::truncate(path.c_str(), (off_t{257} << 20)), 0);
    GameRecord record;
    int code = 0;
    EXPECT_NE(loadRecordFile(path, false, record, code), RecordLoadStatus::Ok) << name;
  }
}

// Text that would cost far more memory than its size (many tiny nodes, values or lines) is
// refused once it holds more parts than the limit. Shown with small limits; the 200 MB files of
// the corpus tests meet the real one.
TEST(HostileRecordTest, PartLimitCountsEveryNodeValueAndLine) {
  struct Case {
    const char* text;
    size_t parts;
  };
  const Case sgf[] = {
      {"(;;;)", 3},
      {"(;C[][][])", 4},
      {"(;GM[1];B[aa];W[bb])", 6},
      {"(;B[aa](;W[bb])(;W[cc]))", 6},
      {"(;CA[UTF-8]C[\xe6\xa3\x8b];B[aa])", 5},  // read as UTF-8
      {"(;CA[BIG5]C[\xa4\x40];B[aa])", 5},         // converted from BIG5
  };
  for (const Case& c : sgf) {
    SCOPED_TRACE(c.text);
    EXPECT_TRUE(SgfFile::parse(c.text, false, nullptr, c.parts));
    EXPECT_FALSE(SgfFile::parse(c.text, false, nullptr, c.parts - 1));
  }
  const Case gib[] = {
      {"\\[A=1\\]\n\\[B=2\\]\n\\HE\nSTO 0 1 1 3 3\n", 3},
      {"\\HE\nSTO 0 1 1 3 3\nSTO 0 2 2 4 4\nSTO 0 3 0 5 5\n", 2},  // colour 0 is no move
  };
  for (const Case& c : gib) {
    SCOPED_TRACE(c.text);
    GibFile file;
    EXPECT_TRUE(file.parse(c.text, nullptr, c.parts));
    EXPECT_FALSE(file.parse(c.text, nullptr, c.parts - 1));
    EXPECT_EQ(file.record().entryCount(), 0);
    EXPECT_EQ(file.header("A"), nullptr);
  }
}

}  // namespace
