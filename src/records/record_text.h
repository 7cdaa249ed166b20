#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mh {

// How the values of a record's text become the program's GB text.
enum class RecordTextForm {
  Gb,    // GB bytes (or plain ASCII), kept as they stand
  Big5,  // a traditional-Chinese charset: each value converted to simplified GB
  Utf8,  // UTF-8: each value converted to GB
};

// The text of a record file as its reader parses it, and the charset it was read as.
//
// The charset is decided in this order:
//   1. a byte-order mark: UTF-16 or UTF-32 decodes the whole text, whatever the record declares;
//      a UTF-8 mark is skipped, and the text reads as UTF-8 when the rest is valid UTF-8;
//   2. the charset the record declares (for SGF, the first game tree's CA), any name or alias ICU
//      knows, when it writes ASCII as ASCII; a declared charset wins over the user's choice;
//   3. UTF-8, when the text holds bytes above 0x7F and is valid UTF-8 as a whole;
//   4. a Korean or Japanese charset, when ICU's detector names one with high confidence and the
//      text decoded in it reads as that language (see record_text.cpp);
//   5. the user's choice: BIG5, or GB.
// Detection never chooses between GB and BIG5: short Chinese names fool every detector.
//
// GB-family text (and text in the user's GB choice) is parsed as it stands, byte pairs and all;
// BIG5-family text too, its values converted one by one; UTF-8 text is parsed as it stands and
// its values converted; text in any other charset is decoded to UTF-8 as a whole first, so
// that no byte of a multi-byte character can pass for a delimiter.
class RecordText {
 public:
  // Finds the charset a record declares in its bytes (after any UTF-8 mark); an empty string
  // when it declares none. Not called for a UTF-16 or UTF-32 text.
  using DeclaredCharset = std::function<std::string(std::string_view text)>;

  // Decides how bytes read. bytes must outlive the RecordText.
  RecordText(std::string_view bytes, bool big5Choice, const DeclaredCharset& declared = {});

  RecordText(const RecordText&) = delete;
  RecordText& operator=(const RecordText&) = delete;

  // The text to parse: the file's bytes without a byte-order mark, or the whole text decoded to
  // UTF-8.
  std::string_view text() const { return decoded_ ? std::string_view(*decoded_) : text_; }
  // True when text() is the file's text decoded to UTF-8 rather than the file's bytes.
  bool decoded() const { return decoded_.has_value(); }
  RecordTextForm form() const { return form_; }
  // The charset the file's bytes were read as (an ICU converter name, "UTF-8", or "GBK" for
  // the GB reading), for messages and tests.
  const std::string& charset() const { return charset_; }

  // A value of text() as GB.
  std::string valueToGb(std::string_view value) const;

 private:
  void decide(std::string_view bytes, bool big5Choice, const DeclaredCharset& declared);
  void readAs(RecordTextForm form, std::string charset);
  void decodeAs(const std::string& charset);

  std::string_view text_;
  std::optional<std::string> decoded_;
  RecordTextForm form_ = RecordTextForm::Gb;
  std::string charset_;
};

// The confidence ICU's detector must give a Korean or Japanese charset. Its recognisers give 10
// to a text of ten two-byte characters or fewer, whatever they are, so a record must hold more
// than that; above it the confidence alone is no proof (a dozen GB characters of names can reach
// 100 for EUC-KR), and the language checks decide.
inline constexpr int kDetectorConfidence = 50;

}  // namespace mh
