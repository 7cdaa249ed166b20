#include "platform/find_program.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/scratch_dir.h"

namespace {

using mh::findProgram;
using mh::test::ScratchDir;

void makeFile(const std::string& path, bool executable) {
  ASSERT_TRUE(mh::test::writeFileBytes(path, {'#', '!'}));
  ASSERT_EQ(::chmod(path.c_str(), executable ? 0755 : 0644), 0);
}

TEST(FindProgram, SearchesThePathThenTheExtraDirectories) {
  ScratchDir dir;
  const std::string a = dir.file("a"), b = dir.file("b"), games = dir.file("games");
  for (const std::string& d : {a, b, games}) ASSERT_EQ(::mkdir(d.c_str(), 0755), 0);
  makeFile(a + "/plain", false);
  makeFile(b + "/plain", true);
  makeFile(b + "/both", true);
  makeFile(games + "/both", true);
  makeFile(games + "/engine", true);
  ASSERT_EQ(::mkdir((a + "/folder").c_str(), 0755), 0);
  makeFile(games + "/folder", true);

  const std::string path = a + ":" + b;
  const struct {
    const char* name;
    std::string searchPath;
    std::string expected;
  } table[] = {
      {"plain", path, b + "/plain"},           // not executable in a: skipped
      {"both", path, b + "/both"},             // PATH before the extra directories
      {"engine", path, games + "/engine"},     // only in the extra directory
      {"folder", path, games + "/folder"},     // a directory is no program
      {"missing", path, "missing"},            // the name itself
      {"engine", "", games + "/engine"},       // an empty PATH names no directory
      {"./engine", path, "./engine"},          // a path is used as it is
      {"/opt/x/gnugo", path, "/opt/x/gnugo"},
  };
  for (const auto& row : table)
    EXPECT_EQ(findProgram(row.name, row.searchPath, {games}), row.expected) << row.name << " in " << row.searchPath;
}

TEST(FindProgram, FindsGnuGoWhereDebianInstallsIt) {
  EXPECT_EQ(findProgram("gnugo", "/nonexistent", {"/usr/games"}), "/usr/games/gnugo");
}

}  // namespace
