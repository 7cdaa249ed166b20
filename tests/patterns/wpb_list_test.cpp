#include "patterns/wpb_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "patterns/game_index_listing.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

using test::ScratchDir;

void writeText(const std::string& path, const std::string& text) {
  ASSERT_TRUE(test::writeFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end())));
}

TEST(WpbListTest, ReadsSectionsUntilTheFirstIncompleteOne) {
  struct Case {
    const char* what;
    std::string ini;
    int count;
    int defaultNumber;
  } cases[] = {
      {"complete", "[WPBS]\nTOTAL=2\nDEFAULT=1\n[WPB_0]\nTITLE1=a\nSGFPATH=/r/a\nFILENAME=a\n"
                   "[WPB_1]\nTITLE1=b\nSGFPATH=/r/b/\nFILENAME=b\n", 2, 1},
      {"section lacking FILENAME ends the list", "[WPBS]\nTOTAL=3\n[WPB_0]\nTITLE1=a\nSGFPATH=/r/a\nFILENAME=a\n"
                   "[WPB_1]\nTITLE1=b\nSGFPATH=/r/b\n[WPB_2]\nTITLE1=c\nSGFPATH=/r/c\nFILENAME=c\n", 1, 0},
      {"default outside the list", "[wpbs]\ntotal=2\ndefault=5\n[wpb_0]\ntitle1=a\nsgfpath=/r/a\nfilename=a\n"
                   "[WPB_1]\nTITLE1=b\nSGFPATH=/r/b\nFILENAME=b\n", 2, 0},
      {"title only in another language", "[WPBS]\nTOTAL=1\n[WPB_0]\nTITLE0=a\nSGFPATH=/r/a\nFILENAME=a\n", 0, 0},
      {"total smaller than the sections", "[WPBS]\nTOTAL=1\n[WPB_0]\nTITLE1=a\nSGFPATH=/r/a\nFILENAME=a\n"
                   "[WPB_1]\nTITLE1=b\nSGFPATH=/r/b\nFILENAME=b\n", 1, 0},
      {"no file", "", 0, 0},
  };
  ScratchDir dir;
  for (const auto& c : cases) {
    const std::string ini = dir.file("WPBs.ini");
    std::filesystem::remove(ini);
    if (!c.ini.empty()) writeText(ini, c.ini);
    WpbList list;
    list.read(ini, "/prog/", 1);
    EXPECT_EQ(list.count(), c.count) << c.what;
    EXPECT_EQ(list.defaultNumber(), c.defaultNumber) << c.what;
    EXPECT_EQ(list.at(c.count), nullptr) << c.what;
  }
}

TEST(WpbListTest, RecordDirectoryReplacesTheSgfsTagAndEndsWithASlash) {
  struct Case {
    const char* value;
    const char* directory;
  } cases[] = {
      {"<SGFS>pro", "/a/sgfspro/"},   // a plain concatenation with the parent directory
      {"<sgfs>/pro/", "/a/sgfs/pro/"},
      {"/data/records", "/data/records/"},
      {"records/\xe4\xb8\xad", "/a/b/records/\xe4\xb8\xad/"},  // relative: below the program's directory
  };
  for (const auto& c : cases) EXPECT_EQ(recordDirectoryFor(c.value, "/a/b/"), c.directory) << c.value;
}

TEST(WpbListTest, SelectOpensOnceAndCustomUpdateRebuildsTheSecondIndex) {
  ScratchDir dir;
  const std::string home = dir.path() + "/";
  writeText(dir.file("WPBs.ini"), "[WPBS]\nTOTAL=2\n[WPB_0]\nTITLE1=a\nSGFPATH=ra\nFILENAME=a\n"
                                   "[WPB_1]\nTITLE1=b\nSGFPATH=rb\nFILENAME=b\n");
  std::filesystem::create_directories(home + "rb/sub");
  writeText(home + "rb/sub/1.sgf", "one");
  writeText(home + "rb/2.sgf", "two");
  WpbList list;
  list.read(dir.file("WPBs.ini"), home, 1);
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.at(1)->recordDirectory(), home + "rb/");
  EXPECT_FALSE(list.select(2));
  EXPECT_TRUE(list.select(1));
  EXPECT_TRUE(list.at(1)->isOpen());

  GameIndexScan scan;
  scan.load = [](const std::string&, GameRecord& record, int& winner, ParseError*) {
    record.resetTo19();
    winner = 0;
    return true;
  };
  EXPECT_EQ(updateCustomRecordLibrary(list, scan), 2);
  EXPECT_FALSE(list.at(1)->isOpen());
  EXPECT_TRUE(list.select(1));
  EXPECT_EQ(list.at(1)->gameIndex().count(), 2);
  EXPECT_EQ(list.at(1)->gameIndex().entry(0).relativeName(), "2.sgf");

  // A scan stopped by its run flag writes nothing: the index of the last full scan stays.
  writeText(home + "rb/3.sgf", "three");
  const std::atomic<int> stopped{0};
  GameIndexScan stoppedScan = scan;
  stoppedScan.runFlag = &stopped;
  EXPECT_EQ(rebuildGameIndexFile(home + "rb/", list.at(1)->filePath("idx"), stoppedScan), -1);
  GameIndex kept;
  ASSERT_TRUE(kept.read(list.at(1)->filePath("idx"), home + "rb/"));
  EXPECT_EQ(kept.count(), 2);

  WpbList one;
  writeText(dir.file("one.ini"), "[WPBS]\nTOTAL=1\n[WPB_0]\nTITLE1=a\nSGFPATH=ra\nFILENAME=a\n");
  one.read(dir.file("one.ini"), home, 1);
  EXPECT_EQ(updateCustomRecordLibrary(one, scan), -1);
}

TEST(GameIndexListingTest, OneTabSeparatedUtf8LinePerGame) {
  GameIndex index;
  GameInfo info;
  info.setText(GameInfo::kBlackName, "\xc0\xee\xca\xc0\xca\xaf");  // GB
  info.setText(GameInfo::kBlackRank, "9\xb6\xce");
  info.setText(GameInfo::kWhiteName, "Ke\tJie");
  info.setText(GameInfo::kWhiteRank, "9d");
  info.setWinner(GameInfo::WhiteWins);
  info.setText(GameInfo::kResultText, "W+R");
  GameIndexEntry e;
  ASSERT_TRUE(e.assign(info, "a b/\xe4\xb8\xad (1).sgf", 211, 0));  // a UTF-8 file name stays as it is
  index.append(e);
  ASSERT_TRUE(e.assign(info, "gb/\xd6\xd0.sgf", 0, 1));  // a GB file name is converted
  index.append(e);
  EXPECT_EQ(gameIndexListing(index),
            "0\t\xe6\x9d\x8e\xe4\xb8\x96\xe7\x9f\xb3\t9\xe6\xae\xb5\tKe Jie\t9d\t2\tW+R\t211\ta b/\xe4\xb8\xad (1).sgf\n"
            "1\t\xe6\x9d\x8e\xe4\xb8\x96\xe7\x9f\xb3\t9\xe6\xae\xb5\tKe Jie\t9d\t2\tW+R\t0\tgb/\xe4\xb8\xad.sgf\n");
}

}  // namespace
}  // namespace mh
