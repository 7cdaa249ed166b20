#include "room/counting.h"

#include <algorithm>
#include <cmath>

#include "model/area_count.h"
#include "model/group.h"
#include "platform/decimal_text.h"
#include "platform/text_codec.h"

namespace mh {

namespace {

std::string fixed2(double value) { return fixedDecimal(value, 2); }
std::string fixed1(double value) { return fixedDecimal(value, 1); }
std::string number(int value) { return std::to_string(value); }

// The board with the dead stones taken off and every empty region that touches stones of one
// colour only filled with that colour. The points filled are listed per colour.
struct Territory {
  Board board;
  PointList black;
  PointList white;
};

Territory classify(const Board& position, const PointList& dead) {
  Territory t{position, {}, {}};
  for (Point p : dead) t.board.set(p, Empty);
  const std::vector<int> borders = regionBorders(t.board);
  for (Point p = 0; p < static_cast<Point>(borders.size()); ++p) {
    if (t.board.get(p) != Empty) continue;
    const int owner = regionOwner(borders[static_cast<size_t>(p)]);
    if (owner == Black) t.black.push_back(p);
    if (owner == White) t.white.push_back(p);
  }
  // Filled only after every region is judged, so a filled region never borders the next one.
  t.board.setPoints(t.black, Black);
  t.board.setPoints(t.white, White);
  return t;
}

int stonesOf(const Board& board, int colour) {
  PointList points;
  return board.pointsOfValue(colour, points);
}

void decide(CountReport& r, const CountWords& words, std::string& winnerText) {
  if (r.blackScore > r.whiteScore) r.winner = Black;
  else if (r.whiteScore > r.blackScore) r.winner = White;
  else r.winner = Empty;
  winnerText = r.winner == Black ? words.blackWins : r.winner == White ? words.whiteWins : words.draw;
}

void countChinese(const CountRequest& q, const Territory& t, const CountWords& words, CountReport& r) {
  r.blackArea = stonesOf(t.board, Black);
  r.whiteArea = stonesOf(t.board, White);
  const int extraHandicap = q.handicap - 1;
  r.blackScore = r.blackArea - q.komi - (extraHandicap > 0 ? extraHandicap : 0);
  r.whiteScore = r.whiteArea + q.komi;
  std::string winnerText;
  decide(r, words, winnerText);
  // Area scores count every point for one side, so the margin in stones is half the difference.
  const double margin = std::fabs(r.blackScore - r.whiteScore) * 0.5;
  const std::string marginText = margin != 0 ? fixed2(margin) + " " + words.stones : std::string();
  const std::string handicapText =
      extraHandicap > 0 ? "-" + number(extraHandicap) + "(" + words.handicap + ")" : std::string();
  r.lines[1] = words.black + ": " + number(r.blackArea) + "-" + fixed2(q.komi) + "(" + words.komiStones + ")" +
               handicapText + "=" + fixed2(r.blackScore);
  r.lines[2] = words.white + ": " + number(r.whiteArea) + "+" + fixed2(q.komi) + "(" + words.komiStones + ")=" +
               fixed2(r.whiteScore);
  r.resultText = winnerText + "  " + marginText;
  t.board.pointsOfValue(Black, r.blackMarks);
  t.board.pointsOfValue(White, r.whiteMarks);
}

void countJapanese(const CountRequest& q, const PointList& dead, const Territory& t, const CountWords& words,
                   CountReport& r) {
  int deadBlack = 0, deadWhite = 0;
  for (Point p : dead) (q.board.get(p) == Black ? deadBlack : deadWhite)++;
  // Placed totals that fall short of the stones on the board (a request put together by hand)
  // must not turn into negative captures.
  r.blackCaptured = std::max(0, q.blackPlaced - stonesOf(q.board, Black)) + deadBlack;
  r.whiteCaptured = std::max(0, q.whitePlaced - stonesOf(q.board, White)) + deadWhite;
  r.blackArea = static_cast<int>(t.black.size());
  r.whiteArea = static_cast<int>(t.white.size());
  r.blackScore = r.blackArea + r.whiteCaptured;
  r.whiteScore = r.whiteArea + r.blackCaptured + q.komi;
  std::string winnerText;
  decide(r, words, winnerText);
  const double margin = std::fabs(r.blackScore - r.whiteScore);
  const std::string marginText = margin != 0 ? fixed1(margin) + words.points : std::string();
  r.lines[1] = words.blackSide + ": " + number(r.blackArea) + "(" + words.territory + ")+" + number(r.whiteCaptured) +
               "(" + words.whiteStones + ")=" + fixedDecimal(r.blackScore, 0);
  r.lines[2] = words.whiteSide + ": " + number(r.whiteArea) + "(" + words.territory + ")+" + number(r.blackCaptured) +
               "(" + words.blackStones + ")+" + fixed1(q.komi) + "(" + words.komiPoints + ")=" + fixed1(r.whiteScore);
  r.resultText = winnerText + "  " + marginText;
  r.blackMarks = t.black;
  r.whiteMarks = t.white;
}

}  // namespace

CountRequest countRequest(const GameStateView& view, const GameSettings& settings, PointList dead) {
  CountRequest q;
  q.board = view.board;
  q.dead = std::move(dead);
  q.ruleType = settings.ruleType;
  q.komi = settings.komi;
  q.handicap = settings.handicap;
  q.blackPlaced = view.blackPlaced;
  q.whitePlaced = view.whitePlaced;
  return q;
}

PointList deadStringStones(const Board& board, const PointList& chosen) {
  PointList stones;
  Group string;
  for (Point p : chosen) {
    if (!isStoneColour(board.get(p)) || !board.groupAt(p, string)) continue;
    stones.insert(stones.end(), string.points.begin(), string.points.end());
  }
  std::sort(stones.begin(), stones.end());
  stones.erase(std::unique(stones.begin(), stones.end()), stones.end());
  return stones;
}

std::string CountReport::text() const {
  return lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n" + lines[3];
}

std::optional<CountReport> countGame(const CountRequest& request, const CountWords& words) {
  if (request.ruleType != GameSettings::Chinese && request.ruleType != GameSettings::Japanese) return std::nullopt;
  PointList dead;
  for (Point p : request.dead)
    if (isStoneColour(request.board.get(p))) dead.push_back(p);
  std::sort(dead.begin(), dead.end());
  dead.erase(std::unique(dead.begin(), dead.end()), dead.end());

  const Territory territory = classify(request.board, dead);
  CountReport report;
  report.ruleType = request.ruleType;
  if (request.ruleType == GameSettings::Chinese) countChinese(request, territory, words, report);
  else countJapanese(request, dead, territory, words, report);
  report.lines[0] = words.result + ":";
  report.lines[3] = report.resultText;
  return report;
}

void storeCountResult(const CountReport& report, GameInfo& info) {
  if (report.winner == Black) info.setWinner(GameInfo::BlackWins);
  else if (report.winner == White) info.setWinner(GameInfo::WhiteWins);
  (void)info.setText(GameInfo::kResultText, text::utf8ToGb(report.resultText));
}

}  // namespace mh
