#include "platform/text_codec.h"

#include "platform/big5_extension.h"

#include <opencc/opencc.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucsdet.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

namespace mh::text {

namespace {

// Writes U+FFFD for every byte sequence that is invalid or has no Unicode form. (ICU's own
// substitution writes U+001A for some code pages, a control character that would pass for text.)
void replaceUndecodable(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                        UConverterCallbackReason reason, UErrorCode* err) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close, clone: nothing to write
  *err = U_ZERO_ERROR;
  const UChar replacement = 0xFFFD;
  ucnv_cbToUWriteUChars(args, &replacement, 1, 0, err);
}

// One ICU converter per code page and thread: converters keep state and are not thread-safe.
class CodePage {
 public:
  // strict: undecodable bytes and user-defined characters decode to U+FFFD.
  explicit CodePage(const char* name, bool strict = false) : strict_(strict) {
    UErrorCode err = U_ZERO_ERROR;
    conv_ = ucnv_open(name, &err);
    if (U_FAILURE(err)) {
      conv_ = nullptr;
      return;
    }
    err = U_ZERO_ERROR;
    ucnv_setSubstChars(conv_, "?", 1, &err);
    if (strict_) {
      err = U_ZERO_ERROR;
      ucnv_setToUCallBack(conv_, replaceUndecodable, nullptr, nullptr, nullptr, &err);
    }
  }
  ~CodePage() {
    if (conv_) ucnv_close(conv_);
  }
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  bool valid() const { return conv_ != nullptr; }

  std::u16string decode(std::string_view bytes) {
    std::u16string out;
    if (bytes.empty() || !conv_) return out;
    out.resize(bytes.size() * 2 + 2);
    for (int attempt = 0; attempt < 2; ++attempt) {
      ucnv_reset(conv_);
      UErrorCode err = U_ZERO_ERROR;
      const int32_t n = ucnv_toUChars(conv_, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                                      bytes.data(), static_cast<int32_t>(bytes.size()), &err);
      if (err == U_BUFFER_OVERFLOW_ERROR && attempt == 0) {
        out.resize(static_cast<size_t>(n) + 1);
        continue;
      }
      if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING) return std::u16string(bytes.size(), u'?');
      out.resize(static_cast<size_t>(n));
      break;
    }
    if (strict_)
      for (char16_t& c : out)
        if (c >= 0xE000 && c <= 0xF8FF) c = 0xFFFD;  // user-defined: means nothing outside its code page
    return out;
  }

  // As decode, to UTF-8, a piece at a time: a long text never needs its whole UTF-16 form.
  std::string decodeToUtf8(std::string_view bytes);

  std::string encode(std::u16string_view text) {
    std::string out;
    if (text.empty() || !conv_) return out;
    ucnv_reset(conv_);
    out.resize(text.size() * 4 + 4);
    UErrorCode err = U_ZERO_ERROR;
    int32_t n = ucnv_fromUChars(conv_, out.data(), static_cast<int32_t>(out.size()),
                                reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()), &err);
    if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING) return std::string(text.size(), '?');
    out.resize(static_cast<size_t>(n));
    return out;
  }

 private:
  UConverter* conv_ = nullptr;
  bool strict_;
};

CodePage& gbCodePage() {
  thread_local CodePage page("windows-936-2000");
  return page;
}

CodePage& big5CodePage() {
  thread_local CodePage page("windows-950-2000");
  return page;
}

// BIG5 with the common extension of the user-defined range C6A1-C8FE: code page 950 decodes that
// range to private-use characters, which become the extension's characters, or "?" where the
// extension has none (a private-use character would show as an empty box). Everything else is
// decoded as code page 950 decodes it.
std::u16string decodeBig5(std::string_view bytes) {
  std::u16string text = big5CodePage().decode(bytes);
  for (char16_t& c : text)
    if (const char16_t e = big5ExtensionCharacter(c)) c = e;
  return text;
}

// Characters that code page 950 cannot encode but the extension holds are written with the
// extension's codes; code page 950's own codes are kept.
std::string encodeBig5(std::u16string text) {
  for (char16_t& c : text) {
    const char16_t pua = big5ExtensionPrivateUse(c);
    if (pua != 0 && big5CodePage().encode(std::u16string_view(&c, 1)) == "?") c = pua;
  }
  return big5CodePage().encode(text);
}

// The converter of this thread for a charset, opened on first use.
CodePage& namedCodePage(const std::string& charset, bool strict) {
  thread_local std::map<std::pair<std::string, bool>, std::unique_ptr<CodePage>> pages;
  auto& page = pages[{charset, strict}];
  if (!page) page = std::make_unique<CodePage>(charset.c_str(), strict);
  return *page;
}

std::u16string fromUtf8(std::string_view utf8) {
  std::u16string out;
  if (utf8.empty()) return out;
  out.resize(utf8.size() + 1);
  int32_t length = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length, utf8.data(),
                       static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &err);
  if (U_FAILURE(err)) return std::u16string(utf8.size(), u'?');
  out.resize(static_cast<size_t>(length));
  return out;
}

std::string toUtf8(std::u16string_view text) {
  std::string out;
  if (text.empty()) return out;
  out.resize(text.size() * 3 + 1);
  int32_t length = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, reinterpret_cast<const UChar*>(text.data()),
                     static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &err);
  if (U_FAILURE(err)) return std::string(text.size(), '?');
  out.resize(static_cast<size_t>(length));
  return out;
}

std::string CodePage::decodeToUtf8(std::string_view bytes) {
  std::string out;
  if (bytes.empty() || !conv_) return out;
  ucnv_reset(conv_);
  // A piece no longer than the text needs: most texts are a few kilobytes, and filling a
  // 128 KiB piece for each cost more than decoding it. A longer decoding goes on piece by piece.
  thread_local std::u16string piece;
  piece.resize(std::min(bytes.size() + 2, size_t{1} << 16));
  const char* source = bytes.data();
  const char* const end = bytes.data() + bytes.size();
  size_t carried = 0;  // a high surrogate kept for the next piece
  for (;;) {
    UChar* target = reinterpret_cast<UChar*>(piece.data()) + carried;
    UChar* const start = reinterpret_cast<UChar*>(piece.data());
    UErrorCode err = U_ZERO_ERROR;
    ucnv_toUnicode(conv_, &target, start + piece.size(), &source, end, nullptr, true, &err);
    if (U_FAILURE(err) && err != U_BUFFER_OVERFLOW_ERROR) return std::string(bytes.size(), '?');
    size_t n = static_cast<size_t>(target - start);
    if (strict_)
      for (size_t i = carried; i < n; ++i)
        if (piece[i] >= 0xE000 && piece[i] <= 0xF8FF) piece[i] = 0xFFFD;  // user-defined: no meaning here
    const bool more = err == U_BUFFER_OVERFLOW_ERROR;
    carried = more && n > 0 && piece[n - 1] >= 0xD800 && piece[n - 1] <= 0xDBFF ? 1 : 0;
    out += toUtf8(std::u16string_view(piece).substr(0, n - carried));
    if (!more) break;
    if (carried) piece[0] = piece[n - 1];
  }
  return out;
}

// The character-form tables, loaded once. The directory can be moved with MOONHAVEN_OPENCC_DIR;
// without tables the mapping leaves text unchanged rather than failing.
class FormMapper {
 public:
  explicit FormMapper(const char* config) {
    std::string dir = "/usr/share/opencc/";
    if (const char* env = std::getenv("MOONHAVEN_OPENCC_DIR"); env && *env) dir = std::string(env) + "/";
    handle_ = opencc_open((dir + config).c_str());
    if (handle_ == reinterpret_cast<opencc_t>(-1)) handle_ = opencc_open(config);
  }
  ~FormMapper() {
    if (valid()) opencc_close(handle_);
  }
  FormMapper(const FormMapper&) = delete;
  FormMapper& operator=(const FormMapper&) = delete;

  std::string map(const std::string& utf8) {
    if (utf8.empty() || !valid()) return utf8;
    std::lock_guard lock(mutex_);
    char* out = opencc_convert_utf8(handle_, utf8.data(), utf8.size());
    if (out == nullptr || out == reinterpret_cast<char*>(-1)) return utf8;
    std::string result(out);
    opencc_convert_utf8_free(out);
    return result;
  }

 private:
  bool valid() const { return handle_ != reinterpret_cast<opencc_t>(-1) && handle_ != nullptr; }

  opencc_t handle_ = reinterpret_cast<opencc_t>(-1);
  std::mutex mutex_;
};

FormMapper& toTraditional() {
  static FormMapper mapper("s2t.json");
  return mapper;
}

FormMapper& toSimplified() {
  static FormMapper mapper("t2s.json");
  return mapper;
}

// Maps GB text through a character-form table; the result is GB again, "?" where it cannot be.
std::string mapForms(FormMapper& mapper, std::string_view gb) {
  if (gb.empty()) return {};
  if (!hasHighBytes(gb)) return std::string(gb);  // the tables only touch Chinese characters
  const std::string mapped = mapper.map(toUtf8(gbCodePage().decode(gb)));
  return gbCodePage().encode(fromUtf8(mapped));
}

}  // namespace

std::string gbToUtf8(std::string_view gb) {
  if (!hasHighBytes(gb)) return std::string(gb);
  return toUtf8(gbCodePage().decode(gb));
}

std::string utf8ToGb(std::string_view utf8) {
  if (!hasHighBytes(utf8)) return std::string(utf8);
  return gbCodePage().encode(fromUtf8(utf8));
}

std::string simplifiedToTraditional(std::string_view gb) { return mapForms(toTraditional(), gb); }

std::string traditionalToSimplified(std::string_view gb) { return mapForms(toSimplified(), gb); }

std::string gbToBig5(std::string_view gb) {
  if (!hasHighBytes(gb)) return std::string(gb);
  const std::string traditional = simplifiedToTraditional(gb);
  return encodeBig5(gbCodePage().decode(traditional));
}

std::string big5ToGb(std::string_view big5) {
  if (!hasHighBytes(big5)) return std::string(big5);
  const std::string gb = gbCodePage().encode(decodeBig5(big5));
  return traditionalToSimplified(gb);
}

std::string big5ToUtf8(std::string_view big5) {
  if (!hasHighBytes(big5)) return std::string(big5);
  return toUtf8(decodeBig5(big5));
}

std::string utf8ToBig5(std::string_view utf8) {
  if (!hasHighBytes(utf8)) return std::string(utf8);
  return encodeBig5(fromUtf8(utf8));
}

std::string displayText(std::string_view gb, bool displayInBig5) {
  return displayInBig5 ? big5ToUtf8(gbToBig5(gb)) : gbToUtf8(gb);
}

std::string typedText(std::string_view utf8, bool displayInBig5) {
  return displayInBig5 ? big5ToGb(utf8ToBig5(utf8)) : utf8ToGb(utf8);
}

std::string big5ToGb(std::string_view big5, const std::string& charset) {
  if (!hasHighBytes(big5)) return std::string(big5);
  // Windows' BIG5 is read with the common extension, as the user's BIG5 choice always is.
  const std::u16string text =
      charset == "windows-950-2000" ? decodeBig5(big5) : namedCodePage(charset, false).decode(big5);
  return traditionalToSimplified(gbCodePage().encode(text));
}

std::optional<std::string> asciiCompatibleCharset(std::string_view name) {
  const std::string wanted(name);
  if (wanted.empty()) return std::nullopt;
  UErrorCode err = U_ZERO_ERROR;
  UConverter* conv = ucnv_open(wanted.c_str(), &err);
  if (U_FAILURE(err) || !conv) return std::nullopt;
  err = U_ZERO_ERROR;
  std::optional<std::string> found = ucnv_getName(conv, &err);
  // Every printable ASCII character and the white space a record holds must decode to itself.
  std::string ascii = "\t\n\r";
  for (char c = ' '; c < 0x7F; ++c) ascii += c;
  UChar decoded[128];
  err = U_ZERO_ERROR;
  const int32_t n = ucnv_toUChars(conv, decoded, 128, ascii.data(), static_cast<int32_t>(ascii.size()), &err);
  if (U_FAILURE(err) || n != static_cast<int32_t>(ascii.size())) found.reset();
  for (int32_t i = 0; found && i < n; ++i)
    if (decoded[i] != static_cast<unsigned char>(ascii[static_cast<size_t>(i)])) found.reset();
  ucnv_close(conv);
  return found;
}

std::string decodeToUtf8(std::string_view bytes, const std::string& charset) {
  CodePage& page = namedCodePage(charset, true);
  if (!page.valid()) return std::string(bytes.size(), '?');
  return page.decodeToUtf8(bytes);
}

std::vector<CharsetMatch> detectCharsets(std::string_view bytes) {
  std::vector<CharsetMatch> matches;
  if (bytes.empty()) return matches;
  // One detector per thread, opened once: opening one builds all its recognisers.
  thread_local const std::unique_ptr<UCharsetDetector, void (*)(UCharsetDetector*)> owned = [] {
    UErrorCode err = U_ZERO_ERROR;
    UCharsetDetector* d = ucsdet_open(&err);
    return std::unique_ptr<UCharsetDetector, void (*)(UCharsetDetector*)>(U_SUCCESS(err) ? d : nullptr, ucsdet_close);
  }();
  UCharsetDetector* detector = owned.get();
  if (!detector) return matches;
  UErrorCode err = U_ZERO_ERROR;
  ucsdet_setText(detector, bytes.data(), static_cast<int32_t>(bytes.size()), &err);
  int32_t n = 0;
  const UCharsetMatch** found = ucsdet_detectAll(detector, &n, &err);
  for (int32_t i = 0; U_SUCCESS(err) && i < n; ++i) {
    UErrorCode one = U_ZERO_ERROR;
    const char* name = ucsdet_getName(found[i], &one);
    const int32_t confidence = ucsdet_getConfidence(found[i], &one);
    if (U_SUCCESS(one) && name) matches.push_back({name, confidence});
  }
  return matches;
}

bool hasHighBytes(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

bool isValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (i + len > n) return false;
    if (p[i + 1] < lo || p[i + 1] > hi) return false;
    for (size_t k = 2; k < len; ++k)
      if (p[i + k] < 0x80 || p[i + k] > 0xBF) return false;
    i += len;
  }
  return true;
}

std::string fileNameToUtf8(std::string_view name) {
  return isValidUtf8(name) ? std::string(name) : gbToUtf8(name);
}

}  // namespace mh::text
