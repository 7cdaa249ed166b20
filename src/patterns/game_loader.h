#pragma once

#include <functional>
#include <string>

#include "model/game_record.h"
#include "platform/parse_error.h"

namespace mh {

// Opens one game-record file for the index and the library builders: true with the record and
// its winner code (0 draw or unknown, 1 black, 2 white) when the file loads; false otherwise, and
// then error (when not null) says where and why the reading stopped. A function value so that
// the builders can be driven by a fake in tests.
using GameLoader = std::function<bool(const std::string& path, GameRecord& record, int& winner, ParseError* error)>;

}  // namespace mh
