#include "model/sgf_value.h"

#include <charconv>

namespace mh::sgf {

namespace {
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
}  // namespace

std::string_view trim(std::string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> splitAtColons(std::string_view text) {
  std::vector<std::string_view> pieces;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ':') ++i;
    const size_t start = i;
    while (i < text.size() && text[i] != ':') ++i;
    if (i > start) pieces.push_back(text.substr(start, i - start));
  }
  return pieces;
}

std::optional<Coord> parseCoord(std::string_view text) {
  text = trim(text);
  if (text.size() != 2) return std::nullopt;
  return Coord{static_cast<unsigned char>(text[0]) - 'a', static_cast<unsigned char>(text[1]) - 'a'};
}

std::string pointText(Point p, int width) {
  if (width <= 0 || p < 0) return {};
  return coordText({p % width, p / width});
}

std::string coordText(Coord c) {
  return {static_cast<char>('a' + c.x), static_cast<char>('a' + c.y)};
}

std::string passText(int width) { return width <= 19 ? "tt" : "ZZ"; }

std::optional<int> parseInt(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

}  // namespace mh::sgf
