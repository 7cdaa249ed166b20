#include "library_windows/record_columns.h"

namespace mh {

std::string_view recordCellText(const GameIndexEntry& entry, int column) {
  switch (column) {
    case kBlackColumn: return entry.textView(GameInfo::kBlackName);
    case kBlackRankColumn: return entry.textView(GameInfo::kBlackRank);
    case kWhiteColumn: return entry.textView(GameInfo::kWhiteName);
    case kWhiteRankColumn: return entry.textView(GameInfo::kWhiteRank);
    case kResultColumn: return entry.textView(GameIndexEntry::kResultText);
    case kFileColumn: return entry.textView(GameIndexEntry::kRelativeName);
    default: return {};
  }
}

RecordSortKey recordSortKey(const GameIndexEntry& entry, int column) {
  return {column == kResultColumn ? entry.winner() : 0, recordCellText(entry, column)};
}

int compareSortKeys(const RecordSortKey& a, const RecordSortKey& b) {
  if (a.winner != b.winner) return a.winner < b.winner ? -1 : 1;
  // string_view compares as unsigned bytes (char_traits<char>::compare is memcmp-like).
  const int c = a.text.compare(b.text);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool recordPrecedes(const GameIndexEntry& a, int gameA, const GameIndexEntry& b, int gameB, int column) {
  if (const int c = compareSortKeys(recordSortKey(a, column), recordSortKey(b, column)); c != 0) return c < 0;
  if (a.number() != b.number()) return a.number() < b.number();
  return gameA < gameB;
}

}  // namespace mh
