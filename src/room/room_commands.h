#pragma once

namespace mh {

// The commands a room answers, from the main frame's menus.
enum class RoomCommand {
  NewGame,
  EndGame,
  // The person to move passes.
  Pass,
  Play,
  Open,
  Save,
  SaveAs,
  Export,
  SwapXY,
  FlipX,
  FlipY,
  MoveNumbers,
  HintDetails,
  LibraryChoice,
  MarkDead,
  Count,
  Rules,
  Close,
};

// What the enabling of the room commands depends on.
struct RoomCommandState {
  bool roomOpen = false;        // there is an active room
  bool driverRunning = false;   // its game's driver thread runs
  bool stateIsFree = false;     // the window may change its game state now (see Room)
  bool personMayPass = false;   // the person at the board is to move at the end of the line
};

// Whether a command is offered: every command needs a room; End needs a running game; Pass needs
// the person to move; the board transforms need a game state the window may change.
bool roomCommandEnabled(RoomCommand command, const RoomCommandState& state);

}  // namespace mh
