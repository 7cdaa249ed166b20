#include "model/game_info.h"

#include <algorithm>
#include <cstring>

namespace mh {

std::string GameInfo::text(Field field) const {
  const auto* begin = reinterpret_cast<const char*>(bytes_.data() + field.offset);
  const auto* end = begin + field.size;
  return std::string(begin, std::find(begin, end, '\0'));
}

bool GameInfo::setText(Field field, std::string_view value, size_t limit) {
  std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(field.offset), field.size, std::uint8_t{0});
  const size_t max = (limit == 0 || limit > field.size) ? field.size : limit;
  if (value.size() >= max || value.find('\0') != std::string_view::npos) return false;
  std::memcpy(bytes_.data() + field.offset, value.data(), value.size());
  return true;
}

std::int32_t GameInfo::winner() const {
  std::int32_t w = 0;
  std::memcpy(&w, bytes_.data() + kWinnerOffset, sizeof w);
  return w;
}

void GameInfo::setWinner(std::int32_t winner) { std::memcpy(bytes_.data() + kWinnerOffset, &winner, sizeof winner); }

}  // namespace mh
