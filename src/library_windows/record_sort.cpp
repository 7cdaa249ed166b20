#include "library_windows/record_sort.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <unordered_map>

#include "library_windows/record_columns.h"

namespace mh {

namespace {

struct SortKeyHash {
  size_t operator()(const RecordSortKey& k) const {
    return std::hash<std::string_view>{}(k.text) ^ (static_cast<size_t>(static_cast<std::uint32_t>(k.winner)) * 0x9E3779B97F4A7C15ull);
  }
};

// The rank of each listed game's key among the distinct keys of the listed games, in the
// column's key order, written at rank[game]. Returns whether every listed game's stored number is
// its place in the index (the usual case), which lets ties be ordered without reading entries.
bool rankKeys(const std::vector<std::uint32_t>& games, const std::vector<GameIndexEntry>& entries, int column,
              std::vector<std::uint32_t>& rank) {
  std::unordered_map<RecordSortKey, std::uint32_t, SortKeyHash> ids;
  std::vector<RecordSortKey> keys;
  bool numberedInPlace = true;
  for (const std::uint32_t g : games) {
    const GameIndexEntry& e = entries[g];
    const auto [it, added] = ids.try_emplace(recordSortKey(e, column), static_cast<std::uint32_t>(keys.size()));
    if (added) keys.push_back(it->first);
    rank[g] = it->second;
    numberedInPlace = numberedInPlace && e.number() == static_cast<std::int32_t>(g);
  }
  ids = {};
  std::vector<std::uint32_t> order(keys.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(),
            [&](std::uint32_t a, std::uint32_t b) { return compareSortKeys(keys[a], keys[b]) < 0; });
  std::vector<std::uint32_t> rankOf(keys.size());
  for (std::uint32_t r = 0; r < order.size(); ++r) rankOf[order[r]] = r;
  for (const std::uint32_t g : games) rank[g] = rankOf[rank[g]];
  return numberedInPlace;
}

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
  const std::vector<GameIndexEntry>& entries = index.entries();
  std::vector<std::uint32_t> rank(entries.size());
  if (rankKeys(games, entries, state.column, rank)) {
    std::sort(games.begin(), games.end(), [&](std::uint32_t a, std::uint32_t b) {
      return rank[a] != rank[b] ? rank[a] < rank[b] : a < b;
    });
  } else {
    std::sort(games.begin(), games.end(), [&](std::uint32_t a, std::uint32_t b) {
      if (rank[a] != rank[b]) return rank[a] < rank[b];
      const std::int32_t na = entries[a].number();
      const std::int32_t nb = entries[b].number();
      return na != nb ? na < nb : a < b;
    });
  }
  if (state.direction == 2) std::reverse(games.begin(), games.end());
}

}  // namespace mh
