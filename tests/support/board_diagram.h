#pragma once

#include <string>
#include <string_view>

#include "model/board.h"

namespace mh::test {

// Builds a board from an ASCII diagram: one row per non-blank line, top row first; "." or "+" is
// empty, "X" black, "O" white; spaces are ignored. The width is the longest row's.
Board boardFromDiagram(std::string_view diagram);

// The board as rows of ".", "X", "O" joined by "\n" (no trailing newline), for whole-board
// comparisons in failure messages.
std::string diagramOf(const Board& board);

// The same normalisation applied to a diagram literal, so literals compare with diagramOf.
std::string normalizeDiagram(std::string_view diagram);

}  // namespace mh::test
