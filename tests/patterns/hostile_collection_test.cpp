// Record collections that fight back, indexed with the real file loader: unreadable entries,
// files that vanish mid-scan, names that are not UTF-8, links that point back or sideways.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "patterns/file_game_loader.h"
#include "patterns/game_index.h"
#include "patterns/game_index_listing.h"
#include "platform/text_codec.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

void put(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  ASSERT_TRUE(test::writeFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()))) << path;
}

// A distinct small game per name, so that no two files are duplicates.
std::string gameFor(const std::string& name) { return "(;GN[" + std::to_string(std::hash<std::string>{}(name)) + "];B[aa])"; }

std::vector<std::string> names(const GameIndex& index) {
  std::vector<std::string> out;
  for (const auto& e : index.entries()) out.push_back(e.relativeName());
  return out;
}

GameIndexScan realScan() {
  GameIndexScan scan;
  scan.load = fileGameLoader();
  return scan;
}

// Restores modes so the scratch directory can be removed.
struct Unlock {
  std::vector<std::string> paths;
  ~Unlock() {
    for (const auto& p : paths) ::chmod(p.c_str(), 0700);
  }
};

TEST(HostileCollectionTest, OddEntriesArePassedOverAndOddNamesIndexedListedAndKept) {
  const test::ScratchDir scratch;
  const std::string d = scratch.path() + "/";
  const std::vector<std::string> good = {"a.sgf", "\xff\xfe.sgf", "\xba\xda.sgf", "\xff\xfe dir/b.gib",
                                         "\xe6\xa3\x8b/c.sgf"};
  for (const auto& name : good) {
    if (name.ends_with(".gib")) put(d + name, "\\[GAMENAME=" + name + "\\]\n\\HE\nSTO 0 1 1 3 3\n");
    else put(d + name, gameFor(name));
  }
  put(d + "broken.sgf", "(;B[aa]");
  ASSERT_EQ(::mkfifo((d + "pipe.sgf").c_str(), 0600), 0);
  fs::create_directory_symlink(d + "\xff\xfe dir", d + "\xff\xfe dir/loop");
  fs::create_symlink(d + "missing.sgf", d + "dangling.sgf");
  Unlock unlock;
  put(d + "locked.sgf", gameFor("locked"));
  put(d + "locked dir/x.sgf", gameFor("x"));
  const bool root = ::geteuid() == 0;  // root reads whatever the modes say
  for (const char* locked : {"locked.sgf", "locked dir"}) {
    ASSERT_EQ(::chmod((d + locked).c_str(), 0), 0);
    unlock.paths.push_back(d + locked);
  }

  GameIndex index;
  const auto r = index.build(d, realScan());
  std::vector<std::string> expected = {"a.sgf", "\xba\xda.sgf", "\xff\xfe.sgf", "\xe6\xa3\x8b/c.sgf", "\xff\xfe dir/b.gib"};
  if (root) expected = {"a.sgf", "locked.sgf", "\xba\xda.sgf", "\xff\xfe.sgf", "locked dir/x.sgf",
                        "\xe6\xa3\x8b/c.sgf", "\xff\xfe dir/b.gib"};
  EXPECT_THAT(names(index), ElementsAreArray(expected));
  EXPECT_EQ(r.duplicates, 0);

  // The listing is UTF-8 whatever the names are: GB names converted, others with U+FFFD.
  const std::string listing = gameIndexListing(index);
  EXPECT_TRUE(text::isValidUtf8(listing));
  EXPECT_THAT(listing, ::testing::HasSubstr("\t\xe9\xbb\x91.sgf\n"));        // 黑 from GB
  EXPECT_THAT(listing, ::testing::HasSubstr("\t\xe6\xa3\x8b/c.sgf\n"));      // UTF-8 kept
  EXPECT_THAT(listing, ::testing::HasSubstr("\xef\xbf\xbd"));                // \xff\xfe replaced

  // The names survive the index file byte for byte, and every indexed game loads again.
  ASSERT_TRUE(index.write(scratch.file("games.idx")));
  GameIndex back;
  ASSERT_TRUE(back.read(scratch.file("games.idx"), d));
  EXPECT_EQ(names(back), names(index));
  const GameLoader load = fileGameLoader();
  for (int n = 0; n < back.count(); ++n) {
    GameRecord record;
    int winner = 0;
    EXPECT_TRUE(load(*back.pathOf(n), record, winner, nullptr)) << *back.pathOf(n);
  }
}

TEST(HostileCollectionTest, FilesThatVanishOrChangeDuringTheScanArePassedOver) {
  const test::ScratchDir scratch;
  const std::string d = scratch.path() + "/";
  for (const char* name : {"a.sgf", "b.sgf", "c.sgf", "d.sgf"}) put(d + name, gameFor(name));
  // The loader sees the collection after the listing: b vanishes, c becomes a pipe, d a folder.
  GameIndexScan scan = realScan();
  const GameLoader real = scan.load;
  scan.load = [&](const std::string& path, GameRecord& record, int& winner, ParseError* error) {
    if (path == d + "a.sgf") {
      EXPECT_EQ(::unlink((d + "b.sgf").c_str()), 0);
      EXPECT_EQ(::unlink((d + "c.sgf").c_str()), 0);
      EXPECT_EQ(::mkfifo((d + "c.sgf").c_str(), 0600), 0);
      EXPECT_EQ(::unlink((d + "d.sgf").c_str()), 0);
      fs::create_directory(d + "d.sgf");
    }
    return real(path, record, winner, error);
  };
  GameIndex index;
  const auto r = index.build(d, scan);
  EXPECT_TRUE(r.completed);
  EXPECT_THAT(names(index), ElementsAre("a.sgf"));
}

TEST(HostileCollectionTest, ASecondNameForTheSameFileIsLeftOutButNeverDeleted) {
  const test::ScratchDir scratch;
  const std::string d = scratch.path() + "/";
  put(d + "z.sgf", gameFor("z"));
  put(d + "copy.sgf", gameFor("copy"));
  put(d + "y/copy.sgf", gameFor("copy"));
  // Links listed before their targets: deleting the target as a duplicate would lose the game.
  fs::create_symlink(d + "z.sgf", d + "a link.sgf");
  ASSERT_EQ(::link((d + "z.sgf").c_str(), (d + "m hard link.sgf").c_str()), 0);
  GameIndex index;
  const auto r = index.build(d, realScan());
  EXPECT_THAT(names(index), ElementsAre("a link.sgf", "copy.sgf"));
  EXPECT_EQ(r.duplicates, 3);
  EXPECT_TRUE(fs::exists(d + "z.sgf"));
  EXPECT_TRUE(fs::exists(d + "m hard link.sgf"));
  EXPECT_TRUE(fs::exists(d + "a link.sgf"));
  EXPECT_FALSE(fs::exists(d + "y/copy.sgf")) << "a real copy is still a duplicate";
}

}  // namespace
}  // namespace mh
