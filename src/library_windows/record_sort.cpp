#include "library_windows/record_sort.h"

#include <algorithm>

#include "library_windows/record_columns.h"

namespace mh {

namespace {

// Sorts games by one column's key with integer sorts: the keys are compared 8 bytes at a time,
// and only the games whose first bytes tie are looked at again, further on (a most-significant-
// digit radix order over the texts). Texts hold no NUL, so the zeros that pad a short text's last
// chunk sort it before every longer text with the same start, as a byte-wise comparison does.
class ColumnSorter {
 public:
  ColumnSorter(const std::vector<GameIndexEntry>& entries, int column) : entries_(entries), column_(column) {}

  // Puts the games in ascending order of recordPrecedes.
  void sort(std::vector<std::uint32_t>& games) {
    // In index order first, so that the first pass reads the entries front to back.
    std::sort(games.begin(), games.end());
    numberedInPlace_ = std::all_of(games.begin(), games.end(), [&](std::uint32_t g) {
      return entries_[g].number() == static_cast<std::int32_t>(g);
    });
    std::vector<Item> items(games.size());
    for (size_t i = 0; i < games.size(); ++i) {
      const std::uint32_t g = games[i];
      // The result column orders by winner first: the winner code, made unsigned in its order.
      items[i] = {column_ == kResultColumn ? static_cast<std::uint32_t>(entries_[g].winner()) ^ 0x80000000u
                                           : chunk(g, 0),
                  g};
    }
    if (column_ == kResultColumn) {
      sortByKey(items.data(), items.data() + items.size());
      forEachRun(items.data(), items.data() + items.size(), [&](Item* a, Item* b) { sortByText(a, b, 0, false); });
    } else {
      sortByText(items.data(), items.data() + items.size(), 0, true);
    }
    for (size_t i = 0; i < items.size(); ++i) games[i] = items[i].game;
  }

 private:
  struct Item {
    std::uint64_t key;
    std::uint32_t game;
  };

  std::string_view text(std::uint32_t game) const { return recordCellText(entries_[game], column_); }

  // Eight bytes of a game's text from byte `at` on, the first byte highest; zeros past its end.
  std::uint64_t chunk(std::uint32_t game, size_t at) const {
    const std::string_view t = text(game);
    std::uint64_t key = 0;
    for (size_t i = 0; i < 8; ++i)
      key = (key << 8) | (at + i < t.size() ? static_cast<std::uint8_t>(t[at + i]) : 0u);
    return key;
  }

  static void sortByKey(Item* begin, Item* end) {
    std::sort(begin, end, [](const Item& a, const Item& b) { return a.key < b.key; });
  }

  // Calls f on every run of two or more items with equal keys.
  template <typename F>
  static void forEachRun(Item* begin, Item* end, F&& f) {
    for (Item* a = begin; a != end;) {
      Item* b = a + 1;
      while (b != end && b->key == a->key) ++b;
      if (b - a > 1) f(a, b);
      a = b;
    }
  }

  // Sorts items whose texts agree before byte `at`; their keys hold the chunk at `at` when
  // keyed is set.
  void sortByText(Item* begin, Item* end, size_t at, bool keyed) {
    if (!keyed)
      for (Item* it = begin; it != end; ++it) it->key = chunk(it->game, at);
    sortByKey(begin, end);
    forEachRun(begin, end, [&](Item* a, Item* b) {
      // Equal chunks: the texts are equal when this one ended inside the chunk (so did the
      // others: no NUL pads a text before its end); a text that fills it may go on in others.
      if (text(a->game).size() < at + 8) sortTies(a, b);
      else sortByText(a, b, at + 8, false);
    });
  }

  // Games with equal keys: by stored entry number, then by place in the index.
  void sortTies(Item* begin, Item* end) const {
    if (numberedInPlace_) {
      std::sort(begin, end, [](const Item& a, const Item& b) { return a.game < b.game; });
      return;
    }
    std::sort(begin, end, [&](const Item& a, const Item& b) {
      const std::int32_t na = entries_[a.game].number();
      const std::int32_t nb = entries_[b.game].number();
      return na != nb ? na < nb : a.game < b.game;
    });
  }

  const std::vector<GameIndexEntry>& entries_;
  const int column_;
  bool numberedInPlace_ = true;
};

}  // namespace

HeaderClick clickHeader(RecordSortState& state, int column) {
  if (column < 0 || column >= kRecordColumnCount) return HeaderClick::Ignored;
  state.direction = state.direction == 1 ? 2 : 1;
  if (state.column == column) return HeaderClick::Reversed;
  state.column = column;
  return HeaderClick::Sorted;
}

void sortGames(std::vector<std::uint32_t>& games, const GameIndex& index, const RecordSortState& state) {
  if (state.column < 0 || state.column >= kRecordColumnCount || games.size() < 2) return;
  ColumnSorter(index.entries(), state.column).sort(games);
  if (state.direction == 2) std::reverse(games.begin(), games.end());
}

}  // namespace mh
