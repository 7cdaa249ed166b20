#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/game_record.h"
#include "platform/parse_error.h"

namespace mh {

// Reads a GIB game record: "\[KEY=VALUE\]" header lines up to a "\HE" line, then "STO" move
// lines. The board is always 19 x 19. Malformed lines are skipped; moves of colour 0 (neither
// player) are left out of the record.
//
// GIB files declare no charset. The text is converted to GB as a whole before it is read, from
// the charset RecordText decides: a byte-order mark, UTF-8, a detected Korean or Japanese
// charset, else the user's BIG5 or GB choice. Header values are cut at their separators only
// outside two-byte characters.
class GibFile {
 public:
  // big5Choice: read a file whose charset is not otherwise known as BIG5 rather than GB.
  explicit GibFile(bool big5Choice = false) : big5_(big5Choice) {}

  // Lines are read in pieces of at most this many bytes, a longer line as several pieces.
  static constexpr size_t kLineBuffer = 900;
  // Text holding more header entries and moves than this, together, is refused: each costs far
  // more memory than its line, and no real record comes near it.
  static constexpr size_t kMaxParts = 1u << 20;

  // Empties the record and the header, then reads the file. True when a "\HE" line was seen;
  // false when the path is not a readable regular file or has no "\HE" line, and (record and
  // header then empty) when the text holds too many parts. On failure, error (when given) says
  // why and where.
  [[nodiscard]] bool read(const std::string& path, ParseError* error = nullptr);
  // As read, on text already in memory, with a limit of parts that may be lower.
  [[nodiscard]] bool parse(std::string_view text, ParseError* error = nullptr, size_t maxParts = kMaxParts);

  // Copies the record into target and gives the winner code of GAMERESULT (0 when absent).
  [[nodiscard]] bool toRecord(GameRecord& target, int& resultCode) const;

  // The value of the first header entry whose key matches exactly (case-sensitive), or nothing.
  const std::string* header(std::string_view key) const;
  const GameRecord& record() const { return record_; }

 private:
  void parseLine(std::string_view line, bool& inMoves);
  void fillInfo();

  GameRecord record_;
  std::vector<std::string> keys_;
  std::vector<std::string> values_;
  int winner_ = 0;
  bool big5_;
};

}  // namespace mh
