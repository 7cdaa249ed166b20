#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "model/board_snapshot.h"
#include "platform/growing_pages.h"

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

// Entry numbers by print: the smallest number for each print, in open addressing. A lookup that
// misses proves that no entry has that print. Prints are kept per number, so a number's print can
// be checked against the one looked up.
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
  // The smallest number recorded with print, or -1.
  std::int32_t find(std::uint64_t print) const;
  // Starts fetching what a find of print reads first; finds that follow at once then overlap.
  void prefetch(std::uint64_t print) const {
    if (seen_.empty()) return;
    __builtin_prefetch(&seen_[seenBit(print) / 64]);
  }
  // Starts fetching the first slot of print as well: what a find that passes the bit reads next,
  // and where an append of print goes.
  void prefetchSlot(std::uint64_t print) const {
    if (slots_.empty()) return;
    __builtin_prefetch(&slots_[static_cast<size_t>(print) & (slots_.size() - 1)]);
  }
  size_t count() const { return prints_.size(); }
  // The print recorded with number (below count()).
  std::uint64_t print(size_t number) const { return prints_[number]; }
  // Bytes held, for memory accounting.
  size_t bytes() const {
    return prints_.bytes() + slots_.capacity() * sizeof(std::int32_t) + seen_.capacity() * sizeof(std::uint64_t);
  }

 private:
  void grow();
  void place(std::int32_t number);
  size_t seenBit(std::uint64_t print) const;

  GrowingPages<std::uint64_t> prints_;  // by number
  std::vector<std::int32_t> slots_;    // power-of-two table of numbers, -1 empty
  // One bit per print seen, 16 bits a slot: a clear bit proves a print absent in one read.
  std::vector<std::uint64_t> seen_;
};

}  // namespace mh
