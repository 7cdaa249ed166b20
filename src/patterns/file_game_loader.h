#pragma once

#include "patterns/game_loader.h"

namespace mh {

// The loader the index and the library builders use on real files: the room's reader, SGF or GIB
// chosen by the file's extension, text read in the charset the file declares or is found in,
// else as GB (the open dialog's default choice). The entries come without their properties
// (comments, marks), which neither builder reads.
GameLoader fileGameLoader();

}  // namespace mh
