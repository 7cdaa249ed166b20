#pragma once

#include <string>

namespace mh::test {

// The board module (pictures and sounds) the build makes for the desktop program.
inline const std::string kBoardModule = std::string(MOONHAVEN_BINARY_DIR) + "/apps/board";

}  // namespace mh::test
