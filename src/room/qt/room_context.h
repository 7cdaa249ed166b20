#pragma once

#include <QString>
#include <functional>

#include "room/room.h"
#include "room/rule_settings.h"

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
  // Makes rules the default of new games and writes them to rule.ini; false when the file could
  // not be written. Null: the rules dialog cannot keep a default.
  std::function<bool(const RuleSettings&)> setDefaultRules;
};

}  // namespace mh
