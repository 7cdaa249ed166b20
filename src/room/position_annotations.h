#pragma once

#include <string>

#include "model/game_state_view.h"
#include "room/board_annotations.h"
#include "room/hint_display.h"

namespace mh {

// How a room annotates the positions it shows.
struct AnnotationRequest {
  HintSources sources;
  HintSwitches switches;
  bool gnuGoInGame = false;
  int moveNumberMode = 0;
  bool displayInBig5 = false;
  HintWords words;
};

// What a room draws over a position and writes into its information box.
struct PositionAnnotations {
  BoardAnnotations annotations;
  // The hint lines (UTF-8), then the node's comment after a separator.
  std::string infoText;
};

// The refresh's annotations of a shown position, in drawing order: the hints, the move numbers,
// then the record node's marks and labels; and the information text with the node's comment.
PositionAnnotations annotatePosition(const GameStateView& view, const AnnotationRequest& request);

}  // namespace mh
