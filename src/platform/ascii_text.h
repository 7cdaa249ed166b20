#pragma once

#include <string>
#include <string_view>

namespace mh::ascii {

// Letter-case helpers that touch only A-Z and a-z, so GB bytes pass through unchanged.
inline char toUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string toUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = toUpper(c);
  return out;
}

inline std::string toLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (toUpper(a[i]) != toUpper(b[i])) return false;
  return true;
}

inline bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace mh::ascii
