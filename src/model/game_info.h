#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mh {

// The 656-byte game information block, held as its exact byte image: the game-record index copies
// its first 354 bytes byte for byte, so the layout is the stored one. Texts are NUL-terminated GB
// byte strings; unused bytes are zero. The winner is a signed 32-bit little-endian integer.
class GameInfo {
 public:
  static constexpr size_t kSize = 656;

  // A text field: its offset and size in the block.
  struct Field {
    size_t offset;
    size_t size;
  };
  static constexpr Field kGameName{0, 100};
  static constexpr Field kBlackName{100, 50};
  static constexpr Field kBlackRank{150, 10};
  static constexpr Field kWhiteName{160, 50};
  static constexpr Field kWhiteRank{210, 10};
  static constexpr Field kRules{220, 100};
  static constexpr size_t kWinnerOffset = 320;
  static constexpr Field kResultText{324, 332};
  // The result text is kept only when shorter than this many bytes.
  static constexpr size_t kResultTextLimit = 30;

  enum Winner : std::int32_t { NoWinner = 0, BlackWins = 1, WhiteWins = 2 };

  // The text up to the first NUL (or the whole field when it has none).
  std::string text(Field field) const;
  // Stores the text when it is shorter than limit bytes (the field size by default) and has no
  // NUL; otherwise the field is left empty. Returns whether the text was stored.
  bool setText(Field field, std::string_view value, size_t limit = 0);

  std::int32_t winner() const;
  void setWinner(std::int32_t winner);

  std::string gameName() const { return text(kGameName); }
  std::string blackName() const { return text(kBlackName); }
  std::string blackRank() const { return text(kBlackRank); }
  std::string whiteName() const { return text(kWhiteName); }
  std::string whiteRank() const { return text(kWhiteRank); }
  std::string rules() const { return text(kRules); }
  std::string resultText() const { return text(kResultText); }

  void clear() { bytes_.fill(0); }
  const std::array<std::uint8_t, kSize>& bytes() const { return bytes_; }
  std::array<std::uint8_t, kSize>& bytes() { return bytes_; }

  friend bool operator==(const GameInfo&, const GameInfo&) = default;

 private:
  std::array<std::uint8_t, kSize> bytes_{};
};

}  // namespace mh
