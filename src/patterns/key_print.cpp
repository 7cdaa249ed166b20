#include "patterns/key_print.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <new>

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

// Two 64-bit sums side by side, added as one (wrapping, as the sums do one by one).
// Read straight from a line of keys, hence may_alias.
using KeyPair = std::uint64_t __attribute__((vector_size(16), may_alias));

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
  // The eight sums go in pairs, two to a vector register: a stone's line of keys is then four
  // loads and four adds, where one sum at a time took a load and an add in memory each.
  static_assert(sizeof(StoneKeys19::Keys) == 4 * sizeof(KeyPair) && offsetof(StoneKeys19::Keys, plain) == 56 &&
                alignof(StoneKeys19::Keys) >= alignof(KeyPair));
  const KeyPair start = {head, head};
  KeyPair s0 = start, s1 = start, s2 = start, s3 = start;
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
    const auto* line = reinterpret_cast<const KeyPair*>(&keys.keys[i < blacks ? 0 : 1][p]);
    s0 += line[0];
    s1 += line[1];
    s2 += line[2];
    s3 += line[3];
  }
  const KeyPair sums[4] = {s0, s1, s2, s3};
  for (size_t j = 0; j < 4; ++j) {
    prints[2 * j] = nonZero(sums[j][0]);
    prints[2 * j + 1] = nonZero(sums[j][1]);
  }
}

void StonePrints::reset(const BoardSnapshot& s) {
  sums_.fill(0);
  usable_ = s.width == kSide && s.height == kSide && s.writable();
  const auto blacks = static_cast<size_t>(std::max(s.blackCount, 0));
  for (size_t i = 0; usable_ && i < s.points.size(); ++i) add(s.points[i], i < blacks ? Black : White);
}

void StonePrints::add(Point p, int colour) {
  if (!onBoard19(p) || (colour != Black && colour != White)) {
    usable_ = false;
    return;
  }
  const StoneKeys19::Keys& k = stoneKeys19().keys[colour - Black][p];
  for (int kind = 0; kind < 7; ++kind) sums_[static_cast<size_t>(kind)] += k.kinds[kind];
  sums_[7] += k.plain;
}

void StonePrints::prints(const BoardSnapshot& s, int side, std::array<std::uint64_t, 8>& out) const {
  const std::uint64_t head = headKey(s, side);
  for (size_t kind = 0; kind < 8; ++kind) out[kind] = nonZero(head + sums_[kind]);
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
  count_ = 0;
  prints_.clear();
  whole_ = true;
  slots_.release();
  seen_.release();
  numberBits_ = 32;
  tagMask_ = 0;
}

void KeyPrintTable::reserve(size_t count, size_t room) {
  prints_.reserve(std::max(count, room));
  // Two thirds full at most, so that appends do not lay the slots out again at once.
  const size_t want = roundedSize(count / 2 * 3 + 1);
  if (slots_.size() * 3 < count * 4) layOut(want);
}

size_t KeyPrintTable::roundedSize(size_t size) { return std::max<size_t>(64, (size + 63) / 64 * 64); }

void KeyPrintTable::grow() { layOut(slots_.size() == 0 ? 1024 : roundedSize(slots_.size() / 2 * 3)); }

void KeyPrintTable::layOut(size_t size) {
  // The old slots go first: all prints are placed again anyway, and holding both tables at once
  // would add half again to the largest table a build holds.
  slots_.release();
  seen_.release();
  if (!slots_.allocate(size) || !seen_.allocate(size / kSlotsAWord)) throw std::bad_alloc();
  // Numbers up to the slot count fit (the table is never full); the bits left carry the tag.
  numberBits_ = std::min(32u, static_cast<unsigned>(std::bit_width(size)));
  tagMask_ = numberBits_ >= 32 ? 0 : ~std::uint32_t{0} << numberBits_;
  // Spilled pages are read back in order into a buffer of their own: a check in place may use
  // the window.
  std::unique_ptr<std::uint64_t[]> buffer;
  constexpr size_t kPage = decltype(prints_)::pageItems();
  constexpr size_t kAhead = 16;
  for (size_t p = 0; p * kPage < count_; ++p) {
    const std::uint64_t* prints = prints_.page(p, buffer);
    if (!prints) {
      // These prints can no longer be found, so a miss no longer proves anything.
      whole_ = false;
      continue;
    }
    const size_t items = std::min(kPage, count_ - p * kPage);
    for (size_t i = 0; i < items; ++i) {
      if (i + kAhead < items) {
        prefetchSlot(prints[i + kAhead]);
        prefetch(prints[i + kAhead]);
      }
      place(static_cast<std::int32_t>(p * kPage + i), prints[i]);
    }
  }
}

void KeyPrintTable::place(std::int32_t number, std::uint64_t print) {
  if (print == 0) return;
  seen_[seenWord(print)] |= seenMask(print);
  size_t i = slotOf(print);
  while (slots_[i] != 0) i = nextSlot(i);
  slots_[i] = tagOf(print) | static_cast<std::uint32_t>(number + 1);
}

bool KeyPrintTable::print(size_t number, std::uint64_t& out) const {
  return number < count_ && prints_.at(number, out);
}

void KeyPrintTable::push(std::uint64_t print) {
  prints_.push_back(print);
  ++count_;
}

void KeyPrintTable::append(std::uint64_t print) {
  push(print);
  // At most three quarters full: probes stay short.
  if (count_ * 4 > slots_.size() * 3) grow();
  else place(static_cast<std::int32_t>(count_ - 1), print);
}

void KeyPrintTable::append(std::span<const std::uint64_t> prints) {
  reserve(count_ + prints.size());
  const size_t first = count_;
  for (std::uint64_t print : prints) push(print);
  constexpr size_t kAhead = 16;
  for (size_t i = 0; i < prints.size(); ++i) {
    if (i + kAhead < prints.size()) {
      prefetchSlot(prints[i + kAhead]);
      prefetch(prints[i + kAhead]);
    }
    place(static_cast<std::int32_t>(first + i), prints[i]);
  }
}

std::int32_t KeyPrintTable::find(std::uint64_t print) const {
  if (print == 0 || slots_.size() == 0) return -1;
  // Most looked-up prints are not there: one filter word answers that without walking the slots.
  if (!maybeSeen(print)) return -1;
  const std::uint32_t tag = tagOf(print);
  for (size_t i = slotOf(print);; i = nextSlot(i)) {
    const std::uint32_t slot = slots_[i];
    if (slot == 0) return -1;
    if ((slot & tagMask_) == tag) return numberIn(slot);
  }
}

bool KeyPrintTable::findExact(std::uint64_t print, std::int32_t& number) const {
  number = -1;
  if (!whole_) return false;
  if (print == 0 || slots_.size() == 0) return true;
  if (!maybeSeen(print)) return true;
  const std::uint32_t tag = tagOf(print);
  for (size_t i = slotOf(print);; i = nextSlot(i)) {
    const std::uint32_t slot = slots_[i];
    if (slot == 0) return true;
    if ((slot & tagMask_) != tag) continue;
    std::uint64_t other = 0;
    if (!prints_.one(static_cast<size_t>(numberIn(slot)), other)) return false;
    if (other == print) {
      number = numberIn(slot);
      return true;
    }
  }
}

}  // namespace mh
