#pragma once

#include <vector>

#include "model/board.h"
#include "model/game_state_view.h"
#include "room/board_annotations.h"

namespace mh {

// How many of the last moves carry their numbers: none, the last one, the last five, or all.
enum MoveNumberMode : int { kNumbersOff = 0, kNumbersLast = 1, kNumbersLastFive = 2, kNumbersAll = 3 };

// The next mode of the move-number button: off, last, last five, all, off again.
int nextMoveNumberMode(int mode);

// Labels "%d" for the last moves of the line leading to the shown position (moves[i] is move
// i + 1; passes and setups count as moves of the record but are never labelled). Walking back
// from the last move, a move is labelled when it placed a stone that is still on the board in its
// colour and no later move at that point was labelled already: white on a black stone, black on
// a white one. During study every move of the study line is numbered whatever the mode.
std::vector<BoardLabel> moveNumberLabels(const Board& board, const std::vector<ViewMove>& moves, int mode,
                                         bool studying);

}  // namespace mh
