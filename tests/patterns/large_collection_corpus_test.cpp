// A collection of 100,000 small records in one folder: listed in order, indexed once each, and
// updated without loading the indexed files again. Slow enough to sit with the corpus tests.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "patterns/file_game_loader.h"
#include "patterns/game_index.h"
#include "platform/collection_listing.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

constexpr int kFiles = 100000;

std::string nameOf(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "g%06d.sgf", i);
  return name;
}

// A memory file system when there is one: on a disk, making and removing the files takes longer
// than everything the test checks.
std::string scratchParent() {
  return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::filesystem::temp_directory_path().string();
}

TEST(LargeCollectionTest, HundredThousandFilesInOneFolderAreListedAndIndexedOnce) {
  const test::ScratchDir scratch(scratchParent());
  const std::string d = scratch.path() + "/";
  // Written in a scrambled order so that the listing has to sort.
  for (int k = 0; k < kFiles; ++k) {
    const int i = static_cast<int>((static_cast<long long>(k) * 7919) % kFiles);
    const std::string text = "(;GN[" + std::to_string(i) + "];B[aa])";
    const int fd = ::open((d + nameOf(i)).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(fd);
  }

  const std::vector<std::string> files = listCollectionFiles(d);
  ASSERT_EQ(files.size(), static_cast<size_t>(kFiles));
  EXPECT_TRUE(std::is_sorted(files.begin(), files.end()));
  EXPECT_EQ(files.front(), d + nameOf(0));
  EXPECT_EQ(files.back(), d + nameOf(kFiles - 1));

  int loads = 0;
  const GameLoader real = fileGameLoader();
  GameIndexScan scan;
  scan.load = [&](const std::string& path, GameRecord& record, int& winner, ParseError* error) {
    ++loads;
    return real(path, record, winner, error);
  };
  GameIndex index;
  const auto built = index.build(d, scan);
  EXPECT_EQ(built.added, kFiles);
  EXPECT_EQ(built.duplicates, 0);
  EXPECT_EQ(loads, kFiles);
  ASSERT_EQ(index.count(), kFiles);
  EXPECT_EQ(index.entry(12345).relativeName(), nameOf(12345));
  EXPECT_EQ(index.entry(12345).gameName(), "12345");

  // An update lists everything again but loads only what is new.
  loads = 0;
  const auto updated = index.update(d, scan);
  EXPECT_EQ(updated.added, 0);
  EXPECT_EQ(loads, 0);
}

}  // namespace
}  // namespace mh
