#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/board_snapshot.h"
#include "platform/paged_array.h"
#include "platform/spilled_pages.h"

namespace mh {

// A 64-bit fingerprint of a library key (snapshot and side to move). Equal keys always have equal
// prints, so a print that no entry has rules a key out without reading any entry. The print is a
// sum over the stones, independent of their order, so the print of a turned position comes from
// mapping its points, without building and sorting the turned snapshot.
std::uint64_t keyPrintOf(const BoardSnapshot& snapshot, int side);

// The print of the snapshot turned through symmetry kind 0..6 (forwards), as keyPrintOf would
// give for the turned snapshot. False when a point leaves the board under the turn (the turned
// position does not exist).
bool turnedKeyPrint(const BoardSnapshot& snapshot, int side, int kind, std::uint64_t& print);

// The prints of all seven turns and of the position as it stands, in one pass over the stones:
// prints[kind] as turnedKeyPrint gives it, or 0 where it gives false, and prints[7] as
// keyPrintOf gives it.
void keyPrints(const BoardSnapshot& snapshot, int side, std::array<std::uint64_t, 8>& prints);

// The eight prints of keyPrints for a 19 x 19 position built up a stone at a time (the global
// adder's board between captures): each stone added costs one look-up, so the prints of every
// position on the way come without a pass over all its stones.
class StonePrints {
 public:
  // Starts again from the stones of snapshot.
  void reset(const BoardSnapshot& snapshot);
  // Adds one stone of colour (Black or White) at p.
  void add(Point p, int colour);
  // Whether prints can answer: every stone lay on a 19 x 19 board.
  bool usable() const { return usable_; }
  // The prints keyPrints gives for snapshot, which must hold exactly the stones reset and added
  // (only its counts and size are read), with side to move. Only while usable().
  void prints(const BoardSnapshot& snapshot, int side, std::array<std::uint64_t, 8>& out) const;

 private:
  std::array<std::uint64_t, 8> sums_{};
  bool usable_ = false;
};

// Entry numbers by print, in open addressing: a find meets the smallest number of each print
// first. A lookup that misses proves that no entry has that print.
//
// Memory holds only the slots and a bit filter, 6 to 9 bytes an entry. A slot is 32 bits: the
// number in the low bits, as many as the slot count needs, and a tag of the print in the rest
// (10 bits at 3 million entries, 7 at 20 million, 5 at 100 million). The full prints go, a page
// at a time, to an unnamed scratch file once spillTo is called (they stay in memory where no such
// file can be made). Placing prints again when the slots grow reads them back in order. A find
// compares tags only: the number it gives is almost always that of the print sought, and
// findExact settles the rare case where it is not by reading the full prints.
class KeyPrintTable {
 public:
  void clear();
  // Sizes the table for count prints at once, with room for the prints of room numbers.
  void reserve(size_t count, size_t room = 0);
  // Records number (the next number, counting from 0) with its print. A print of 0 stands for an
  // entry whose key could not be read: it is kept but never found.
  void append(std::uint64_t print);
  // The same for many numbers in a row; their slots are fetched ahead, so that placing millions
  // of prints read from a file does not wait on memory one print after another.
  void append(std::span<const std::uint64_t> prints);
  // The smallest number whose print has print's tag among those that may have print, or -1 when
  // no entry has print. Mostly the number of print itself (see findExact).
  std::int32_t find(std::uint64_t print) const;
  // The smallest number recorded with exactly print, or -1. False when a full print it needs
  // cannot be read back.
  [[nodiscard]] bool findExact(std::uint64_t print, std::int32_t& number) const;
  // Starts fetching what a find of print reads first; finds that follow at once then overlap.
  void prefetch(std::uint64_t print) const {
    if (seen_.size() == 0) return;
    __builtin_prefetch(&seen_[seenWord(print)]);
  }
  // Starts fetching the first slot of print as well: what a find that passes the filter reads next,
  // and where an append of print goes.
  void prefetchSlot(std::uint64_t print) const {
    if (slots_.size() == 0) return;
    __builtin_prefetch(&slots_[slotOf(print)]);
  }
  size_t count() const { return count_; }
  // The print recorded with number (below count()); false when it cannot be read back. Reads in
  // number order are served by one read a page.
  [[nodiscard]] bool print(size_t number, std::uint64_t& out) const;
  // False once the slots had to be laid out without some print that could not be read back:
  // from then on a miss proves nothing.
  bool whole() const { return whole_; }
  // Whether two prints carry the same tag in the slots as laid out now (a find of one may name
  // the other's number).
  bool sameTag(std::uint64_t a, std::uint64_t b) const { return tagOf(a) == tagOf(b); }

  // From now on, full pages of prints go to a file without a name in directory (those already
  // full go at once). False, nothing changed, when no such file can be made there.
  [[nodiscard]] bool spillTo(const std::string& directory) { return prints_.spillTo(directory); }
  // Pages of full prints held in memory.
  size_t pagesHeld() const { return prints_.pagesHeld(); }
  // Bytes held, for memory accounting.
  size_t bytes() const {
    return prints_.bytes() + slots_.size() * sizeof(std::uint32_t) + seen_.size() * sizeof(std::uint64_t);
  }

 private:
  // A print's first slot: its low half scaled to the slots, so that the table can grow by half
  // rather than double (a doubled table stands three eighths full right after it grows).
  size_t slotOf(std::uint64_t print) const {
    return static_cast<size_t>((std::uint64_t{static_cast<std::uint32_t>(print)} * slots_.size()) >> 32);
  }
  size_t nextSlot(size_t i) const { return i + 1 == slots_.size() ? 0 : i + 1; }
  // The tag bits of a slot for print: the lowest bits of its high half, which neither the slot
  // nor the filter word depends on.
  std::uint32_t tagOf(std::uint64_t print) const {
    return (static_cast<std::uint32_t>(print >> 32) << (numberBits_ & 31)) & tagMask_;
  }
  // The number a filled slot holds (a slot of 0 is empty).
  std::int32_t numberIn(std::uint32_t slot) const { return static_cast<std::int32_t>((slot & ~tagMask_) - 1); }
  // A slot count: a multiple of 64, so that the filter holds whole words.
  static size_t roundedSize(size_t size);
  void grow();
  // Lays out the slots anew for size entries and places every print again.
  void layOut(size_t size);
  // Puts number in the first free slot from print's own: an equal print placed before stays
  // ahead of it on every walk, so finds still meet the smallest number first.
  void place(std::int32_t number, std::uint64_t print);
  // Stores number count()'s print without placing it.
  void push(std::uint64_t print);
  // The filter word of print: its high half scaled to the words held, independent of the low
  // half that picks the slot.
  size_t seenWord(std::uint64_t print) const {
    return static_cast<size_t>(((print >> 32) * seen_.size()) >> 32);
  }
  // Two bits of that word, from the print's lowest twelve bits (which barely move the slot).
  static std::uint64_t seenMask(std::uint64_t print) {
    return std::uint64_t{1} << (print & 63) | std::uint64_t{1} << (print >> 6 & 63);
  }
  bool maybeSeen(std::uint64_t print) const {
    const std::uint64_t mask = seenMask(print);
    return (seen_[seenWord(print)] & mask) == mask;
  }

  size_t count_ = 0;
  // Full prints by number, read back a page at a time.
  SpilledPages<std::uint64_t> prints_;
  bool whole_ = true;
  // Number + 1 in the low numberBits_ bits, the tag above; 0 empty. Mapped memory of its own, so
  // that the slots of a table laid out again go back to the system at once.
  PagedArray<std::uint32_t> slots_;
  unsigned numberBits_ = 32;
  std::uint32_t tagMask_ = 0;
  // A filter of 4 bits a slot, two bits set in one word for each print seen: a clear bit proves
  // a print absent in one read. It lets through about 5 % of absent prints at the table's fill;
  // each of those costs a walk of the slots, which their tags keep to one cache line and which
  // rarely names an entry. Twice the bits let through about 2 %, for a byte a slot.
  static constexpr size_t kSlotsAWord = 16;
  PagedArray<std::uint64_t> seen_;
};

}  // namespace mh
