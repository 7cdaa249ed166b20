#include "library_windows/record_library_view.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "library_windows/record_columns.h"

namespace mh {
namespace {

struct Game {
  const char* black;
  const char* blackRank;
  const char* white;
  const char* whiteRank;
  int winner;
  const char* result;
  const char* file;
  int number = -1;  // the stored entry number; -1: its place in the index
};

GameIndex indexOf(std::initializer_list<Game> games) {
  GameIndex index;
  index.setDirectory("/records/");
  int place = 0;
  for (const Game& g : games) {
    GameInfo info;
    info.setText(GameInfo::kBlackName, g.black);
    info.setText(GameInfo::kBlackRank, g.blackRank);
    info.setText(GameInfo::kWhiteName, g.white);
    info.setText(GameInfo::kWhiteRank, g.whiteRank);
    info.setText(GameInfo::kResultText, g.result);
    info.setWinner(g.winner);
    GameIndexEntry e;
    EXPECT_TRUE(e.assign(info, g.file, 100, g.number < 0 ? place : g.number));
    index.append(e);
    ++place;
  }
  return index;
}

// The black names of the rows, or the given column's texts.
std::vector<std::string> column(const RecordLibraryView& v, int c = kBlackColumn) {
  std::vector<std::string> out;
  for (int r = 0; r < v.rowCount(); ++r) out.emplace_back(v.cellText(r, c));
  return out;
}

std::vector<int> games(const RecordLibraryView& v) {
  std::vector<int> out;
  for (int r = 0; r < v.rowCount(); ++r) out.push_back(v.gameAt(r));
  return out;
}

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

const GameIndex kIndex = indexOf({
    {"li", "9d", "gu", "9d", 2, "W+R", "a.sgf"},
    {"gu", "8d", "li", "", 1, "B+3.5", "b.sgf"},
    {"chang", "9d", "li", "7d", 1, "B+R", "c/d.sgf"},
    {"ma", "", "nie", "9d", 0, "", "e.gib"},
    {"li", "9d", "ma", "9d", 2, "W+0.5", "f.sgf"},
});

TEST(RecordLibraryView, FilterByPlayerAndColourKeepsIndexOrder) {
  const struct {
    PlayerFilter filter;
    Ints want;
  } table[] = {
      {{"", PlayerFilter::AsBlack}, {0, 1, 2, 3, 4}},
      {{"li", PlayerFilter::AnyColour}, {0, 1, 2, 4}},
      {{"li", PlayerFilter::AsBlack}, {0, 4}},
      {{"li", PlayerFilter::AsWhite}, {1, 2}},
      {{"nie", PlayerFilter::AsBlack}, {}},  // only ever played White
      {{"nie", PlayerFilter::AsWhite}, {3}},
      {{"l", PlayerFilter::AnyColour}, {}},    // names compare whole, not as prefixes
      {{"LI", PlayerFilter::AnyColour}, {}},   // and byte for byte
      {{"li", 7}, {}},                         // an unknown colour choice matches neither side
  };
  for (const auto& t : table) {
    RecordLibraryView v;
    v.setIndex(&kIndex);
    v.setFilter(t.filter);
    EXPECT_EQ(games(v), t.want) << t.filter.name << " colour " << t.filter.colour;
  }
}

TEST(RecordLibraryView, HeaderClicksToggleTheDirectionAndReverseTheSameColumn) {
  RecordLibraryView v;
  v.setIndex(&kIndex);
  EXPECT_EQ(games(v), (Ints{0, 1, 2, 3, 4})) << "no sort column at first";
  // The first click sorts descending; ties (li, li) stay in descending entry order.
  EXPECT_EQ(v.clickHeader(kBlackColumn), HeaderClick::Sorted);
  EXPECT_EQ(v.sortState(), (RecordSortState{kBlackColumn, 2}));
  EXPECT_EQ(games(v), (Ints{3, 4, 0, 1, 2}));
  // The same header again: the rows as they stand, reversed.
  EXPECT_EQ(v.clickHeader(kBlackColumn), HeaderClick::Reversed);
  EXPECT_EQ(v.sortState(), (RecordSortState{kBlackColumn, 1}));
  EXPECT_EQ(games(v), (Ints{2, 1, 0, 4, 3}));
  // Another header: its own sort in the toggled direction.
  EXPECT_EQ(v.clickHeader(kFileColumn), HeaderClick::Sorted);
  EXPECT_EQ(v.sortState(), (RecordSortState{kFileColumn, 2}));
  EXPECT_EQ(column(v, kFileColumn), (Strings{"f.sgf", "e.gib", "c/d.sgf", "b.sgf", "a.sgf"}));
  EXPECT_EQ(v.clickHeader(6), HeaderClick::Ignored);
  EXPECT_EQ(v.clickHeader(-1), HeaderClick::Ignored);
  EXPECT_EQ(v.sortState(), (RecordSortState{kFileColumn, 2})) << "a click beside the columns changes nothing";

  // A new filter keeps the sort; so does another index.
  v.setFilter({"li", PlayerFilter::AnyColour});
  EXPECT_EQ(column(v, kFileColumn), (Strings{"f.sgf", "c/d.sgf", "b.sgf", "a.sgf"}));
  v.setIndex(nullptr);
  EXPECT_EQ(v.rowCount(), 0);
  EXPECT_EQ(v.gameAt(0), -1);
  EXPECT_EQ(v.cellText(0, 0), "");
  v.setIndex(&kIndex);
  EXPECT_EQ(games(v), (Ints{4, 2, 1, 0}));
}

TEST(RecordLibraryView, ResultSortsByWinnerBeforeText) {
  RecordLibraryView v;
  v.setIndex(&kIndex);
  (void)v.clickHeader(kBlackColumn);
  (void)v.clickHeader(kResultColumn);  // direction back to 1: ascending
  // Winner 0, then 1 (B+3.5 before B+R), then 2 (W+0.5 before W+R), although "B" < "W" would
  // also hold by text alone: the empty result of the draw sorts first by its winner code.
  EXPECT_EQ(column(v, kResultColumn), (Strings{"", "B+3.5", "B+R", "W+0.5", "W+R"}));
  const GameIndex odd = indexOf({{"a", "", "b", "", 2, "A", "1.sgf"}, {"c", "", "d", "", 1, "Z", "2.sgf"}});
  v.setIndex(&odd);
  EXPECT_EQ(games(v), (Ints{1, 0})) << "winner 1 before winner 2, whatever the texts";
}

TEST(RecordLibraryView, EqualKeysFollowTheStoredEntryNumbers) {
  // Stored numbers that are not the games' places (an index edited or merged by hand).
  const GameIndex shuffled = indexOf({{"x", "", "y", "", 1, "", "a", 7},
                                      {"x", "", "y", "", 1, "", "b", 2},
                                      {"w", "", "y", "", 1, "", "c", 9},
                                      {"x", "", "y", "", 1, "", "d", 5},
                                      {"x", "", "y", "", 1, "", "e", 5}});
  RecordLibraryView v;
  v.setIndex(&shuffled);
  (void)v.clickHeader(kWhiteColumn);  // all equal, descending
  EXPECT_EQ(games(v), (Ints{2, 0, 4, 3, 1})) << "numbers 9, 7, 5, 5, 2; equal numbers by place";
  (void)v.clickHeader(kBlackColumn);  // ascending
  EXPECT_EQ(games(v), (Ints{2, 1, 3, 4, 0}));
}

// The sort reads the texts eight bytes at a time: texts that end at, just before or just after a
// multiple of eight bytes, share long starts, tie, or hold GB bytes (above 0x7F) must still come
// out in the order of recordPrecedes, with the stored numbers ordering ties.
TEST(RecordLibraryView, SortAgreesWithTheColumnOrderAtEveryTextLength) {
  const std::vector<std::string> texts = {
      "",         "1234567",          "12345678",          "123456789",          "1234567\x80",
      "12345678", "1234567812345678", "12345678123456781", "1234567812345677",  "\xC0\xEE",
      "\xC0",    "\xC0\xEE\xB2\xFD", "a",                 "12345678",           "1234567812345678"};
  for (const bool numberedInPlace : {true, false}) {
    GameIndex index;
    index.setDirectory("/records/");
    for (size_t i = 0; i < texts.size(); ++i) {
      GameInfo info;
      info.setText(GameInfo::kBlackName, texts[i]);
      info.setText(GameInfo::kResultText, texts[(i * 7) % texts.size()]);
      info.setWinner(static_cast<int>(i % 3));
      GameIndexEntry e;
      const int number = numberedInPlace ? static_cast<int>(i) : static_cast<int>((i * 5) % 4);
      ASSERT_TRUE(e.assign(info, "f" + texts[(i * 3) % texts.size()] + std::to_string(i % 2), 1, number));
      index.append(e);
    }
    for (const int c : {kBlackColumn, kResultColumn, kFileColumn}) {
      std::vector<std::uint32_t> sorted(texts.size());
      for (std::uint32_t g = 0; g < sorted.size(); ++g) sorted[g] = static_cast<std::uint32_t>(sorted.size()) - 1 - g;
      std::vector<std::uint32_t> expected = sorted;
      std::sort(expected.begin(), expected.end(), [&](std::uint32_t a, std::uint32_t b) {
        return recordPrecedes(index.entry(static_cast<int>(a)), static_cast<int>(a), index.entry(static_cast<int>(b)),
                              static_cast<int>(b), c);
      });
      sortGames(sorted, index, {c, 1});
      EXPECT_EQ(sorted, expected) << "column " << c << (numberedInPlace ? "" : ", numbers out of place");
      std::reverse(expected.begin(), expected.end());
      sortGames(sorted, index, {c, 2});
      EXPECT_EQ(sorted, expected) << "column " << c << " descending";
    }
  }
}

TEST(RecordLibraryView, RowsGiveTheirFilesPaths) {
  RecordLibraryView v;
  v.setIndex(&kIndex);
  (void)v.clickHeader(kFileColumn);
  EXPECT_EQ(v.pathOf(0), "/records/f.sgf");
  EXPECT_EQ(v.pathOf(2), "/records/c/d.sgf");
  EXPECT_EQ(v.pathOf(5), std::nullopt);
  EXPECT_EQ(v.pathOf(-1), std::nullopt);
  EXPECT_EQ(v.rowBytes(), 5 * sizeof(std::uint32_t));
}

}  // namespace
}  // namespace mh
