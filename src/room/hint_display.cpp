#include "room/hint_display.h"

#include "engine/matrix_matcher.h"

namespace mh {

namespace {

void addHintLabels(const HintList& list, BoardAnnotations& out) {
  for (const Hint& h : list.hints) (void)out.addLabel(h.point, h.rgb(), h.label);
}

}  // namespace

HintDisplay collectHints(const Board& board, int sideToMove, bool gnuGoInGame, const HintSources& sources,
                         HintSwitches switches, const HintWords& words) {
  HintDisplay out;
  if (gnuGoInGame || !board.usable()) return out;

  if (switches.global && sources.global) {
    // The labels show counts only; the games behind them are looked up when details are asked for.
    out.global = globalHints(*sources.global, board, sideToMove, words, EntryParts::WithoutOccurrences);
    addHintLabels(out.global, out.annotations);
    out.infoText = out.global.detailText();
  }
  if (out.annotations.labelCount() > 0 || out.annotations.markCount() > 0) return out;

  if (switches.matrix && sources.matrix && sources.matrix->corner.size() > 0) {
    out.annotations.clear();
    MatrixMatcher matcher;
    matcher.run(board, sideToMove, *sources.matrix);
    for (Point p : cornerHintPoints(matcher, sources.matrix->corner, board)) (void)out.annotations.addLabel(p, kRed, "*");
  }
  if (switches.local && sources.local) {
    out.local = localHints(*sources.local, board, sideToMove, words, EntryParts::WithoutOccurrences);
    addHintLabels(out.local, out.annotations);
    out.infoText = out.local.detailText();
  }
  return out;
}

}  // namespace mh
