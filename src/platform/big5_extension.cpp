#include "platform/big5_extension.h"

#include <array>
#include <cstdint>
#include <unordered_map>

namespace mh::text {

namespace {

constexpr char16_t kFirstPrivateUse = 0xF6B1;  // C6A1
constexpr char16_t kLastPrivateUse = 0xF848;   // C8FE

// Runs of consecutive codes that hold consecutive characters; no run crosses from 7E to A1.
struct Run {
  std::uint16_t code;  // the first BIG5 code
  char16_t first;      // its character
  std::uint8_t count;
};

constexpr Run kRuns[] = {
    {0xC6A1, 0x2460, 10},  // circled digits one to ten
    {0xC6AB, 0x2474, 10},  // parenthesised digits one to ten
    {0xC6B5, 0x2170, 10},  // small Roman numerals one to ten
    {0xC6BF, 0x4E36, 1},   {0xC6C0, 0x4E3F, 1},  {0xC6C1, 0x4E85, 1},  {0xC6C2, 0x4EA0, 1},  // radicals
    {0xC6C3, 0x5182, 1},   {0xC6C4, 0x5196, 1},  {0xC6C5, 0x51AB, 1},  {0xC6C6, 0x52F9, 1},
    {0xC6C7, 0x5338, 1},   {0xC6C8, 0x5369, 1},  {0xC6C9, 0x53B6, 1},  {0xC6CA, 0x590A, 1},
    {0xC6CB, 0x5B80, 1},   {0xC6CC, 0x5DDB, 1},  {0xC6CD, 0x2F33, 1},  {0xC6CE, 0x5E7F, 1},
    {0xC6CF, 0x5EF4, 1},   {0xC6D0, 0x5F50, 1},  {0xC6D1, 0x5F61, 1},  {0xC6D2, 0x6534, 1},
    {0xC6D3, 0x65E0, 1},   {0xC6D4, 0x7592, 1},  {0xC6D5, 0x7676, 1},  {0xC6D6, 0x8FB5, 1},
    {0xC6D7, 0x96B6, 1},
    {0xC6D8, 0x00A8, 1},   {0xC6D9, 0x02C6, 1},  {0xC6DA, 0x30FD, 2},  // iteration marks
    {0xC6DC, 0x309D, 2},   {0xC6E0, 0x3005, 3},  {0xC6E3, 0x30FC, 1},  {0xC6E4, 0xFF3B, 1},
    {0xC6E5, 0xFF3D, 1},   {0xC6E6, 0x273D, 1},
    {0xC6E7, 0x3041, 24},  // hiragana
    {0xC740, 0x3059, 59},  //
    {0xC77B, 0x30A1, 4},   // katakana
    {0xC7A1, 0x30A5, 82},  //
    {0xC7F3, 0x0410, 6},   // Cyrillic capitals, Ё after Е
    {0xC7F9, 0x0401, 1},   {0xC7FA, 0x0416, 5},  {0xC840, 0x041B, 27},
    {0xC85B, 0x0451, 1},   {0xC85C, 0x0436, 26},  // Cyrillic small letters, ё after е
    {0xC876, 0x21E7, 1},   {0xC877, 0x21B8, 2},  {0xC879, 0x31CF, 1},  // arrows, a stroke
    {0xC8CD, 0xFFE2, 1},   {0xC8CE, 0xFFE4, 1},  {0xC8CF, 0xFF07, 1},  {0xC8D0, 0xFF02, 1},
    {0xC8D1, 0x3231, 1},   {0xC8D2, 0x2116, 1},  {0xC8D3, 0x2121, 1},  {0xC8D4, 0x309B, 2},
    {0xC8F5, 0x0283, 1},   {0xC8F6, 0x0250, 1},  {0xC8F7, 0x025B, 1},  {0xC8F8, 0x0254, 1},  // phonetic
    {0xC8F9, 0x0275, 1},   {0xC8FA, 0x0153, 1},  {0xC8FB, 0x00F8, 1},  {0xC8FC, 0x014B, 1},
    {0xC8FD, 0x028A, 1},   {0xC8FE, 0x026A, 1},
};

// The private-use character code page 950 decodes a code of C6A1-C8FE to.
constexpr char16_t privateUseOf(std::uint16_t code) {
  const int lead = code >> 8;
  const int trail = code & 0xFF;
  const int column = trail < 0x7F ? trail - 0x40 : trail - 0xA1 + 63;
  return static_cast<char16_t>(kFirstPrivateUse + (lead - 0xC6) * 157 + column - 63);
}

struct Tables {
  std::array<char16_t, kLastPrivateUse - kFirstPrivateUse + 1> characters{};
  std::unordered_map<char16_t, char16_t> privateUse;

  Tables() {
    for (const Run& r : kRuns)
      for (int i = 0; i < r.count; ++i) {
        const char16_t pua = privateUseOf(static_cast<std::uint16_t>(r.code + i));
        const auto c = static_cast<char16_t>(r.first + i);
        characters[pua - kFirstPrivateUse] = c;
        privateUse.emplace(c, pua);
      }
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

}  // namespace

char16_t big5ExtensionCharacter(char16_t privateUse) {
  if (privateUse < kFirstPrivateUse || privateUse > kLastPrivateUse) return 0;
  const char16_t c = tables().characters[privateUse - kFirstPrivateUse];
  return c != 0 ? c : u'?';
}

char16_t big5ExtensionPrivateUse(char16_t character) {
  const auto& map = tables().privateUse;
  const auto it = map.find(character);
  return it == map.end() ? 0 : it->second;
}

}  // namespace mh::text
