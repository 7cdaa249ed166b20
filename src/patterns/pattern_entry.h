#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/board_snapshot.h"
#include "patterns/pattern_candidate.h"
#include "patterns/pattern_occurrence.h"
#include "platform/buffered_file_reader.h"
#include "platform/byte_io.h"

namespace mh {

// The two binary forms of an entry. They differ only in the text length: signed 32-bit in the
// data file (a length below 1 means no text), unsigned 16-bit in a warehouse value.
enum class PatternEntryForm { DataFile, Warehouse };

// What a read of an entry fills in: all of it, or all but the occurrences (which are checked to
// fit the bytes that remain and left empty). A position's hint labels need only its candidates,
// while the occurrences of a position met in every game run to megabytes.
enum class EntryParts { Whole, WithoutOccurrences };

// One stored position of a pattern library (the key: snapshot and side to move) with the moves
// played from it and where it was met. Candidates stay sorted by played, then wins, both
// descending; occurrences stay in the order they were recorded.
struct PatternEntry {
  BoardSnapshot snapshot;
  std::uint8_t side = 0;  // colour to move: 1 black, 2 white
  std::vector<PatternCandidate> candidates;
  std::string text;  // GB bytes; empty from the builders, kept by every form
  std::vector<PatternOccurrence> occurrences;

  // Inserts after every candidate whose (played, wins) is greater than or equal to its own.
  void insertCandidate(const PatternCandidate& candidate);
  // Removes and returns the candidate for point, or a zero-count candidate for it when absent.
  PatternCandidate takeCandidate(Point point);

  // Turns the entry through symmetry kind 0..6 (inverse when asked) of its snapshot's board: the
  // snapshot, every candidate point and every occurrence point. Points that leave the board (and
  // a pass) become -1. False, entry unchanged, when the snapshot cannot be mapped.
  [[nodiscard]] bool transform(int kind, bool inverse);

  // Reads the key (snapshot and side) only; the body can follow with readBody.
  [[nodiscard]] bool readKey(ByteReader& in);
  [[nodiscard]] bool readKey(BufferedFileReader& in);
  // Reads candidates, text and occurrences (or not the occurrences, see EntryParts). Negative
  // counts and counts that need more bytes than remain are rejected before anything is allocated.
  [[nodiscard]] bool readBody(ByteReader& in, PatternEntryForm form, EntryParts parts = EntryParts::Whole);
  [[nodiscard]] bool readBody(BufferedFileReader& in, PatternEntryForm form, EntryParts parts = EntryParts::Whole);
  [[nodiscard]] bool read(ByteReader& in, PatternEntryForm form) { return readKey(in) && readBody(in, form); }
  [[nodiscard]] bool read(BufferedFileReader& in, PatternEntryForm form) {
    return readKey(in) && readBody(in, form);
  }
  // Appends the form; fails, writing nothing, when the snapshot's counts disagree with its points,
  // a list is too long for its count field, or (warehouse form) the text exceeds 65535 bytes.
  [[nodiscard]] bool write(ByteWriter& out, PatternEntryForm form) const;

  friend bool operator==(const PatternEntry&, const PatternEntry&) = default;
};

}  // namespace mh
