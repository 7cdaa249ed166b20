#include "patterns/key_print.h"

#include <algorithm>
#include <array>

#include "model/board_transform.h"

namespace mh {

namespace {

constexpr std::uint64_t mix(std::uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

std::uint64_t stoneKey(Point p, int colour) {
  return mix((static_cast<std::uint64_t>(static_cast<std::uint32_t>(p)) << 2) | static_cast<std::uint64_t>(colour));
}

std::uint64_t headKey(const BoardSnapshot& s, int side) {
  std::uint64_t h = mix(0x5151ULL ^ (static_cast<std::uint64_t>(static_cast<std::uint32_t>(s.width)) << 32) ^
                        static_cast<std::uint32_t>(s.height));
  h = mix(h ^ (static_cast<std::uint64_t>(static_cast<std::uint32_t>(s.blackCount)) << 32) ^
          static_cast<std::uint32_t>(s.whiteCount));
  return mix(h ^ static_cast<std::uint64_t>(side & 0xff));
}

constexpr int kSide = 19;
constexpr int kPoints = kSide * kSide;

std::uint64_t nonZero(std::uint64_t print) { return print == 0 ? 1 : print; }

// The stone keys of a 19 x 19 board looked up instead of mixed: for each colour and point, the
// key of the point itself and of its image under each of the seven turns. A build takes the
// seven turned prints of every position it meets, so this is its innermost loop.
// The eight keys of a stone fill one 64-byte line, so taking all eight prints reads one line a
// stone.
struct StoneKeys19 {
  struct alignas(64) Keys {
    std::uint64_t kinds[7];
    std::uint64_t plain;
  };
  Keys keys[2][kPoints];

  StoneKeys19() {
    for (int colour = Black; colour <= White; ++colour) {
      for (Point p = 0; p < kPoints; ++p) {
        keys[colour - Black][p].plain = stoneKey(p, colour);
        for (int kind = 0; kind < 7; ++kind)
          keys[colour - Black][p].kinds[kind] = stoneKey(turnTable19(kind, kSide, kSide)[p], colour);
      }
    }
  }
};

const StoneKeys19& stoneKeys19() {
  static const StoneKeys19 keys;
  return keys;
}

bool onBoard19(Point p) { return p >= 0 && p < kPoints; }

}  // namespace

std::uint64_t keyPrintOf(const BoardSnapshot& s, int side) {
  std::uint64_t sum = headKey(s, side);
  const size_t blacks = s.blackCount < 0 ? 0 : static_cast<size_t>(s.blackCount);
  const StoneKeys19& keys = stoneKeys19();
  for (size_t i = 0; i < s.points.size(); ++i) {
    const Point p = s.points[i];
    const int colour = i < blacks ? Black : White;
    sum += onBoard19(p) ? keys.keys[colour - Black][p].plain : stoneKey(p, colour);
  }
  return nonZero(sum);
}

void keyPrints(const BoardSnapshot& s, int side, std::array<std::uint64_t, 8>& prints) {
  if (s.width != kSide || s.height != kSide) {
    for (int kind = 0; kind < 7; ++kind)
      if (!turnedKeyPrint(s, side, kind, prints[static_cast<size_t>(kind)])) prints[static_cast<size_t>(kind)] = 0;
    prints[7] = keyPrintOf(s, side);
    return;
  }
  const std::uint64_t head = headKey(s, side);
  std::uint64_t sums[8] = {head, head, head, head, head, head, head, head};
  const size_t blacks = s.blackCount < 0 ? 0 : static_cast<size_t>(s.blackCount);
  const StoneKeys19& keys = stoneKeys19();
  for (size_t i = 0; i < s.points.size(); ++i) {
    const Point p = s.points[i];
    if (!onBoard19(p)) {
      // A stone off the board has no turned image; the print as it stands is taken the long way.
      prints.fill(0);
      prints[7] = keyPrintOf(s, side);
      return;
    }
    const StoneKeys19::Keys& k = keys.keys[i < blacks ? 0 : 1][p];
    for (int kind = 0; kind < 7; ++kind) sums[kind] += k.kinds[kind];
    sums[7] += k.plain;
  }
  for (int kind = 0; kind < 8; ++kind) prints[static_cast<size_t>(kind)] = nonZero(sums[kind]);
}

bool turnedKeyPrint(const BoardSnapshot& s, int side, int kind, std::uint64_t& print) {
  std::uint64_t sum = headKey(s, side);
  const size_t blacks = s.blackCount < 0 ? 0 : static_cast<size_t>(s.blackCount);
  if (s.width == kSide && s.height == kSide && kind >= 0 && kind < 7) {
    const StoneKeys19& keys = stoneKeys19();
    for (size_t i = 0; i < s.points.size(); ++i) {
      const Point p = s.points[i];
      if (!onBoard19(p)) return false;
      sum += keys.keys[i < blacks ? 0 : 1][p].kinds[kind];
    }
  } else {
    const BoardTransform t(kind, s.width, s.height);
    for (size_t i = 0; i < s.points.size(); ++i) {
      const Point q = t.mapPoint(s.points[i]);
      if (q < 0) return false;
      sum += stoneKey(q, i < blacks ? Black : White);
    }
  }
  print = nonZero(sum);
  return true;
}

void KeyPrintTable::clear() {
  prints_.clear();
  slots_.clear();
  slots_.shrink_to_fit();
  seen_.clear();
  seen_.shrink_to_fit();
}

size_t KeyPrintTable::seenBit(std::uint64_t print) const {
  // The high bits, independent of the low bits that pick the slot.
  return static_cast<size_t>(print >> 32) & (seen_.size() * 64 - 1);
}

void KeyPrintTable::reserve(size_t count, size_t room) {
  prints_.reserve(std::max(count, room));
  size_t want = 16;
  while (want * 3 < count * 4) want *= 2;
  if (slots_.size() < want) {
    slots_ = {};
    seen_ = {};
    slots_.assign(want, -1);
    seen_.assign(want / 4, 0);
    for (size_t n = 0; n < prints_.size(); ++n) place(static_cast<std::int32_t>(n));
  }
}

void KeyPrintTable::grow() {
  const size_t size = slots_.empty() ? 1024 : slots_.size() * 2;
  // The old slots go first: all prints are placed again anyway, and holding both tables at once
  // would add half again to the largest table a build holds.
  slots_ = {};
  seen_ = {};
  slots_.assign(size, -1);
  seen_.assign(size / 4, 0);
  for (size_t n = 0; n < prints_.size(); ++n) place(static_cast<std::int32_t>(n));
}

void KeyPrintTable::place(std::int32_t number) {
  const std::uint64_t print = prints_[static_cast<size_t>(number)];
  if (print == 0) return;
  const size_t bit = seenBit(print);
  seen_[bit / 64] |= std::uint64_t{1} << (bit % 64);
  const size_t mask = slots_.size() - 1;
  for (size_t i = static_cast<size_t>(print) & mask;; i = (i + 1) & mask) {
    const std::int32_t at = slots_[i];
    if (at < 0) {
      slots_[i] = number;
      return;
    }
    // Numbers arrive in ascending order, so the first one placed for a print is the smallest.
    if (prints_[static_cast<size_t>(at)] == print) return;
  }
}

void KeyPrintTable::append(std::uint64_t print) {
  prints_.push_back(print);
  // At most three quarters full: probes stay short and the table costs about 6 bytes an entry.
  if (prints_.size() * 4 > slots_.size() * 3) grow();
  else place(static_cast<std::int32_t>(prints_.size() - 1));
}

void KeyPrintTable::append(std::span<const std::uint64_t> prints) {
  reserve(prints_.size() + prints.size());
  const size_t first = prints_.size();
  for (std::uint64_t print : prints) prints_.push_back(print);
  constexpr size_t kAhead = 16;
  const size_t mask = slots_.size() - 1;
  for (size_t n = first; n < prints_.size(); ++n) {
    if (n + kAhead < prints_.size()) {
      const std::uint64_t ahead = prints_[n + kAhead];
      __builtin_prefetch(&slots_[static_cast<size_t>(ahead) & mask]);
      prefetch(ahead);
    }
    place(static_cast<std::int32_t>(n));
  }
}

std::int32_t KeyPrintTable::find(std::uint64_t print) const {
  if (print == 0 || slots_.empty()) return -1;
  // Most looked-up prints are not there: one bit answers that without walking the slots.
  const size_t bit = seenBit(print);
  if ((seen_[bit / 64] >> (bit % 64) & 1) == 0) return -1;
  const size_t mask = slots_.size() - 1;
  for (size_t i = static_cast<size_t>(print) & mask;; i = (i + 1) & mask) {
    const std::int32_t at = slots_[i];
    if (at < 0) return -1;
    if (prints_[static_cast<size_t>(at)] == print) return at;
  }
}

}  // namespace mh
