#include "records/gib_file.h"

#include <algorithm>

#include "platform/file_bytes.h"
#include "records/record_text.h"

namespace mh {

namespace {

constexpr size_t kMaxFileBytes = 256u << 20;
constexpr std::string_view kBlack = "\xBA\xDA";  // 黑
constexpr std::string_view kWhite = "\xB0\xD7";  // 白

// The runs of text between separators (all ASCII). The second byte of a two-byte character is
// never a separator, even when it equals "\" or "]".
std::vector<std::string_view> tokens(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> out;
  const auto isSeparator = [&](size_t i) { return separators.find(text[i]) != std::string_view::npos; };
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && isSeparator(i)) ++i;
    const size_t start = i;
    while (i < text.size() && !isSeparator(i)) i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
    i = std::min(i, text.size());
    if (i > start) out.push_back(text.substr(start, i - start));
  }
  return out;
}

// The leading decimal integer of a token (optional sign), as the C library reads one; large
// values saturate.
int leadingInt(std::string_view token) {
  size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '-' || token[i] == '+')) negative = token[i++] == '-';
  long long value = 0;
  for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i)
    if (value < 100000000) value = value * 10 + (token[i] - '0');
  return static_cast<int>(negative ? -value : value);
}

}  // namespace

bool GibFile::read(const std::string& path, ParseError* error) {
  std::string text, why;
  if (!readFileBytes(path, kMaxFileBytes, text, &why)) {
    (void)parse({});  // leaves the record and the header empty
    if (error) *error = ParseError::whole("cannot read the file: " + why);
    return false;
  }
  return parse(text, error);
}

bool GibFile::parse(std::string_view bytes, ParseError* error, size_t maxParts) {
  const RecordText source(bytes, big5_);
  std::string converted;
  if (source.form() != RecordTextForm::Gb) converted = source.valueToGb(source.text());
  const std::string_view text = source.form() != RecordTextForm::Gb ? std::string_view(converted) : source.text();
  // Places are given in the file's bytes when the text is those bytes (perhaps without a
  // byte-order mark), else in the converted text.
  const auto errorAt = [&](size_t offset, const std::string& reason) {
    if (!converted.empty() || source.decoded())
      return ParseError::inText(text, offset, reason + " (in the text converted from " + source.charset() + ")");
    return ParseError::inText(bytes, static_cast<size_t>(text.data() - bytes.data()) + offset, reason);
  };
  record_.resetTo19();
  keys_.clear();
  values_.clear();
  winner_ = 0;
  bool inMoves = false;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t lineStart = pos;
    size_t end = text.find('\n', pos);
    end = end == std::string_view::npos ? text.size() : end + 1;
    std::string_view line = text.substr(pos, end - pos);
    pos = end;
    // Text mode turns CR LF into LF before the line reaches the buffer.
    std::string joined;
    if (line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n') {
      joined.assign(line.substr(0, line.size() - 2));
      joined += '\n';
      line = joined;
    }
    // A line longer than the buffer arrives as several pieces, each taken as a line.
    for (size_t at = 0; at < line.size(); at += kLineBuffer - 1)
      parseLine(line.substr(at, kLineBuffer - 1), inMoves);
    if (keys_.size() + record_.entries().size() > maxParts) {
      (void)parse({});
      if (error)
        *error = errorAt(lineStart, "more than " + std::to_string(maxParts) + " header entries and moves");
      return false;
    }
  }
  fillInfo();
  if (!inMoves && error) *error = errorAt(text.size(), "no \\HE line ends the header");
  return inMoves;
}

void GibFile::parseLine(std::string_view line, bool& inMoves) {
  if (!inMoves) {
    if (line.substr(0, 3) == "\\HE") {
      inMoves = true;
      return;
    }
    if (line.substr(0, 2) != "\\[") return;
    const auto t = tokens(line.substr(2), "=\\]\r\n");
    if (t.size() < 2) return;
    keys_.emplace_back(t[0]);
    values_.emplace_back(t[1]);
    return;
  }
  if (line.substr(0, 4) != "STO ") return;
  const auto t = tokens(line.substr(4), " \t\r\n");
  if (t.size() < 5) return;
  const int colour = leadingInt(t[2]);
  const int x = leadingInt(t[3]);
  const int y = leadingInt(t[4]);
  if (colour < 0 || colour > 2 || x < 0 || x > 18 || y < 0 || y > 18) return;
  if (colour == 0) return;  // neither player's move: nothing to record
  record_.appendMove(colour, x + 19 * y);
}

void GibFile::fillInfo() {
  GameInfo& info = record_.info();
  const auto copy = [&](GameInfo::Field field, std::string_view key) {
    if (const std::string* v = header(key)) info.setText(field, *v);
  };
  copy(GameInfo::kGameName, "GAMENAME");
  copy(GameInfo::kBlackName, "GAMEBLACKNAME");
  copy(GameInfo::kWhiteName, "GAMEWHITENAME");
  copy(GameInfo::kRules, "GAMECONDITION");
  if (const std::string* result = header("GAMERESULT")) {
    const std::string_view v = *result;
    if (v.substr(0, 2) == kBlack) winner_ = GameInfo::BlackWins;
    else if (v.substr(0, 2) == kWhite) winner_ = GameInfo::WhiteWins;
    info.setWinner(winner_);
    info.setText(GameInfo::kResultText, v, GameInfo::kResultTextLimit);
  }
}

bool GibFile::toRecord(GameRecord& target, int& resultCode) const {
  resultCode = winner_;
  target.copyFrom(record_);
  return true;
}

const std::string* GibFile::header(std::string_view key) const {
  const size_t n = std::min(keys_.size(), values_.size());
  for (size_t i = 0; i < n; ++i)
    if (keys_[i] == key) return &values_[i];
  return nullptr;
}

}  // namespace mh
