// moonhaven-cli play with the assist, reading a pattern base's library files from its home.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "model/board.h"
#include "patterns/pattern_library.h"
#include "platform/ini_file.h"
#include "support/scratch_dir.h"
#include "support/watchdog.h"

namespace {

using namespace std::chrono_literals;
using mh::test::ScratchDir;

constexpr mh::Point P(int x, int y) { return x + 19 * y; }
const std::string kCli = std::string(MOONHAVEN_BINARY_DIR) + "/apps/moonhaven-cli";

// Writes library files in index mode (data "X.<ext>", index "X.<ext>_") holding the entries.
void writeLibrary(const std::string& prefix, const std::string& ext, const std::vector<mh::PatternEntry>& entries) {
  mh::PatternLibrary memory;
  for (const auto& e : entries) ASSERT_TRUE(memory.add(e));
  ASSERT_TRUE(memory.writeData(prefix + "." + ext));
  mh::PatternLibrary indexed;
  ASSERT_TRUE(indexed.openData(prefix + "." + ext));
  ASSERT_TRUE(indexed.writeIndex(prefix + "." + ext + "_"));
}

// Runs the command line and returns its standard output.
std::string run(const std::string& commandLine, int& status) {
  std::string out;
  FILE* pipe = ::popen(commandLine.c_str(), "r");
  if (!pipe) return out;
  char buffer[512];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  status = ::pclose(pipe);
  return out;
}

TEST(PlayCommand, TheAssistPlaysThePatternBasesMoves) {
  if (!std::filesystem::exists(kCli)) GTEST_SKIP() << kCli << " is not built";
  mh::test::Watchdog dog(120s, "play command test");
  ScratchDir home;
  mh::IniFile ini(home.file("WPBs.ini"));
  ASSERT_TRUE(ini.writeInt("WPBS", "TOTAL", 2));
  for (const char* section : {"WPB_0", "WPB_1"}) {
    for (const char* title : {"TITLE0", "TITLE1", "TITLE2"}) ASSERT_TRUE(ini.writeString(section, title, section));
    ASSERT_TRUE(ini.writeString(section, "SGFPATH", home.path()));
  }
  ASSERT_TRUE(ini.writeString("WPB_0", "FILENAME", "other"));
  ASSERT_TRUE(ini.writeString("WPB_1", "FILENAME", "mine"));

  // Global: the empty board with Black to move answers the centre. Local: White's random first
  // reply is unknown, so GNU Go chooses Black's second move.
  mh::PatternEntry centre;
  centre.snapshot = mh::Board().snapshot();
  centre.side = mh::Black;
  centre.candidates = {{P(9, 9), 3, 2, 1}};
  writeLibrary(home.file("mine"), "wp2", {centre});
  writeLibrary(home.file("mine"), "lb", {});

  int status = -1;
  const std::string out = run(kCli + " play --white random --level 1 --max-moves 3 --seed 4 --assist --home '" +
                                  home.path() + "' --base 1 --out '" + home.file("game.sgf") + "' 2>&1",
                              status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out.rfind("1 b K10\n2 w ", 0), 0u) << out;
  EXPECT_NE(out.find("\n3 b "), std::string::npos) << out;
  EXPECT_TRUE(std::filesystem::exists(home.file("game.sgf")));

  const std::string missing = run(kCli + " play --assist --home '" + home.path() + "' --base 5 --out '" +
                                      home.file("none.sgf") + "' 2>&1",
                                  status);
  EXPECT_NE(status, 0) << missing;
  EXPECT_FALSE(std::filesystem::exists(home.file("none.sgf")));
}

}  // namespace
