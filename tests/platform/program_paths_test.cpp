#include "platform/program_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

#include "platform/file_bytes.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

namespace fs = std::filesystem;

TEST(ProgramPathsTest, ParentAndTrailingSlash) {
  struct Case {
    const char* dir;
    const char* parent;
  } cases[] = {{"/a/b/", "/a/"}, {"/a/b", "/a/"}, {"/a/", "/"}, {"/", "/"}, {"rel/", ""}, {"x/y//", "x/"}};
  for (const auto& c : cases) EXPECT_EQ(parentDirectory(c.dir), c.parent) << c.dir;
  EXPECT_EQ(withTrailingSlash("/a"), "/a/");
  EXPECT_EQ(withTrailingSlash("/a/"), "/a/");
  EXPECT_EQ(withTrailingSlash(""), "");
}

TEST(ProgramPathsTest, HomeVariableWinsOverTheExecutablesDirectory) {
  const char* old = std::getenv("MOONHAVEN_HOME");
  const std::string saved = old ? old : "";
  ::setenv("MOONHAVEN_HOME", "/tmp/some home", 1);
  EXPECT_EQ(programDirectory(), "/tmp/some home/");
  EXPECT_FALSE(fs::exists("/tmp/some home")) << "a home named by the variable is not created";
  ::setenv("MOONHAVEN_HOME", "", 1);
  const std::string exeDir = programDirectory();
  EXPECT_EQ(exeDir, std::string(MOONHAVEN_BINARY_DIR) + "/tests/");
  EXPECT_EQ(dataDirectory(), exeDir) << "a build folder holds its own data";
  if (old) ::setenv("MOONHAVEN_HOME", saved.c_str(), 1);
  else ::unsetenv("MOONHAVEN_HOME");
}

// Where a program writes, by where it lies and what its environment names: a build folder, an
// installed program (bin/ with share/moonhaven/ beside it) and a folder the user cannot write.
TEST(ProgramPathsTest, ProgramDirectoryFollowsWhereTheProgramLies) {
  test::ScratchDir dir;
  const std::string build = dir.path() + "/build/apps";
  const std::string prefix = dir.path() + "/prefix";
  fs::create_directories(build);
  fs::create_directories(prefix + "/bin");
  fs::create_directories(prefix + "/share/moonhaven");
  const std::string bin = prefix + "/bin/";

  struct Case {
    const char* what;
    ProgramLocation location;
    std::string expected;
  } cases[] = {
      {"the variable wins", {"/h", bin, true, "/x", "/u"}, "/h/"},
      {"a writable build folder", {"", build, true, "/x", "/u"}, build + "/"},
      {"a read-only build folder", {"", build, false, "/x", "/u"}, "/x/moonhaven/"},
      {"installed, even where the user may write", {"", bin, true, "/x/", "/u"}, "/x/moonhaven/"},
      {"installed, no XDG_DATA_HOME", {"", bin, false, "", "/u"}, "/u/.local/share/moonhaven/"},
      {"a relative XDG_DATA_HOME is ignored", {"", bin, false, "rel", "/u/"}, "/u/.local/share/moonhaven/"},
      {"no executable folder", {"", "", false, "/x", "/u"}, "/x/moonhaven/"},
      {"nothing named at all", {"", bin, false, "", ""}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(programDirectoryFor(c.location), c.expected) << c.what;

  EXPECT_EQ(dataDirectoryFor(build), build + "/");
  EXPECT_EQ(dataDirectoryFor(bin), fs::canonical(prefix).string() + "/share/moonhaven/");
  EXPECT_EQ(dataDirectoryFor(""), "");
}

TEST(ProgramPathsTest, ShippedFilesAreCopiedOnceAndTheUsersCopyKept) {
  test::ScratchDir dir;
  const std::string data = dir.file("data/");
  const std::string home = dir.file("home/");
  fs::create_directories(data);
  fs::create_directories(home);
  ASSERT_TRUE(writeFileBytes(data + "players.ini", "shipped\n"));

  std::string text;
  EXPECT_EQ(copiedOnFirstUse(home, data, "players.ini"), home + "players.ini");
  ASSERT_TRUE(readFileBytes(home + "players.ini", 1024, text));
  EXPECT_EQ(text, "shipped\n");

  ASSERT_TRUE(writeFileBytes(home + "players.ini", "mine\n"));
  (void)copiedOnFirstUse(home, data, "players.ini");
  ASSERT_TRUE(readFileBytes(home + "players.ini", 1024, text));
  EXPECT_EQ(text, "mine\n") << "the user's copy is never replaced";

  EXPECT_EQ(copiedOnFirstUse(home, data, "players_Net.ini"), home + "players_Net.ini");
  EXPECT_FALSE(fs::exists(home + "players_Net.ini")) << "nothing shipped, nothing made";
  EXPECT_EQ(copiedOnFirstUse(data, data, "players.ini"), data + "players.ini") << "a build folder reads its own";
  EXPECT_EQ(std::distance(fs::directory_iterator(home), fs::directory_iterator()), 1) << "no temporary file left";
}

}  // namespace
}  // namespace mh
