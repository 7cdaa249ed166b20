#include "library_windows/record_columns.h"

#include <cstring>

namespace mh {

namespace {

std::string_view fieldText(const GameIndexEntry& entry, GameInfo::Field field) {
  const char* start = reinterpret_cast<const char*>(entry.bytes().data()) + field.offset;
  const void* nul = std::memchr(start, 0, field.size);
  return {start, nul ? static_cast<size_t>(static_cast<const char*>(nul) - start) : field.size};
}

}  // namespace

std::string_view recordCellText(const GameIndexEntry& entry, int column) {
  switch (column) {
    case kBlackColumn: return fieldText(entry, GameInfo::kBlackName);
    case kBlackRankColumn: return fieldText(entry, GameInfo::kBlackRank);
    case kWhiteColumn: return fieldText(entry, GameInfo::kWhiteName);
    case kWhiteRankColumn: return fieldText(entry, GameInfo::kWhiteRank);
    case kResultColumn: return fieldText(entry, GameIndexEntry::kResultText);
    case kFileColumn: return fieldText(entry, GameIndexEntry::kRelativeName);
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
