#include "records/sgf_file.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/sgf_value.h"
#include "platform/ascii_text.h"
#include "platform/file_bytes.h"
#include "platform/text_codec.h"

namespace mh {

namespace {

constexpr int kEnd = -1;

// How bytes group into characters: the system's rule (a byte with bit 7 set takes the next byte
// with it) or one byte each, which is exact for UTF-8 since every delimiter is ASCII and no
// byte of a multi-byte UTF-8 character is below 0x80.
enum class CharMode { BytePairs, SingleBytes };

// What a root CA property names.
enum class Charset { None, Utf8, Gb, Big5, Other };

bool isSkippable(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isUpper(int c) { return c >= 'A' && c <= 'Z'; }

// The character reader and the parser over one text. Characters are ints: a byte, a pair
// (first * 256 + second), or kEnd. One character can be pushed back.
class Parser {
 public:
  Parser(std::string_view text, CharMode mode, bool big5, bool utf8Values, size_t maxParts)
      : text_(text), maxParts_(maxParts), partsLeft_(maxParts < SIZE_MAX ? maxParts + 1 : maxParts), mode_(mode), big5_(big5), utf8Values_(utf8Values) {}

  // Skips to the first "(" and parses the first non-empty game tree.
  std::unique_ptr<SgfNode> parseFile() {
    if (!skipToTree()) return nullptr;
    return parseTree();
  }

  // Parses only the first node of the first tree (for the CA look-up); null when there is none.
  std::unique_ptr<SgfNode> parseRootNode() {
    if (!skipToTree()) return nullptr;
    int c;
    do {
      if (next(true) != '(') return nullptr;
      c = next(true);
    } while (c == ')');  // empty trees
    if (c != ';') return nullptr;
    auto node = std::make_unique<SgfNode>();
    parseProperties(*node);
    return node;
  }

  struct Frame {
    std::unique_ptr<SgfNode> root;  // the first node of the tree's sequence
    SgfNode* last;                  // where the tree's variations attach
  };

  // Why and where the parse failed (the first failure only); nothing after a success.
  const std::optional<std::pair<size_t, std::string>>& failure() const { return failure_; }

 private:
  int next(bool skipping) {
    for (;;) {
      int c;
      if (pending_ != kNone) {
        c = pending_;
        at_ = pendingAt_;
        pending_ = kNone;
      } else {
        at_ = pos_;
        c = readChar();
      }
      if (!skipping || !isSkippable(c)) return c;
    }
  }

  // Gives back the character next just returned.
  void pushBack(int c) {
    pending_ = c;
    pendingAt_ = at_;
  }

  // Records why the parse stops at the offset (unless an earlier failure is recorded); false.
  bool fail(size_t offset, std::string reason) {
    if (!failure_) failure_.emplace(offset, std::move(reason));
    return false;
  }

  // Fails at the character next just returned, which is not what belongs there.
  bool unexpected(int c, const char* expected) {
    if (c == kEnd) return fail(at_, std::string("the text ends where ") + expected + " belongs");
    return fail(at_, "found " + describe(c) + " where " + expected + " belongs");
  }

  static std::string describe(int c) {
    char text[24];
    if (c > 0xFF) std::snprintf(text, sizeof text, "bytes 0x%02X 0x%02X", c >> 8, c & 0xFF);
    else if (c > ' ' && c < 0x7F) std::snprintf(text, sizeof text, "'%c'", c);
    else std::snprintf(text, sizeof text, "byte 0x%02X", c);
    return text;
  }

  int readChar() {
    if (pos_ >= text_.size() || partsLeft_ == 0) return kEnd;
    const int b = static_cast<unsigned char>(text_[pos_++]);
    if (b < 0x80 || mode_ == CharMode::SingleBytes || pos_ >= text_.size()) return b;
    return b * 256 + static_cast<unsigned char>(text_[pos_++]);
  }

  static void append(std::string& s, int c) {
    if (c > 0xFF) s.push_back(static_cast<char>(c >> 8));
    s.push_back(static_cast<char>(c & 0xFF));
  }

  bool skipToTree() {
    int c;
    do c = next(true);
    while (c != '(' && c != kEnd);
    if (c == kEnd) return fail(at_, "no game tree: the text holds no '('");
    pushBack(c);
    return true;
  }

  // A game tree, with an explicit stack of the trees being read instead of recursion.
  std::unique_ptr<SgfNode> parseTree() {
    std::vector<Frame> open;
    if (!openTree(open)) return nullptr;
    while (!open.empty()) {
      const int c = next(true);
      if (c == '(') {
        pushBack(c);
        if (!openTree(open)) return nullptr;
        continue;
      }
      if (c != ')') {
        unexpected(c, "a property, ';', '(' or ')'");
        return nullptr;
      }
      Frame done = std::move(open.back());
      open.pop_back();
      if (open.empty()) return std::move(done.root);
      open.back().last->addChild(std::move(done.root));
    }
    return nullptr;
  }

  // Reads "(" (skipping empty trees "()") and the tree's node sequence, and pushes the tree.
  bool openTree(std::vector<Frame>& open) {
    for (;;) {
      if (const int c = next(true); c != '(') return unexpected(c, "a game tree '('");
      const int c = next(true);
      if (c != ')') {
        pushBack(c);
        break;
      }
    }
    std::unique_ptr<SgfNode> first;
    SgfNode* last = nullptr;
    for (;;) {
      const int c = next(true);
      if (c != ';') {
        pushBack(c);
        break;
      }
      if (!takePart()) return false;
      auto node = std::make_unique<SgfNode>();
      parseProperties(*node);
      last = first ? last->addChild(std::move(node)) : (first = std::move(node)).get();
    }
    if (!first) return unexpected(next(true), "a node ';'");
    open.push_back(Frame{std::move(first), last});
    return true;
  }

  void parseProperties(SgfNode& node) {
    while (auto property = parseProperty()) node.addProperty(std::move(*property));
  }

  std::optional<SgfProperty> parseProperty() {
    SgfProperty p;
    int c = next(true);
    while (isUpper(c)) {
      p.identifier.push_back(static_cast<char>(c));
      c = next(true);
    }
    pushBack(c);
    if (p.identifier.empty() || !readValue(p.value)) return std::nullopt;
    if (big5_) {
      p.identifier = text::big5ToGb(p.identifier);
      p.value = keptEscaped(text::big5ToGb(p.value));
    }
    for (;;) {
      c = next(true);
      pushBack(c);
      if (c != '[') break;
      std::string more;
      if (!readValue(more)) return std::nullopt;
      p.moreValues.push_back(std::move(more));
    }
    if (utf8Values_) {
      p.value = keptEscaped(text::utf8ToGb(p.value));
      for (std::string& v : p.moreValues) v = keptEscaped(text::utf8ToGb(v));
    }
    return p;
  }

  // A converted value as the writer can put it back between brackets and the byte-pair reading
  // find it again: the conversion may turn a pair that held "]" or "\" into "?" and a lone "]" or
  // "\", and may leave a lead byte last. A bare "]" gets its "\", a lone "\" at the end is
  // escaped, and a lead byte at the end becomes "?".
  static std::string keptEscaped(std::string v) {
    std::string out;
    out.reserve(v.size());
    bool escaped = false;
    for (size_t i = 0; i < v.size(); ++i) {
      const char c = v[i];
      if (static_cast<unsigned char>(c) >= 0x80) {
        if (i + 1 < v.size()) {
          out += c;
          out += v[++i];
        } else {
          out += '?';
        }
        escaped = false;
        continue;
      }
      if (!escaped && c == ']') out += '\\';
      escaped = !escaped && c == '\\';
      out += c;
    }
    if (escaped) out += '\\';
    return out;
  }

  // "[" text "]", with "\" escaping the next character (both kept in the text).
  bool readValue(std::string& out) {
    const int open = next(true);
    if (open != '[' || !takePart()) {
      pushBack(open);
      return false;
    }
    const size_t openAt = at_;
    bool escaped = false;
    for (;;) {
      const int c = next(false);
      if (c == kEnd) return fail(openAt, "no ']' closes this value before the text ends");
      if (!escaped && c == ']') return true;
      escaped = !escaped && c == '\\';
      append(out, c);
    }
  }

  // Counts a node or a value against the budget; once it is spent the text reads as ended, so
  // every open tree fails.
  bool takePart() {
    if (partsLeft_ == 0) return false;
    if (--partsLeft_ == 0) {
      pending_ = kNone;
      fail(at_, "more than " + std::to_string(maxParts_) + " nodes and values");
    }
    return true;
  }

  static constexpr int kNone = -2;

  std::string_view text_;
  size_t maxParts_;
  size_t partsLeft_;
  size_t pos_ = 0;
  size_t at_ = 0;  // where the character next returned last starts
  int pending_ = kNone;
  size_t pendingAt_ = 0;
  std::optional<std::pair<size_t, std::string>> failure_;
  CharMode mode_;
  bool big5_;
  bool utf8Values_;
};

Charset charsetOf(const SgfNode* root) {
  const SgfProperty* ca = root ? root->findProperty("CA") : nullptr;
  if (!ca) return Charset::None;
  const std::string name = ascii::toUpper(sgf::trim(ca->value));
  if (name == "UTF-8" || name == "UTF8") return Charset::Utf8;
  if (name == "GB2312" || name == "GBK" || name == "GB18030") return Charset::Gb;
  if (name.rfind("BIG5", 0) == 0 || name.rfind("BIG-5", 0) == 0) return Charset::Big5;
  return Charset::Other;
}

// The charset the root node declares. The root is read byte by byte first (exact for UTF-8),
// then by byte pairs, since either reading may lose the CA behind a value it misreads.
Charset declaredCharset(std::string_view text, size_t maxParts) {
  Charset cs = charsetOf(Parser(text, CharMode::SingleBytes, false, false, maxParts).parseRootNode().get());
  if (cs == Charset::None)
    cs = charsetOf(Parser(text, CharMode::BytePairs, false, false, maxParts).parseRootNode().get());
  return cs;
}

}  // namespace

std::unique_ptr<SgfNode> SgfFile::parse(std::string_view text, bool convertBig5, ParseError* error, size_t maxParts) {
  const Charset declared = declaredCharset(text, maxParts);
  const bool utf8 = declared == Charset::Utf8 ||
                    (declared == Charset::None && text::hasHighBytes(text) && text::isValidUtf8(text));
  Parser parser = utf8 ? Parser(text, CharMode::SingleBytes, false, true, maxParts)
                       : Parser(text, CharMode::BytePairs, convertBig5 || declared == Charset::Big5, false, maxParts);
  auto root = parser.parseFile();
  if (!root && error) {
    const auto& failure = parser.failure();
    *error = failure ? ParseError::inText(text, failure->first, failure->second)
                     : ParseError::inText(text, text.size(), "no game tree");
  }
  return root;
}

std::unique_ptr<SgfNode> SgfFile::read(const std::string& path, bool convertBig5, ParseError* error) {
  std::string text, why;
  if (!readFileBytes(path, kMaxFileBytes, text, &why)) {
    if (error) *error = ParseError::whole("cannot read the file: " + why);
    return nullptr;
  }
  return parse(text, convertBig5, error);
}

std::string SgfFile::format(const SgfNode& root) {
  std::string out = "(";
  // Work items: a node that starts a parenthesised variation, or the ")" that ends one.
  struct Item {
    const SgfNode* node;  // null for ")"
  };
  std::vector<Item> work{{&root}};
  bool first = true;
  while (!work.empty()) {
    const Item item = work.back();
    work.pop_back();
    if (!item.node) {
      out += ')';
      continue;
    }
    if (!first) out += '(';
    first = false;
    const SgfNode* node = item.node;
    for (;;) {
      out += ';';
      for (const SgfProperty& p : node->properties()) {
        if (p.identifier.empty()) continue;
        out += p.identifier;
        out += '[';
        out += p.value;
        out += ']';
        for (const std::string& v : p.moreValues) {
          out += '[';
          out += v;
          out += ']';
        }
      }
      const auto& children = node->children();
      if (children.size() == 1) {
        node = children.front().get();
        continue;
      }
      for (auto it = children.rbegin(); it != children.rend(); ++it) {
        work.push_back({nullptr});
        work.push_back({it->get()});
      }
      break;
    }
  }
  out += ')';
  return out;
}

bool SgfFile::write(const std::string& path, const SgfNode& root) { return writeFileBytes(path, format(root)); }

}  // namespace mh
