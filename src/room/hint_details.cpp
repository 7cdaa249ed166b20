#include "room/hint_details.h"

#include "patterns/game_index.h"
#include "platform/text_codec.h"

namespace mh {

namespace {

std::string countsText(const Hint& h, const HintWords& w) {
  return w.total + ":" + std::to_string(h.played) + ", " + w.won + ":" + std::to_string(h.wins) + ", " + w.lost + ":" +
         std::to_string(h.losses);
}

HintDetailRow gameRow(const Hint& hint, int occurrenceIndex, const PatternOccurrence& o, const GameIndex& games,
                      int sideToMove, const HintDetailWords& w, bool big5) {
  HintDetailRow row;
  row.position = hint.label + "(" + std::to_string(occurrenceIndex) + ")";
  const std::optional<std::string> path = games.pathOf(o.game);
  if (!path) {
    row.text = "?, " + std::to_string(o.move);
    return row;
  }
  const GameIndexEntry& e = games.entry(o.game);
  const auto shown = [big5](const std::string& gb) { return text::displayText(gb, big5); };
  row.text = shown(e.whiteName()) + " " + shown(e.whiteRank()) + "(" + w.white + ") VS " + shown(e.blackName()) + " " +
             shown(e.blackRank()) + "(" + w.black + "), " + w.result + ":" + shown(e.resultText()) + ", " +
             w.totalMoves + ":" + std::to_string(e.moveCount()) + ", " + w.moveNumber + ":" + std::to_string(o.move);
  row.path = *path;
  row.move = o.move;
  row.wonBySideToMove = e.winner() == sideToMove;
  return row;
}

void addRows(const HintList& list, const GameIndex& games, int sideToMove, const HintDetailWords& w, bool big5,
             std::vector<HintDetailRow>& out) {
  for (const Hint& h : list.hints) {
    HintDetailRow parent;
    parent.position = h.label;
    parent.text = countsText(h, w.counts);
    const auto& all = list.entries[static_cast<size_t>(h.entry)].occurrences;
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i].point == h.point)
        parent.children.push_back(gameRow(h, static_cast<int>(i), all[i], games, sideToMove, w, big5));
    out.push_back(std::move(parent));
  }
}

}  // namespace

std::vector<HintDetailRow> hintDetailRows(const PatternLibrary& global, const PatternLibrary& local,
                                          const GameIndex& games, const Board& board, int sideToMove,
                                          const HintDetailWords& words, bool displayInBig5) {
  std::vector<HintDetailRow> rows;
  addRows(globalHints(global, board, sideToMove, words.counts), games, sideToMove, words, displayInBig5, rows);
  if (rows.empty())
    addRows(localHints(local, board, sideToMove, words.counts), games, sideToMove, words, displayInBig5, rows);
  return rows;
}

}  // namespace mh
