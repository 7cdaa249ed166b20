#pragma once

namespace mh::text {

// The common extension of BIG5 in the range C6A1-C8FE, which code page 950 leaves to user-defined
// characters: numbers in circles and brackets, small Roman numerals, radicals, Japanese kana,
// Cyrillic and a few symbols. Code page 950 decodes that range to the private-use characters U+F6B1-U+F848 in
// order (157 codes a row: 40-7E, then A1-FE); these functions translate between such a private-use
// character and the character the extension puts there.

// The extension's character for a private-use character of that range, "?" for one the extension
// leaves empty (a private-use character would show as an empty box), 0 outside the range.
char16_t big5ExtensionCharacter(char16_t privateUse);
// The private-use character whose BIG5 code the extension gives to a character; 0 when none.
char16_t big5ExtensionPrivateUse(char16_t character);

}  // namespace mh::text
