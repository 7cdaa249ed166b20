#include "shell/recent_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_bytes.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

using Files = std::vector<std::string>;

TEST(RecentFilesTest, KeepsTheLatestEightOnceEach) {
  struct Case {
    const char* what;
    Files added;  // in the order opened
    Files expected;
  } cases[] = {
      {"latest first", {"/r/a.sgf", "/r/b.sgf"}, {"/r/b.sgf", "/r/a.sgf"}},
      {"reopening moves up", {"/r/a.sgf", "/r/b.sgf", "/r/a.sgf"}, {"/r/a.sgf", "/r/b.sgf"}},
      {"one file, two spellings", {"/r/a.sgf", "/r/./x/../a.sgf"}, {"/r/a.sgf"}},
      {"the oldest drops out",
       {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9"},
       {"/9", "/8", "/7", "/6", "/5", "/4", "/3", "/2"}},
      {"refused: relative, empty, line break, blank at an end, folder",
       {"a.sgf", "", "/r/a\nb.sgf", "/r/a.sgf ", " /r/a.sgf", "/r/"},
       {}},
      {"inner blanks and GB bytes are kept", {"/r/my game \xC6\xE5.sgf"}, {"/r/my game \xC6\xE5.sgf"}},
  };
  for (const Case& c : cases) {
    RecentFiles recent;
    for (const std::string& f : c.added) (void)recent.add(f);
    EXPECT_EQ(recent.files(), c.expected) << c.what;
  }
}

TEST(RecentFilesTest, MenuLabelsNumberEntriesAndTellSharedNamesApart) {
  RecentFiles recent;
  for (const char* f : {"/a/game.sgf", "/b/x&y.gib", "/b/game.sgf", "/top.sgf"}) ASSERT_TRUE(recent.add(f));
  const Files expected = {"&1 top.sgf", "&2 game.sgf  (/b)", "&3 x&&y.gib", "&4 game.sgf  (/a)"};
  EXPECT_EQ(recent.menuLabels(), expected);
}

// The list goes through the settings file unchanged and leaves the file's other sections alone;
// a hand-edited file with gaps, duplicates and junk still gives a sound list.
TEST(RecentFilesTest, SurvivesTheSettingsFile) {
  test::ScratchDir dir;
  const std::string path = dir.file(kDesktopSettingsName);
  ASSERT_TRUE(writeFileBytes(path, "; mine\n[Window]\nGeometry=1 2 3 4\n[RecentFiles]\nFile1=/old.sgf\n"));

  RecentFiles recent;
  recent.load(path);
  EXPECT_EQ(recent.files(), Files{"/old.sgf"});
  for (const char* f : {"/r/a.sgf", "/r/b c.sgf"}) ASSERT_TRUE(recent.add(f));
  ASSERT_TRUE(recent.save(path));

  RecentFiles again;
  again.load(path);
  EXPECT_EQ(again.files(), recent.files());
  IniDocument settings;
  ASSERT_TRUE(settings.load(path));
  EXPECT_EQ(settings.value("Window", "Geometry"), "1 2 3 4");
  EXPECT_NE(settings.text().find("; mine"), std::string::npos);

  ASSERT_TRUE(writeFileBytes(path, "[RecentFiles]\nFile2=/b.sgf\nFile3=relative.sgf\nFile4=/b.sgf\nFile1=/a.sgf\n"
                                   "File9=/ninth.sgf\nJunk\n"));
  again.load(path);
  EXPECT_EQ(again.files(), (Files{"/a.sgf", "/b.sgf"}));

  again.clear();
  ASSERT_TRUE(again.save(path));
  again.load(path);
  EXPECT_TRUE(again.files().empty());

  RecentFiles missing;
  missing.load(dir.file("none.ini"));
  EXPECT_TRUE(missing.files().empty());
  EXPECT_FALSE(missing.save(dir.file("no/such/folder.ini")));
}

}  // namespace
}  // namespace mh
