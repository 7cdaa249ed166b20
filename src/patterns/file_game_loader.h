#pragma once

#include "patterns/game_loader.h"

namespace mh {

// The loader the index and the library builders use on real files: SGF or GIB chosen by the
// file's extension, SGF text taken as GB (or converted from the encoding the file declares).
GameLoader fileGameLoader();

}  // namespace mh
