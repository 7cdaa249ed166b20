#include "room/position_annotations.h"

#include "platform/text_codec.h"
#include "room/move_numbers.h"
#include "room/record_annotations.h"

namespace mh {

PositionAnnotations annotatePosition(const GameStateView& view, const AnnotationRequest& request) {
  HintDisplay hints =
      collectHints(view.board, view.sideToMove, request.gnuGoInGame, request.sources, request.switches, request.words);
  PositionAnnotations out;
  out.annotations = std::move(hints.annotations);
  for (const BoardLabel& label : moveNumberLabels(view.board, view.moves, request.moveNumberMode, view.studying))
    (void)out.annotations.addLabel(label.point, label.rgb, label.text);
  const std::string comment =
      addRecordAnnotations(view.properties, view.board.width(), view.board.height(), out.annotations);
  out.infoText = appendComment(std::move(hints.infoText), text::displayText(comment, request.displayInBig5));
  return out;
}

}  // namespace mh
