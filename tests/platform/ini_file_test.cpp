#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using mh::IniFile;

class IniFileTest : public testing::Test {
 protected:

  void writeFile(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string fileText() {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  mh::test::ScratchDir scratch_;
  fs::path dir_{scratch_.path()};
  std::string path_{scratch_.file("settings.ini")};
};

TEST_F(IniFileTest, ReadsLikePrivateProfiles) {
  writeFile(
      "; comment\r\n"
      "[Setting]\r\n"
      "  lang =  10002  \r\n"
      "LANG=7\r\n"
      "NAME=\xBA\xDA value\r\n"
      "[other]\r\n"
      "KOMI=6.5\r\n"
      "[SETTING]\r\n"
      "EXTRA=1\r\n");
  IniFile ini(path_);
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {"SETTING", "LANG", "10002"},          // case-insensitive, trimmed, first key wins
      {"setting", "Name", "\xBA\xDA value"},
      {"OTHER", "komi", "6.5"},
      {"SETTING", "EXTRA", "default"},       // only the first matching section is read
      {"SETTING", "MISSING", "default"},
      {"NOSECTION", "LANG", "default"},
  };
  for (const auto& c : cases) EXPECT_EQ(ini.readString(c.section, c.key, "default"), c.expected) << c.key;
  EXPECT_EQ(ini.readInt("SETTING", "LANG", 1), 10002);
  EXPECT_EQ(ini.readInt("SETTING", "NAME", 1), 0);  // present but not a number
  EXPECT_EQ(ini.readInt("OTHER", "KOMI", 1), 6);
  EXPECT_EQ(ini.readInt("SETTING", "MISSING", 42), 42);
}

TEST_F(IniFileTest, MissingFileGivesDefaults) {
  IniFile ini((dir_ / "none.ini").string());
  EXPECT_EQ(ini.readString("SETTING", "LANG", "x"), "x");
  EXPECT_EQ(ini.readInt("SETTING", "LANG", 1), 1);
  IniFile directory(dir_.string());
  EXPECT_EQ(directory.readInt("SETTING", "LANG", 3), 3);
}

TEST_F(IniFileTest, WritesKeysSectionsAndFiles) {
  IniFile ini(path_);
  ASSERT_TRUE(ini.writeInt("SETTING", "LANG", 0));  // creates the file
  EXPECT_EQ(ini.readInt("SETTING", "LANG", 5), 0);
  writeFile("[A]\nX=1\n\n[b]\nY=2\n; keep me\n");
  ASSERT_TRUE(ini.writeString("a", "z", "3"));     // new key at the end of its section
  ASSERT_TRUE(ini.writeString("B", "y", "22"));    // replaced in place
  ASSERT_TRUE(ini.writeString("C", "W", "4"));     // new section at the end
  EXPECT_EQ(fileText(), "[A]\nX=1\nz=3\n\n[b]\ny=22\n; keep me\n[C]\nW=4\n");
}

TEST_F(IniFileTest, FailedWriteLeavesNothingBehind) {
  IniFile ini((dir_ / "no" / "such" / "dir.ini").string());
  EXPECT_FALSE(ini.writeInt("SETTING", "LANG", 1));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 0);
}

}  // namespace
