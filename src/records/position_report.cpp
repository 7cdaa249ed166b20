#include "records/position_report.h"

#include "model/game_state.h"
#include "platform/text_codec.h"

namespace mh {

namespace {

void line(std::string& out, std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  out += text;
  out += '\n';
}

}  // namespace

std::string positionReport(const GameRecord& loaded, const Board& board, int sideToMove, int index, int lastIndex) {
  const GameInfo& info = loaded.info();
  const auto utf8 = [](const std::string& gb) { return text::gbToUtf8(gb); };
  std::string out;
  line(out, "size " + std::to_string(board.width()) + "x" + std::to_string(board.height()));
  line(out, "black " + utf8(info.blackName()) + " " + utf8(info.blackRank()));
  line(out, "white " + utf8(info.whiteName()) + " " + utf8(info.whiteRank()));
  line(out, "result " + std::to_string(info.winner()) + " " + utf8(info.resultText()));
  line(out, "game " + utf8(info.gameName()));
  line(out, "rules " + utf8(info.rules()));
  line(out, "moves " + std::to_string(loaded.entryCount()));
  line(out, "position " + std::to_string(index) + " of " + std::to_string(lastIndex));
  line(out, std::string("to-move ") + (sideToMove == White ? "w" : "b"));
  for (int y = 0; y < board.height(); ++y) {
    std::string row;
    for (int x = 0; x < board.width(); ++x) {
      const int cell = board.get(x + board.width() * y);
      row += cell == Black ? 'X' : cell == White ? 'O' : '.';
    }
    line(out, row);
  }
  return out;
}

std::optional<RecordPosition> replayRecord(const GameRecord& record, std::optional<int> move) {
  GameState state;
  state.load(record);
  if (!state.goTo(move.value_or(state.lastIndex()))) return std::nullopt;
  return RecordPosition{state.board(), state.sideToMove(), state.currentIndex(), state.lastIndex()};
}

bool showRecord(const GameRecord& record, std::optional<int> move, std::string& out) {
  const auto at = replayRecord(record, move);
  if (!at) return false;
  out = positionReport(record, at->board, at->sideToMove, at->index, at->lastIndex);
  return true;
}

std::string listReport(const std::vector<RecordSummary>& games) {
  const auto player = [](const std::string& name, const std::string& rank) {
    std::string text = text::gbToUtf8(name);
    if (!rank.empty()) text += (text.empty() ? "" : " ") + text::gbToUtf8(rank);
    return text.empty() ? std::string("-") : text;
  };
  std::string out;
  for (size_t i = 0; i < games.size(); ++i) {
    const RecordSummary& g = games[i];
    out += std::to_string(i + 1) + ": ";
    if (!g.isRecord) {
      out += "not a game record\n";
      continue;
    }
    const GameInfo& info = g.info;
    const std::string result = info.resultText().empty() ? "-" : text::gbToUtf8(info.resultText());
    out += "black " + player(info.blackName(), info.blackRank()) + ", white " +
           player(info.whiteName(), info.whiteRank()) + ", result " + result + ", moves " +
           std::to_string(g.moves) + "\n";
  }
  return out;
}

}  // namespace mh
