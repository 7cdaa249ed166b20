#include "platform/collection_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace mh {
namespace {

namespace fs = std::filesystem;

class CollectionListing : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("mh-listing-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(root_ / "locked", fs::perms::owner_all, ec);
    fs::remove_all(root_, ec);
  }
  void touch(const std::string& rel) {
    fs::create_directories((root_ / rel).parent_path());
    std::ofstream(root_ / rel) << "x";
  }
  std::string dir() const { return root_.string() + "/"; }
  std::vector<std::string> relative(const std::vector<std::string>& paths) const {
    std::vector<std::string> out;
    for (const auto& p : paths) out.push_back(p.substr(dir().size()));
    return out;
  }

  fs::path root_;
};

TEST_F(CollectionListing, FilesFirstThenSubdirectoriesInPreOrderByByteOrder) {
  for (const char* f : {"b.sgf", "A.SGF", "a.gib", "z/1.sgf", "b dir (2)/x.sgf", "b dir (2)/inner/y.sgf",
                        ".hidden/h.sgf", "\xE6\xA3\x8B/q.sgf", "noext"})
    touch(f);
  fs::create_directories(root_ / "empty");
  fs::create_directories(root_ / "dir.sgf");
  EXPECT_EQ(relative(listCollectionFiles(dir())),
            (std::vector<std::string>{"A.SGF", "a.gib", "b.sgf", "noext", ".hidden/h.sgf", "b dir (2)/x.sgf",
                                      "b dir (2)/inner/y.sgf", "z/1.sgf", "\xE6\xA3\x8B/q.sgf"}));
  EXPECT_EQ(relative(listCollectionDirectories(dir())),
            (std::vector<std::string>{"", ".hidden/", "b dir (2)/", "b dir (2)/inner/", "dir.sgf/", "empty/", "z/",
                                      "\xE6\xA3\x8B/"}));
}

TEST_F(CollectionListing, LinkLoopsAreWalkedOnceAndOddEntriesPassedOver) {
  touch("a/x.sgf");
  fs::create_directory_symlink(root_ / "a", root_ / "a" / "loop");
  fs::create_symlink(root_ / "missing.sgf", root_ / "dangling.sgf");
  fs::create_symlink(root_ / "a" / "x.sgf", root_ / "linked.sgf");  // listed as the file it names
  ASSERT_EQ(::mkfifo((root_ / "pipe.sgf").c_str(), 0600), 0);
  EXPECT_EQ(relative(listCollectionFiles(dir())), (std::vector<std::string>{"linked.sgf", "a/x.sgf"}));
}

TEST_F(CollectionListing, MissingOrUnreadableDirectoriesGiveWhatCanBeRead) {
  EXPECT_TRUE(listCollectionFiles(dir() + "nope/").empty());
  touch("ok.sgf");
  touch("locked/hidden.sgf");
  fs::permissions(root_ / "locked", fs::perms::none);
  const auto files = relative(listCollectionFiles(dir()));
  if (::geteuid() == 0) {
    EXPECT_EQ(files.front(), "ok.sgf") << "root reads every folder";
  } else {
    EXPECT_EQ(files, (std::vector<std::string>{"ok.sgf"}));
  }
}

}  // namespace
}  // namespace mh
