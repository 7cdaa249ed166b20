#include "platform/decimal_text.h"

#include <charconv>
#include <cmath>

namespace mh {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The length of the decimal number at the start of text (sign, digits, fraction, exponent), 0
// when there is none. Unlike from_chars alone, this refuses "inf", "nan" and hexadecimal forms.
size_t numberLength(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

// Reads the number of numberLength's length; nothing when it is out of range.
std::optional<double> readNumber(std::string_view number) {
  bool negative = false;
  if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
    negative = number.front() == '-';
    number.remove_prefix(1);
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

std::string_view trimLeft(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  return text;
}

}  // namespace

std::string fixedDecimal(double value, int decimals) {
  if (!std::isfinite(value)) return "0";
  char buffer[400];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return "0";
  return std::string(buffer, end);
}

double leadingDecimal(std::string_view text) {
  text = trimLeft(text);
  return readNumber(text.substr(0, numberLength(text))).value_or(0.0);
}

std::optional<double> parseDecimal(std::string_view text) {
  text = trimLeft(text);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  const size_t length = numberLength(text);
  if (length == 0 || length != text.size()) return std::nullopt;
  return readNumber(text);
}

}  // namespace mh
