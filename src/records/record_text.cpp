#include "records/record_text.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <iterator>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/text_codec.h"

namespace mh {

namespace {

constexpr const char* kGbReading = "GBK";

// A charset name as ICU compares them: letter case, "-", "_" and spaces do not count.
std::string comparable(std::string_view name) {
  std::string out;
  for (const char c : name)
    if (c != '-' && c != '_' && c != ' ') out += ascii::toUpper(c);
  return out;
}

// Names that ICU does not know, or knows as a converter other than the one records written
// under that name need: the Korean names all mean the Unified Hangul Code (a superset of
// EUC-KR that Korean programs write under either name), CP950 means Windows' BIG5.
struct Alias {
  const char* name;
  const char* converter;
};
constexpr Alias kAliases[] = {
    {"UHC", "windows-949-2000"},    {"CP949", "windows-949-2000"}, {"MS949", "windows-949-2000"},
    {"EUCKR", "windows-949-2000"},  {"CP950", "windows-950-2000"}, {"MS950", "windows-950-2000"},
};

// The ICU converter for a declared or detected charset name, or nothing.
std::optional<std::string> lookUpConverter(std::string_view name) {
  const std::string key = comparable(name);
  for (const Alias& a : kAliases)
    if (key == a.name) return std::string(a.converter);
  return text::asciiCompatibleCharset(name);
}

// As lookUpConverter, remembering the last few names on each thread: a collection declares the
// same charset file after file, and opening an ICU converter to check a name costs more than
// parsing a record.
std::optional<std::string> converterFor(std::string_view name) {
  struct Known {
    std::string name;
    std::optional<std::string> converter;
  };
  thread_local std::vector<Known> known;
  for (const Known& k : known)
    if (k.name == name) return k.converter;
  auto converter = lookUpConverter(name);
  // Few names are ever met; a file of odd ones must not make the list long.
  if (known.size() >= 8) known.erase(known.begin());
  known.push_back({std::string(name), converter});
  return converter;
}

bool isAnyOf(const std::string& converter, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (converter == n) return true;
  return false;
}

// The converters of GB2312, GBK and CP936, GB18030: text read as GB bytes.
bool isGbFamily(const std::string& converter) {
  return isAnyOf(converter, {"windows-936-2000", "ibm-1383_P110-1999", "ibm-1386_P100-2001", "gb18030"});
}

// The converters of BIG5, CP950 and BIG5 with the Hong Kong extension.
bool isBig5Family(const std::string& converter) {
  return isAnyOf(converter, {"windows-950-2000", "ibm-950_P110-1999", "ibm-1373_P100-2002", "ibm-1375_P100-2008"});
}

bool isAsciiOnly(const std::string& converter) { return isAnyOf(converter, {"US-ASCII"}); }

// True when GB18030 text holds a four-byte character (a lead byte, then a digit), which the
// program's GB (code page 936) cannot hold as it stands.
bool hasFourByteGb18030(std::string_view text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x81 || lead == 0xFF) continue;
    const char next = text[i + 1];
    if (next >= '0' && next <= '9') return true;
    ++i;
  }
  return false;
}

// Calls f with each code point of valid UTF-8 text.
template <typename F>
void forEachCodePoint(std::string_view utf8, F f) {
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
    for (int k = 1; k < length && i + static_cast<size_t>(k) < utf8.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]) & 0x3F);
    f(c);
    i += static_cast<size_t>(length);
  }
}

bool isHangulSyllable(char32_t c) { return c >= 0xAC00 && c <= 0xD7A3; }
bool isHan(char32_t c) { return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF); }
bool isKana(char32_t c) { return c >= 0x3041 && c <= 0x30FA; }
bool isHalfWidthKana(char32_t c) { return c >= 0xFF61 && c <= 0xFF9F; }
// What a wrong decoding leaves: the replacement character, and control characters.
bool isUndecodable(char32_t c) { return c == 0xFFFD || (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c >= 0x7F && c < 0xA0); }

// The Hangul syllables that make up most Korean text and names, and the words of Go records.
// Text in another charset decoded as Korean gives syllables spread over all 2,350 of
// KS X 1001, most of them rare.
const std::bitset<0xD7A4 - 0xAC00>& commonSyllables() {
  static const auto table = [] {
    std::bitset<0xD7A4 - 0xAC00> bits;
    forEachCodePoint(
        "가각간갈감갑강개객거건걸검것게겠겨격견결경계고곡곤골공과곽관광괴교구국군권귀규균"
        "그극근글금급기긴길김까께꼬꽃끝나낙난날남납낭내냐너넘네넷녀년념녕노녹논농놓뇌누눈"
        "뉴느는늘능니님다단달담답당대더덕던덤데도독돈돌동됐되된될두둑둔둘둬뒤드득든들등디"
        "따때떤떻또뚜라락란람랑래량러런럼렇레려력련렬령례로록론롱뢰료루류륙륜률륭르른를름"
        "릉리린림립마막만말망매맹머먼메며면명모목몰못묘무묵문물미민밀밑바박반받발밤방배백"
        "버번벌범법벽변별병보복본봉부북분불붕비빈빛사삭산살삼상새색생서석선설섬성세셋셨소"
        "속손송쇠수숙순술숭쉬스슬습승시식신실심십싸쌍써쓰씨아악안알암압앙애액야약양어억언"
        "얼엄업없었에여역연열염엽영옆예오옥온올옹와완왕왜외요욕용우욱운울웅원월위유육윤율"
        "융은을음읍응의이익인일임입있자작잔잘잡장재쟁저적전절점접정제젬져조족존졸좀종좋좌"
        "죠주죽준줄중즉지직진질집징쪽차착찬찰참창채책처척천철첨청체초촌총최추축춘출충취측"
        "층치칙친칠침카칸커컵케코쿠크큰키타탁탄탈탑태택터토통퇴투트특티팀파판팔패퍼페편평"
        "폐포표푸풍프피필하학한할함합항해핵했행향허헌험혁현혈협형혜호혹혼홍화확환활황회획"
        "효후훈훌휘휴흑흔흥희히힘",
        [&](char32_t c) {
          if (isHangulSyllable(c)) bits.set(c - 0xAC00);
        });
    return bits;
  }();
  return table;
}

// Korean text: Hangul syllables, four in five of them common ones, and few Chinese characters
// (names in Hanja beside their Hangul).
bool readsAsKorean(std::string_view utf8) {
  int syllables = 0, common = 0, han = 0, undecodable = 0;
  forEachCodePoint(utf8, [&](char32_t c) {
    if (isHangulSyllable(c)) {
      ++syllables;
      if (commonSyllables().test(c - 0xAC00)) ++common;
    } else if (isHan(c)) {
      ++han;
    } else if (isUndecodable(c)) {
      ++undecodable;
    }
  });
  return undecodable == 0 && syllables >= 4 && han * 4 <= syllables && common * 5 >= syllables * 4;
}

// Japanese text in Shift_JIS: kana and Chinese characters, and no half-width kana, which GB and
// BIG5 text decoded as Shift_JIS is full of (their lead bytes are half-width kana there).
bool readsAsJapanese(std::string_view utf8) {
  int japanese = 0, undecodable = 0;
  forEachCodePoint(utf8, [&](char32_t c) {
    if (isKana(c) || isHan(c)) ++japanese;
    else if (isUndecodable(c) || isHalfWidthKana(c)) ++undecodable;
  });
  return undecodable == 0 && japanese >= 4;
}

// The charsets detection may choose, as ICU's detector names them. EUC-JP is left out: its kana
// have the very bytes of GB's kana, so a GB record with a Japanese player's name in kana reads
// as EUC-JP to the detector, with full confidence, and its Chinese characters tell the two apart
// only by their frequencies. Such files need their CA.
struct DetectedCharset {
  const char* name;
  bool escapes;  // a 7-bit charset of escape sequences, which no GB or BIG5 text resembles
  bool (*readsAs)(std::string_view utf8);  // the language check of the other ones
};
constexpr DetectedCharset kDetectable[] = {
    {"EUC-KR", false, readsAsKorean},
    {"ISO-2022-KR", true, nullptr},
    {"Shift_JIS", false, readsAsJapanese},
    {"ISO-2022-JP", true, nullptr},
};

// How much of a record detection looks at: the players, the game and the first comments stand
// near its start, and a file of hundreds of megabytes must not be decoded twice for a guess.
constexpr size_t kDetectionSample = 64u << 10;

// The start of the text, at most kDetectionSample bytes, cut after a byte below 0x40: no
// multi-byte character of the charsets detected has such a byte, so none is cut in two.
std::string_view detectionSample(std::string_view text) {
  if (text.size() <= kDetectionSample) return text;
  size_t end = kDetectionSample;
  while (end > 0 && static_cast<unsigned char>(text[end - 1]) >= 0x40) --end;
  return text.substr(0, end > 0 ? end : kDetectionSample);
}

// The converters of kDetectable, looked up once: asking ICU costs more than a record's checks.
const std::array<std::optional<std::string>, std::size(kDetectable)>& detectableConverters() {
  static const auto converters = [] {
    std::array<std::optional<std::string>, std::size(kDetectable)> found;
    for (size_t i = 0; i < std::size(kDetectable); ++i) found[i] = converterFor(kDetectable[i].name);
    return found;
  }();
  return converters;
}

bool isControl(unsigned char c) { return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F; }

// What the language checks need decoded of a sample: from its first byte above 0x7F up to and
// including the byte after its last one. The ASCII bytes around that stand alone in each
// charset checked (no character of two bytes starts among them, and decoding starts afresh
// after them), so they decode to the same characters wherever the decoding starts, and such
// characters count in the checks only when they are control characters, which fail both. A
// sample with a control character around that part, or with no byte above 0x7F, is decoded
// whole.
std::string_view languagePart(std::string_view text) {
  const auto high = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
  const auto first = std::find_if(text.begin(), text.end(), high);
  if (first == text.end()) return text;
  const size_t begin = static_cast<size_t>(first - text.begin());
  const size_t last = text.size() - 1 - static_cast<size_t>(std::find_if(text.rbegin(), text.rend(), high) - text.rbegin());
  const size_t end = std::min(last + 2, text.size());
  const auto control = [](char c) { return isControl(static_cast<unsigned char>(c)); };
  if (std::any_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(begin), control) ||
      std::any_of(text.begin() + static_cast<std::ptrdiff_t>(end), text.end(), control))
    return text;
  return text.substr(begin, end - begin);
}

// The converter of a Korean or Japanese charset that ICU's detector names with confidence and
// that the text, decoded in it, reads as; nothing otherwise. The language checks come first:
// they cost one decoding, the detector many times that, and GB or BIG5 text fails them.
std::optional<std::string> detectKoreanOrJapanese(std::string_view whole) {
  const std::string_view text = detectionSample(whole);
  const std::string_view checked = languagePart(text);
  const bool escapes = text.find('\x1B') != std::string_view::npos;
  std::vector<std::pair<const char*, std::string>> plausible;  // ICU's name, the converter
  for (size_t i = 0; i < std::size(kDetectable); ++i) {
    const DetectedCharset& d = kDetectable[i];
    const auto& converter = detectableConverters()[i];
    if (converter && (d.escapes ? escapes : d.readsAs(text::decodeToUtf8(checked, *converter))))
      plausible.emplace_back(d.name, *converter);
  }
  if (plausible.empty()) return std::nullopt;
  for (const text::CharsetMatch& match : text::detectCharsets(text)) {
    if (match.confidence < kDetectorConfidence) break;  // best first
    for (const auto& [name, converter] : plausible)
      if (match.name == name) return converter;
  }
  return std::nullopt;
}

struct ByteOrderMark {
  std::string_view bytes;
  const char* charset;
};
// UTF-32 first: its little-endian mark begins with UTF-16's.
constexpr ByteOrderMark kMarks[] = {
    {{"\xFF\xFE\x00\x00", 4}, "UTF-32LE"}, {{"\x00\x00\xFE\xFF", 4}, "UTF-32BE"},
    {{"\xFF\xFE", 2}, "UTF-16LE"},         {{"\xFE\xFF", 2}, "UTF-16BE"},
};
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

RecordText::RecordText(std::string_view bytes, bool big5Choice, const DeclaredCharset& declared) : text_(bytes) {
  decide(bytes, big5Choice, declared);
}

void RecordText::decide(std::string_view bytes, bool big5Choice, const DeclaredCharset& declared) {
  for (const ByteOrderMark& mark : kMarks) {
    if (bytes.substr(0, mark.bytes.size()) != mark.bytes) continue;
    text_ = bytes.substr(mark.bytes.size());
    decodeAs(mark.charset);
    return;
  }
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    text_ = bytes.substr(kUtf8Mark.size());
    if (text::isValidUtf8(text_)) return readAs(RecordTextForm::Utf8, "UTF-8");
  }

  if (declared) {
    const std::string name = declared(text_);
    if (const auto converter = name.empty() ? std::nullopt : converterFor(name); converter && !isAsciiOnly(*converter)) {
      if (*converter == "gb18030" && hasFourByteGb18030(text_)) return decodeAs(*converter);
      if (isGbFamily(*converter)) return readAs(RecordTextForm::Gb, kGbReading);
      if (isBig5Family(*converter)) return readAs(RecordTextForm::Big5, *converter);
      if (*converter == "UTF-8") return readAs(RecordTextForm::Utf8, "UTF-8");
      return decodeAs(*converter);
    }
  }

  const bool high = text::hasHighBytes(text_);
  if (high && text::isValidUtf8(text_)) return readAs(RecordTextForm::Utf8, "UTF-8");
  if (high || text_.find('\x1B') != std::string_view::npos)
    if (const auto converter = detectKoreanOrJapanese(text_)) return decodeAs(*converter);
  if (big5Choice) return readAs(RecordTextForm::Big5, "windows-950-2000");
  return readAs(RecordTextForm::Gb, kGbReading);
}

void RecordText::readAs(RecordTextForm form, std::string charset) {
  form_ = form;
  charset_ = std::move(charset);
}

void RecordText::decodeAs(const std::string& charset) {
  decoded_ = text::decodeToUtf8(text_, charset);
  readAs(RecordTextForm::Utf8, charset);
}

std::string RecordText::valueToGb(std::string_view value) const {
  switch (form_) {
    case RecordTextForm::Gb: return std::string(value);
    case RecordTextForm::Big5: return text::big5ToGb(value, charset_);
    case RecordTextForm::Utf8: return text::utf8ToGb(value);
  }
  return std::string(value);
}

}  // namespace mh
