#pragma once

#include <QString>

// The board images built into the program, used when the board module (board/ beside the
// executables) is missing. Linking moonhaven_board_resources registers them as Qt resources:
//
//   :/board/132.png   wood tile, 69 x 75, seamless, averaging about RGB(255,195,101)
//   :/board/149.png   black stone, 23 x 23   (stone style 0)
//   :/board/147.png   white stone, 23 x 23   (stone style 0)
//   :/board/177.png   black stone, 20 x 20   (stone style 1)
//   :/board/180.png   white stone, 20 x 20   (stone style 1)
//
// The stones fill their square on a transparent background (alpha) and are meant to be
// stretched to a point's rectangle; no pixel is pure red.
namespace mh {

// The resource path of built-in board image `number` (":/board/132.png"), or an empty string
// for a number that is not one of the five.
QString builtinBoardImagePath(int number);

}  // namespace mh
