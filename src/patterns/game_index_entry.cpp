#include "patterns/game_index_entry.h"

#include <algorithm>
#include <cstring>

namespace mh {

bool GameIndexEntry::assign(const GameInfo& info, std::string_view relativeName, std::int32_t moveCount,
                            std::int32_t number) {
  bytes_.fill(0);
  if (relativeName.empty() || relativeName.size() >= kRelativeName.size ||
      relativeName.find('\0') != std::string_view::npos)
    return false;
  std::memcpy(bytes_.data(), info.bytes().data(), kInfoBytes);
  std::memcpy(bytes_.data() + kRelativeName.offset, relativeName.data(), relativeName.size());
  setInt32At(kMoveCountOffset, std::max<std::int32_t>(moveCount, 0));
  setInt32At(kNumberOffset, number);
  return true;
}

std::string_view GameIndexEntry::textView(GameInfo::Field field) const {
  if (field.offset >= kSize) return {};
  const size_t size = std::min(field.size, kSize - field.offset);
  const auto* first = reinterpret_cast<const char*>(bytes_.data() + field.offset);
  const void* nul = std::memchr(first, 0, size);
  return {first, nul ? static_cast<size_t>(static_cast<const char*>(nul) - first) : size};
}

std::int32_t GameIndexEntry::moveCount() const { return std::max<std::int32_t>(int32At(kMoveCountOffset), 0); }

bool GameIndexEntry::sameGameAs(const GameIndexEntry& other) const {
  return moveCount() == other.moveCount() && gameName() == other.gameName() && blackName() == other.blackName() &&
         blackRank() == other.blackRank() && whiteName() == other.whiteName() && whiteRank() == other.whiteRank();
}

std::int32_t GameIndexEntry::int32At(size_t offset) const {
  std::int32_t v = 0;
  std::memcpy(&v, bytes_.data() + offset, sizeof v);
  return v;
}

void GameIndexEntry::setInt32At(size_t offset, std::int32_t value) {
  std::memcpy(bytes_.data() + offset, &value, sizeof value);
}

}  // namespace mh
