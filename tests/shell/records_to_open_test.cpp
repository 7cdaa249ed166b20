#include "shell/records_to_open.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mh {
namespace {

using Files = std::vector<std::string>;

TEST(RecordsToOpenTest, FirstIntoTheActiveRoomTheRestIntoNewRoomsUpToTheLimit) {
  const Files three = {"/a.sgf", "/b.sgf", "/c.gib"};
  struct Case {
    const char* what;
    Files files;
    size_t roomsOpen;
    RecordsToOpen expected;
  } cases[] = {
      {"nothing given", {}, 1, {}},
      {"start-up: room 100 takes the first", three, 1, {{"/a.sgf"}, {"/b.sgf", "/c.gib"}, {}}},
      {"no room open", three, 0, {{}, {"/a.sgf", "/b.sgf", "/c.gib"}, {}}},
      {"one place left", three, 8, {{"/a.sgf"}, {"/b.sgf"}, {"/c.gib"}}},
      {"the frame is full", three, 9, {{"/a.sgf"}, {}, {"/b.sgf", "/c.gib"}}},
  };
  for (const Case& c : cases) {
    const RecordsToOpen got = RecordsToOpen::plan(c.files, c.roomsOpen, 9);
    EXPECT_EQ(got.intoActiveRoom, c.expected.intoActiveRoom) << c.what;
    EXPECT_EQ(got.intoNewRooms, c.expected.intoNewRooms) << c.what;
    EXPECT_EQ(got.notOpened, c.expected.notOpened) << c.what;
  }
  Files twelve;
  for (int i = 0; i < 12; ++i) twelve.push_back("/" + std::to_string(i) + ".sgf");
  const RecordsToOpen many = RecordsToOpen::plan(twelve, 1, 9);
  EXPECT_EQ(many.intoNewRooms.size(), 8u);
  EXPECT_EQ(many.notOpened, (Files{"/9.sgf", "/10.sgf", "/11.sgf"}));
}

TEST(RecordsToOpenTest, CommandLineArgumentsBecomeAbsolutePaths) {
  struct Case {
    const char* what;
    Files arguments;
    Files files;
    Files skipped;
  } cases[] = {
      {"relative and absolute", {"a.sgf", "../r/b.gib", "/abs/c.sgf"}, {"/home/u/a.sgf", "/home/r/b.gib", "/abs/c.sgf"}, {}},
      {"unknown options are skipped", {"--verbose", "-x", "a.sgf"}, {"/home/u/a.sgf"}, {"--verbose", "-x"}},
      {"after -- every name is a file", {"--", "-odd.sgf", "--"}, {"/home/u/-odd.sgf", "/home/u/--"}, {}},
      {"file URIs", {"file:///r/my%20game%E6%A3%8B.sgf", "file://localhost/r/b.sgf"},
       {"/r/my game\xE6\xA3\x8B.sgf", "/r/b.sgf"}, {}},
      {"URIs naming no local file",
       {"file://server/r/a.sgf", "file://", "file:///r/%00.sgf"},
       {},
       {"file://server/r/a.sgf", "file://", "file:///r/%00.sgf"}},
      {"a bad escape stays as written", {"file:///r/100%.sgf", "file:///r/%zz"}, {"/r/100%.sgf", "/r/%zz"}, {}},
      {"empty arguments are nothing", {"", ""}, {}, {}},
  };
  for (const Case& c : cases) {
    Files skipped;
    EXPECT_EQ(recordFileArguments(c.arguments, "/home/u", &skipped), c.files) << c.what;
    EXPECT_EQ(skipped, c.skipped) << c.what;
  }
}

}  // namespace
}  // namespace mh
