#include "shell/frame_commands.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace mh {
namespace {

TEST(FrameCommands, AccessKeyIsTheCharacterAfterASingleAmpersand) {
  const struct {
    const char* label;
    char32_t key;
  } cases[] = {
      {"文件(&F)", U'F'},     {"层叠(&c)", U'C'},         {"退出", 0},   {"A && B", 0},
      {"A && &B", U'B'},      {"末尾&", 0},               {"&中文", U'中'}, {"&&&x", U'X'},
  };
  for (const auto& c : cases) EXPECT_EQ(accessKey(c.label), c.key) << c.label;
}

// Two items of one menu with the same access key cannot both be reached from the keyboard, and
// one shortcut can run only one command.
TEST(FrameCommands, NoTwoItemsOfAMenuShareAnAccessKeyAndNoTwoCommandsAShortcut) {
  std::set<char32_t> titles;
  std::map<std::string, FrameCommand> shortcuts;
  for (const FrameMenu& menu : mainMenus()) {
    SCOPED_TRACE(menu.title);
    EXPECT_NE(accessKey(menu.title), 0u);
    EXPECT_TRUE(titles.insert(accessKey(menu.title)).second) << "menu titles share a key";
    std::map<char32_t, FrameCommand> keys;
    for (const std::optional<FrameCommand>& item : menu.items) {
      if (!item) continue;
      const FrameCommandInfo& info = frameCommandInfo(*item);
      if (const char32_t key = accessKey(info.text)) {
        const auto [it, fresh] = keys.emplace(key, *item);
        EXPECT_TRUE(fresh) << info.text << " and " << frameCommandInfo(it->second).text;
      }
      if (*info.shortcut) {
        const auto [it, fresh] = shortcuts.emplace(info.shortcut, *item);
        EXPECT_TRUE(fresh) << info.shortcut << ": " << info.text << " and " << frameCommandInfo(it->second).text;
      }
    }
  }
}

TEST(FrameCommands, EveryCommandSitsInOneMenuAndEveryButtonHasAPicture) {
  std::map<FrameCommand, int> seen;
  for (const FrameMenu& menu : mainMenus())
    for (const std::optional<FrameCommand>& item : menu.items)
      if (item) ++seen[*item];
  for (const FrameCommandInfo& info : frameCommands()) EXPECT_EQ(seen[info.command], 1) << info.text;
  for (const std::optional<FrameCommand>& button : toolbarButtons())
    if (button) {
      EXPECT_TRUE(hasToolbarButton(*button));
    }
  EXPECT_FALSE(hasToolbarButton(FrameCommand::Exit));
}

TEST(FrameCommands, EnablingFollowsTheRoomsThePatternBasesAndTheActiveRoom) {
  const RoomCommandState noRoom{}, waiting{true, true, true, true}, gnuGo{true, true, false, false};
  const struct {
    FrameCommand command;
    FrameState state;
    bool enabled;
  } cases[] = {
      {FrameCommand::NewRoom, {0, 0, noRoom}, true},
      {FrameCommand::NewRoom, {8, 0, waiting}, true},
      {FrameCommand::NewRoom, {9, 0, waiting}, false},
      {FrameCommand::NewRoom, {12, 0, waiting}, false},
      {FrameCommand::Cascade, {0, 0, noRoom}, false},
      {FrameCommand::TileVertically, {1, 0, waiting}, true},
      {FrameCommand::CloseAllRooms, {0, 0, noRoom}, false},
      {FrameCommand::CloseAllRooms, {3, 0, noRoom}, true},
      {FrameCommand::UpdateCustomIndex, {1, 1, waiting}, false},
      {FrameCommand::UpdateCustomIndex, {1, 2, waiting}, true},
      {FrameCommand::Open, {0, 0, noRoom}, false},
      {FrameCommand::Open, {1, 0, gnuGo}, true},
      {FrameCommand::Pass, {1, 0, waiting}, true},
      {FrameCommand::Pass, {1, 0, gnuGo}, false},
      {FrameCommand::FlipX, {1, 0, gnuGo}, false},
      {FrameCommand::Settings, {0, 0, noRoom}, true},
      {FrameCommand::RecordLibrary, {0, 0, noRoom}, true},
      {FrameCommand::About, {0, 0, noRoom}, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(frameCommandEnabled(c.command, c.state), c.enabled)
        << frameCommandInfo(c.command).text << " with " << c.state.openRooms << " rooms";
}

}  // namespace
}  // namespace mh
