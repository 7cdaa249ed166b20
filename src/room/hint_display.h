#pragma once

#include <string>

#include "model/board.h"
#include "patterns/pattern_hints.h"
#include "room/board_annotations.h"

namespace mh {

class PatternLibrary;
struct MatrixLibraries;

// Which kinds of hints a room shows; the settings dialog switches them.
struct HintSwitches {
  bool global = true;
  bool local = true;
  bool matrix = true;
};

// Where a room's hints come from. A null library gives no hints of its kind.
struct HintSources {
  const PatternLibrary* global = nullptr;
  const PatternLibrary* local = nullptr;
  const MatrixLibraries* matrix = nullptr;
};

// What the hints of one position put on the board and into the information box.
struct HintDisplay {
  // Labels in the order they are drawn.
  BoardAnnotations annotations;
  // The detail lines (UTF-8, "\r\n" after each) of the last step that wrote them.
  std::string infoText;
  // The global query's answer (empty when it was not asked or found nothing) and, when the global
  // step placed nothing, the local one: what the hint details window lists.
  HintList global;
  HintList local;
};

// The hints of a position for the side to move. No hints at all while GNU Go plays in the room.
// Global hints come first; only when they place nothing are the matrix "*" points (red) and the
// local hints (A1, B1...) asked, each when switched on. The detail lines use the given words.
HintDisplay collectHints(const Board& board, int sideToMove, bool gnuGoInGame, const HintSources& sources,
                         HintSwitches switches, const HintWords& words);

}  // namespace mh
