#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/game_info.h"
#include "platform/byte_io.h"

namespace mh {

// One game of a game-record index, held as its exact 662-byte stored image. Bytes 0..353 are the
// first 354 bytes of the record's GameInfo, copied as they are (names, ranks, rules, winner, the
// first 30 bytes of the result text). Then come the relative file name (300 bytes, NUL-terminated),
// the record's move count and the entry's number when it was added, both signed 32-bit.
//
// The relative name holds the file system's bytes of the path below the collection directory, so
// that the file can be opened again; on this platform these are normally UTF-8.
class GameIndexEntry {
 public:
  static constexpr size_t kSize = 662;
  static constexpr size_t kInfoBytes = 354;
  static constexpr GameInfo::Field kResultText{324, 30};
  static constexpr GameInfo::Field kRelativeName{354, 300};
  static constexpr size_t kMoveCountOffset = 654;
  static constexpr size_t kNumberOffset = 658;

  // Fills the whole image. False, entry left all zero, when the relative name is empty, holds a
  // NUL, or does not fit its field with its terminator: such a file could not be found again.
  [[nodiscard]] bool assign(const GameInfo& info, std::string_view relativeName, std::int32_t moveCount,
                            std::int32_t number);

  // A text field up to its first NUL (the whole field when it has none).
  std::string text(GameInfo::Field field) const { return std::string(textView(field)); }
  // The same, as a view into the entry's bytes.
  std::string_view textView(GameInfo::Field field) const;
  std::string gameName() const { return text(GameInfo::kGameName); }
  std::string blackName() const { return text(GameInfo::kBlackName); }
  std::string blackRank() const { return text(GameInfo::kBlackRank); }
  std::string whiteName() const { return text(GameInfo::kWhiteName); }
  std::string whiteRank() const { return text(GameInfo::kWhiteRank); }
  std::string rules() const { return text(GameInfo::kRules); }
  std::string resultText() const { return text(kResultText); }
  std::string relativeName() const { return text(kRelativeName); }
  std::int32_t winner() const { return int32At(GameInfo::kWinnerOffset); }
  // The stored move count; a negative stored value reads as 0.
  std::int32_t moveCount() const;
  std::int32_t number() const { return int32At(kNumberOffset); }

  // True when game name, both players' names and ranks, and the move count are all equal: the
  // two records may be copies of one file.
  bool sameGameAs(const GameIndexEntry& other) const;

  [[nodiscard]] bool read(ByteReader& in) { return in.readBytes(bytes_.data(), kSize); }
  void write(ByteWriter& out) const { out.writeBytes(bytes_.data(), kSize); }

  const std::array<std::uint8_t, kSize>& bytes() const { return bytes_; }
  std::array<std::uint8_t, kSize>& bytes() { return bytes_; }

  friend bool operator==(const GameIndexEntry&, const GameIndexEntry&) = default;

 private:
  std::int32_t int32At(size_t offset) const;
  void setInt32At(size_t offset, std::int32_t value);

  std::array<std::uint8_t, kSize> bytes_{};
};

}  // namespace mh
