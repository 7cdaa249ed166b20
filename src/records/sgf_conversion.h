#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/game_record.h"
#include "model/sgf_node.h"
#include "records/sgf_file.h"

namespace mh {

// Conversions between an SGF tree and a GameRecord. Every function returns true on success.

// Largest board side an SGF file may declare.
inline constexpr int kMaxSgfBoardSide = 52;

// Fills the record from the tree: root GN/PB/BR/PW/WR/RU/RE into the information, SZ (19 x 19
// when missing or unreadable), root AB/AW onto the initial position, and one entry per main-line
// node, each with a copy of its node's properties:
//   - B (tested first) or W with a two-letter value is a move; letters off the board, or an
//     empty value, are a pass;
//   - AB/AW make a setup entry (flags 3 with a move, 2 without);
//   - a node with neither (a comment or marks only) is a setup entry with no stones.
// Fails for a size outside 1..52 on either side and for a move value that is neither empty nor
// two letters. On failure the record is partly filled and should be discarded.
[[nodiscard]] bool sgfToRecord(const SgfNode& root, GameRecord& record);
// The same from the tree at root of a layout, with no properties kept in the entries: what an index
// or a pattern library takes from a record.
[[nodiscard]] bool sgfToRecord(const SgfLayout& layout, std::int32_t root, GameRecord& record);

// Clears the root and writes the record as one main line: RE when a result code is given ("0",
// "B+", "W+", or an empty value for other codes), SZ, the initial position as AB/AW, then one
// node per entry with its move and setup stones. Entries with neither, and the properties kept
// with each entry, are not written. A root holding non-ASCII text also gets CA[GBK], so that the
// file is not mistaken for UTF-8 when read back.
[[nodiscard]] bool recordToSgf(const GameRecord& record, std::optional<int> resultCode, SgfNode& root);

// recordToSgf with the room's player names as PB and PW first (each only when not empty).
[[nodiscard]] bool roomToSgf(const GameRecord& record, std::string_view blackName, std::string_view whiteName,
                             std::optional<int> resultCode, SgfNode& root);

// The winner code and result text that an RE value stands for.
struct SgfResult {
  int winner = 0;
  std::string text;
};
SgfResult parseSgfResult(std::string_view value);

// The RE value a save writes for the information: its result text (a margin, "W+R", a count's
// "winner  margin") when the winner is Black or White and the text reads back as that winner;
// otherwise the winner code's own form ("0", "B+", "W+").
std::string sgfResultValue(const GameInfo& info);

// Writes the record to path as the room's save does (roomToSgf), with the player names and the
// result (sgfResultValue) of the record's own information, in GB or (for programs that read
// nothing else) UTF-8. False when the file cannot be written.
[[nodiscard]] bool saveRecordAsSgf(const GameRecord& record, const std::string& path,
                                   SgfEncoding encoding = SgfEncoding::Gb);

// The file name of the export, in the program's directory.
inline constexpr const char* kDefaultSgfName = "default.sgf";

// Writes the record (no result code) to default.sgf in the given directory (with or without a
// trailing "/"). True on success.
[[nodiscard]] bool exportDefaultSgf(const GameRecord& record, const std::string& directory);

}  // namespace mh
