#include "patterns/pattern_hints.h"

#include "shapes/local_position.h"

namespace mh {

namespace {

// Local clusters join stones within this Manhattan distance.
constexpr int kClusterDistance = 5;

// Appends a hint for every candidate of entry (passes skipped), lettering from A.
void labelCandidates(HintList& list, PatternEntry entry, int cluster, const HintWords& words) {
  const int entryIndex = static_cast<int>(list.entries.size());
  int n = 0;
  for (const PatternCandidate& c : entry.candidates) {
    if (c.point < 0) continue;
    Hint h;
    h.point = c.point;
    h.label = hintLetter(n++) + (cluster > 0 ? std::to_string(cluster) : std::string());
    h.cluster = cluster;
    h.played = c.played;
    h.wins = c.wins;
    h.losses = c.losses;
    h.entry = entryIndex;
    h.detail = h.label + ", " + words.total + ":" + std::to_string(c.played) + ", " + words.won + ":" +
               std::to_string(c.wins) + ", " + words.lost + ":" + std::to_string(c.losses) + "\r\n";
    list.hints.push_back(std::move(h));
  }
  list.entries.push_back(std::move(entry));
}

}  // namespace

std::string hintLetter(int n) {
  n %= 52;
  if (n < 0) n += 52;
  return std::string(1, static_cast<char>(n < 26 ? 'A' + n : 'a' + (n - 26)));
}

std::string HintList::detailText() const {
  std::string text;
  for (const Hint& h : hints) text += h.detail;
  return text;
}

HintList globalHints(const PatternLibrary& library, const Board& board, int colour, const HintWords& words,
                     EntryParts parts) {
  HintList list;
  if (!board.usable()) return list;
  PatternEntry entry;
  if (library.findWithSymmetries(board.snapshot(), colour, entry, parts))
    labelCandidates(list, std::move(entry), 0, words);
  return list;
}

HintList localHints(const PatternLibrary& library, const Board& board, int colour, const HintWords& words,
                    EntryParts parts) {
  HintList list;
  if (!board.usable()) return list;
  LocalPositionList found;
  clusters(board, kClusterDistance, found);
  Board only;
  for (size_t k = 0; k < found.size(); ++k) {
    if (!boardOf(found[k], only)) continue;
    PatternEntry entry;
    if (library.findWithSymmetries(only.snapshot(), colour, entry, parts))
      labelCandidates(list, std::move(entry), static_cast<int>(k) + 1, words);
  }
  return list;
}

std::vector<PatternOccurrence> occurrencesOf(const HintList& list, const Hint& hint) {
  std::vector<PatternOccurrence> out;
  if (hint.entry < 0 || hint.entry >= static_cast<int>(list.entries.size())) return out;
  for (const PatternOccurrence& o : list.entries[static_cast<size_t>(hint.entry)].occurrences)
    if (o.point == hint.point) out.push_back(o);
  return out;
}

}  // namespace mh
