#include "platform/program_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace mh {
namespace {

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
  ::setenv("MOONHAVEN_HOME", "", 1);
  const std::string exeDir = programDirectory();
  EXPECT_EQ(exeDir, std::string(MOONHAVEN_BINARY_DIR) + "/tests/");
  if (old) ::setenv("MOONHAVEN_HOME", saved.c_str(), 1);
  else ::unsetenv("MOONHAVEN_HOME");
}

}  // namespace
}  // namespace mh
