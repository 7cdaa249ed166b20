#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "room/room_commands.h"

namespace mh {

// The commands of the main frame's menus and toolbar, by their identifiers. The room's own
// commands act on the active room; the others on the frame or the application.
enum class FrameCommand : int {
  NewRoom = 57600,
  Open = 57601,
  RecordLibrary = 32789,
  Save = 57603,
  SaveAs = 57604,
  Export = 32777,
  CloseRoom = 57602,
  Exit = 57665,
  ViewToolbar = 59392,
  ViewStatusBar = 59393,
  ViewStudyBar = 32788,
  ViewRoomBar = 32790,
  LanguageChinese = 32798,
  LanguageEnglish = 32799,
  KeepOnTop = 32807,
  NewGame = 32771,
  EndGame = 32773,
  Pass = 32808,
  SwapXY = 32792,
  FlipX = 32793,
  FlipY = 32794,
  Settings = 32775,
  Play = 32802,
  MarkDead = 32804,
  Count = 32803,
  Rules = 32805,
  UpdateCustomIndex = 32806,
  PatternLibrary = 32781,
  MoveNumbers = 32809,
  HintDetails = 32810,
  Cascade = 57650,
  TileHorizontally = 57651,
  TileVertically = 57652,
  ArrangeIcons = 57649,
  CloseAllRooms = 32791,
  HelpTopics = 57670,
  HomePage = 32796,
  Feedback = 32797,
  About = 57664,
};

// How a command looks in a menu: its label (Simplified Chinese, the source text of its
// translations, with "&" before its access key), its shortcut in portable text ("Ctrl+N"; empty
// for none), the desktop icon theme's name for its picture (empty: no picture), and whether it
// carries a check mark.
struct FrameCommandInfo {
  FrameCommand command;
  const char* text;
  const char* shortcut;
  const char* icon;
  bool checkable;
};

// A menu of the main menu bar: its title and its items in order, an empty item standing for a
// separator.
struct FrameMenu {
  const char* title;
  std::vector<std::optional<FrameCommand>> items;
};

// The translation context of the labels above.
inline constexpr const char* kFrameCommandsContext = "mh::FrameCommands";

// Every command's look (one entry per command).
const std::vector<FrameCommandInfo>& frameCommands();
const FrameCommandInfo& frameCommandInfo(FrameCommand command);
// The main menu bar, left to right.
const std::vector<FrameMenu>& mainMenus();
// The toolbar's buttons, left to right; an empty entry is a separator.
const std::vector<std::optional<FrameCommand>>& toolbarButtons();
// The toolbar button of a command carries its picture into the menus too.
bool hasToolbarButton(FrameCommand command);

// The access key of a label: the character after a single "&" (upper-cased when ASCII), 0 for
// none. "&&" is a literal ampersand.
char32_t accessKey(std::string_view label);

// The room command a frame command passes to the active room, if it is one.
std::optional<RoomCommand> roomCommandOf(FrameCommand command);

// At most this many rooms are open at once.
inline constexpr int kMaxRooms = 9;

// What the enabling of the frame's commands depends on.
struct FrameState {
  int openRooms = 0;
  int patternBases = 0;
  RoomCommandState activeRoom;  // the active room's, roomOpen false when there is none
};

// Whether a command is offered: a new room only below the room limit; the room commands as the
// active room decides; window arrangement and closing all with at least one room; the custom
// record-library index with a second pattern base; everything else always.
bool frameCommandEnabled(FrameCommand command, const FrameState& state);

}  // namespace mh
