#include "patterns/pattern_entry.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include "model/board_transform.h"

namespace mh {

namespace {

// Reads a count field and checks that count records of recordBytes each can still follow.
template <class Reader>
bool readCount(Reader& in, size_t recordBytes, std::int32_t& count) {
  if (!in.readI32(count) || count < 0) return false;
  return static_cast<std::uint64_t>(count) * recordBytes <= in.remaining();
}

template <class Reader>
bool readBodyFrom(Reader& in, PatternEntryForm form, EntryParts parts, PatternEntry& e) {
  e.candidates.clear();
  e.text.clear();
  e.occurrences.clear();
  std::int32_t n = 0;
  if (!readCount(in, PatternCandidate::kBytes, n)) return false;
  e.candidates.resize(static_cast<size_t>(n));
  for (auto& c : e.candidates)
    if (!in.readI32(c.point) || !in.readI32(c.played) || !in.readI32(c.wins) || !in.readI32(c.losses)) return false;

  std::int64_t textLength = 0;
  if (form == PatternEntryForm::Warehouse) {
    std::uint16_t len = 0;
    if (!in.readU16(len)) return false;
    textLength = len;
  } else {
    std::int32_t len = 0;
    if (!in.readI32(len)) return false;
    textLength = std::max(len, 0);
  }
  if (static_cast<std::uint64_t>(textLength) > in.remaining()) return false;
  e.text.resize(static_cast<size_t>(textLength));
  if (textLength > 0 && !in.readBytes(e.text.data(), e.text.size())) return false;

  if (!readCount(in, PatternOccurrence::kBytes, n)) return false;
  if (parts == EntryParts::WithoutOccurrences) return true;
  e.occurrences.resize(static_cast<size_t>(n));
  for (auto& o : e.occurrences) {
    std::uint16_t move = 0;
    std::uint16_t point = 0;
    if (!in.readI32(o.game) || !in.readU16(move) || !in.readU16(point)) return false;
    o.move = static_cast<std::int16_t>(move);
    o.point = static_cast<std::int16_t>(point);
  }
  return true;
}

constexpr auto kMaxCount = static_cast<size_t>(std::numeric_limits<std::int32_t>::max());

// What lets write copy the lists whole.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(PatternCandidate) == PatternCandidate::kBytes && std::is_trivially_copyable_v<PatternCandidate> &&
              offsetof(PatternCandidate, played) == 4 && offsetof(PatternCandidate, wins) == 8 &&
              offsetof(PatternCandidate, losses) == 12);
static_assert(sizeof(PatternOccurrence) == PatternOccurrence::kBytes &&
              std::is_trivially_copyable_v<PatternOccurrence> && offsetof(PatternOccurrence, move) == 4 &&
              offsetof(PatternOccurrence, point) == 6);

}  // namespace

void PatternEntry::insertCandidate(const PatternCandidate& candidate) {
  const auto at = std::find_if(candidates.begin(), candidates.end(), [&](const PatternCandidate& c) {
    return std::pair(c.played, c.wins) < std::pair(candidate.played, candidate.wins);
  });
  candidates.insert(at, candidate);
}

PatternCandidate PatternEntry::takeCandidate(Point point) {
  const auto it =
      std::find_if(candidates.begin(), candidates.end(), [&](const PatternCandidate& c) { return c.point == point; });
  if (it == candidates.end()) return PatternCandidate{point, 0, 0, 0};
  const PatternCandidate found = *it;
  candidates.erase(it);
  return found;
}

namespace {

constexpr Point kArea19 = 19 * 19;

// The kind whose forward turn of a 19 x 19 board undoes kind's (-1 outside 0..6).
int undoingKind19(int kind) {
  static const std::array<int, 7> undoing = [] {
    std::array<int, 7> u{};
    for (int k = 0; k < 7; ++k) {
      const Point* there = turnTable19(k, 19, 19);
      for (int back = 0; back < 7; ++back) {
        const Point* table = turnTable19(back, 19, 19);
        Point p = 0;
        while (p < kArea19 && table[there[p]] == p) ++p;
        if (p == kArea19) u[static_cast<size_t>(k)] = back;
      }
    }
    return u;
  }();
  return kind >= 0 && kind < 7 ? undoing[static_cast<size_t>(kind)] : -1;
}

}  // namespace

bool PatternEntry::transform(int kind, bool inverse) {
  // A 19 x 19 entry turns through the tables, with no board built and no point decoded: found
  // entries are turned back for every hint.
  const int forward = inverse ? undoingKind19(kind) : kind;
  if (const Point* table = forward >= 0 ? turnTable19(forward, snapshot.width, snapshot.height) : nullptr) {
    BoardSnapshot mapped;
    if (!turnSnapshot(forward, snapshot, mapped)) return false;
    snapshot = std::move(mapped);
    const auto image = [table](Point p) { return p >= 0 && p < kArea19 ? table[p] : kNoPoint; };
    for (auto& c : candidates) c.point = image(c.point);
    for (auto& o : occurrences) o.point = static_cast<std::int16_t>(image(o.point));
    return true;
  }
  const BoardTransform t(kind, snapshot.width, snapshot.height, inverse);
  BoardSnapshot mapped;
  if (!t.mapSnapshot(snapshot, mapped)) return false;
  snapshot = std::move(mapped);
  for (auto& c : candidates) c.point = t.mapPoint(c.point);
  for (auto& o : occurrences) o.point = static_cast<std::int16_t>(t.mapPoint(o.point));
  return true;
}

bool PatternEntry::readKey(ByteReader& in) {
  return snapshot.read(in) && in.readU8(side);
}

bool PatternEntry::readKey(BufferedFileReader& in) {
  // The snapshot's own reader works on bytes in memory: fetch its header, then exactly the points
  // the counts announce (checked against the file's length first).
  std::vector<std::uint8_t> bytes(16);
  std::int32_t counts[4];
  snapshot.points.clear();
  if (!in.readBytes(bytes.data(), bytes.size())) return false;
  std::memcpy(counts, bytes.data(), sizeof counts);
  if (counts[2] < 0 || counts[3] < 0) return false;
  const std::uint64_t pointBytes = 4 * (static_cast<std::uint64_t>(counts[2]) + static_cast<std::uint64_t>(counts[3]));
  if (pointBytes > in.remaining()) return false;
  bytes.resize(16 + static_cast<size_t>(pointBytes));
  if (!in.readBytes(bytes.data() + 16, static_cast<size_t>(pointBytes))) return false;
  ByteReader r(bytes);
  return snapshot.read(r) && in.readU8(side);
}

bool PatternEntry::readBody(ByteReader& in, PatternEntryForm form, EntryParts parts) {
  return readBodyFrom(in, form, parts, *this);
}

bool PatternEntry::readBody(BufferedFileReader& in, PatternEntryForm form, EntryParts parts) {
  return readBodyFrom(in, form, parts, *this);
}

bool PatternEntry::write(ByteWriter& out, PatternEntryForm form) const {
  if (candidates.size() > kMaxCount || occurrences.size() > kMaxCount) return false;
  if (form == PatternEntryForm::Warehouse ? text.size() > std::numeric_limits<std::uint16_t>::max()
                                          : text.size() > kMaxCount)
    return false;
  out.reserveMore((5 + snapshot.points.size() + 4 * candidates.size() + 2 * occurrences.size()) * 4 + 9 +
                  text.size());
  if (!snapshot.write(out)) return false;
  out.writeU8(side);
  // Candidates and occurrences lie in memory exactly as in their binary form (little-endian,
  // no padding): each list goes in one copy instead of field by field.
  out.writeI32(static_cast<std::int32_t>(candidates.size()));
  out.writeBytes(candidates.data(), candidates.size() * PatternCandidate::kBytes);
  if (form == PatternEntryForm::Warehouse) out.writeU16(static_cast<std::uint16_t>(text.size()));
  else out.writeI32(static_cast<std::int32_t>(text.size()));
  out.writeBytes(text.data(), text.size());
  out.writeI32(static_cast<std::int32_t>(occurrences.size()));
  out.writeBytes(occurrences.data(), occurrences.size() * PatternOccurrence::kBytes);
  return true;
}

}  // namespace mh
