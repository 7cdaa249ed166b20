#pragma once

#include <QString>

#include "room/room.h"

namespace mh {

class BoardImages;
class BoardSounds;

// What the application lends every room window: the room's services, the board images, the
// sounds (null: silent) and the caption of its message boxes. Everything must outlive the rooms.
struct RoomContext {
  RoomServices services;
  const BoardImages* images = nullptr;
  BoardSounds* sounds = nullptr;
  QString caption;
};

}  // namespace mh
