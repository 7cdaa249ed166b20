#include "room/room_commands.h"

namespace mh {

bool roomCommandEnabled(RoomCommand command, const RoomCommandState& state) {
  if (!state.roomOpen) return false;
  switch (command) {
    case RoomCommand::EndGame: return state.driverRunning;
    case RoomCommand::Pass: return state.personMayPass;
    case RoomCommand::SwapXY:
    case RoomCommand::FlipX:
    case RoomCommand::FlipY:
    // A count stores its result in the game, which it may change only while no player holds it.
    case RoomCommand::Count: return state.stateIsFree;
    default: return true;
  }
}

}  // namespace mh
