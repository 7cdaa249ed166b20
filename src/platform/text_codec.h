#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mh::text {

// Conversions between the system's GB text (code page 936) and the other encodings it meets.
// Every function takes and returns whole strings, never fails, keeps an empty string empty and
// writes "?" for each character that has no form in the target. Safe to call from any thread.
// BIG5 is code page 950 with the common extension of its user-defined range C6A1-C8FE (kana,
// Cyrillic, numbers in circles, symbols; platform/big5_extension.h), so that a Japanese or Russian
// name in a BIG5 record keeps its letters.

// GB bytes to UTF-8 (for the screen and the command line). Bytes that are not valid GB become
// U+FFFD.
std::string gbToUtf8(std::string_view gb);
// UTF-8 to GB (typed text, UTF-8 game records). Invalid UTF-8 and characters GB lacks become "?".
std::string utf8ToGb(std::string_view utf8);

// GB to BIG5 for display: simplified to traditional forms (the text staying GB), GB decoded to
// Unicode, then encoded as BIG5.
std::string gbToBig5(std::string_view gb);
// BIG5 to GB for input: BIG5 decoded to Unicode, encoded as GB, then traditional to simplified
// forms.
std::string big5ToGb(std::string_view big5);
// As big5ToGb, from another traditional-Chinese charset (an ICU converter name, such as the
// Hong Kong extension of BIG5).
std::string big5ToGb(std::string_view big5, const std::string& charset);

// BIG5 bytes to UTF-8 (what BIG5 text looks like on the screen), and UTF-8 to BIG5 (typed text
// on a BIG5 system). Characters the target lacks become "?".
std::string big5ToUtf8(std::string_view big5);
std::string utf8ToBig5(std::string_view utf8);

// Record text (GB) as a window shows it, in UTF-8: decoded from GB, or, when the interface shows
// BIG5, converted GB to BIG5 first, so that characters without a BIG5 form show "?".
std::string displayText(std::string_view gb, bool displayInBig5);
// Text typed into a window (UTF-8) as record text (GB): encoded as GB, or, when the interface
// shows BIG5, encoded as BIG5 and converted BIG5 to GB.
std::string typedText(std::string_view utf8, bool displayInBig5);

// Character-form mapping on GB text, using the system's conversion tables. Characters the
// mapped form cannot be written in GB become "?".
std::string simplifiedToTraditional(std::string_view gb);
std::string traditionalToSimplified(std::string_view gb);

// The ICU converter name for a charset name or alias (any letter case), or nothing when ICU knows
// no such charset or the charset does not write ASCII as ASCII (EBCDIC, UTF-16, UTF-7): text in
// such a charset cannot have been found by reading bytes as ASCII.
std::optional<std::string> asciiCompatibleCharset(std::string_view name);

// Text in a charset (an ICU converter name, UTF-16 and UTF-32 included) as UTF-8. A byte sequence
// that is invalid, or that stands for no character (a code page's user-defined area included),
// becomes U+FFFD, so it converts to "?" like every character GB lacks.
std::string decodeToUtf8(std::string_view bytes, const std::string& charset);

// What ICU's charset detector makes of some bytes: a charset (ICU's name, such as "EUC-KR") and
// its confidence, 0 to 100.
struct CharsetMatch {
  std::string name;
  int confidence = 0;
};
// Every charset the detector finds possible, the most confident first.
std::vector<CharsetMatch> detectCharsets(std::string_view bytes);

// True when the bytes are entirely well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);

// A file name as the file system holds it, shown as UTF-8: kept when it is valid UTF-8, else read
// as GB (names written by programs that store GB bytes).
std::string fileNameToUtf8(std::string_view name);
// True when the bytes hold at least one byte with bit 7 set.
bool hasHighBytes(std::string_view bytes);

}  // namespace mh::text
