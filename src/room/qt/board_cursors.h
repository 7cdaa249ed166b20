#pragma once

#include <QCursor>

namespace mh {

// The mouse pointers over a board: a small stone of the side to move, and the marker of
// dead-stone marking. Made once, on first use.
QCursor stoneCursor(int colour);
QCursor deadStoneCursor();

}  // namespace mh
