#include "records/sgf_file.h"

#include <cstdint>
#include <optional>
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
      : text_(text), partsLeft_(maxParts < SIZE_MAX ? maxParts + 1 : maxParts), mode_(mode), big5_(big5), utf8Values_(utf8Values) {}

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

 private:
  struct Frame {
    std::unique_ptr<SgfNode> root;  // the first node of the tree's sequence
    SgfNode* last;                  // where the tree's variations attach
  };

  int next(bool skipping) {
    for (;;) {
      int c;
      if (pending_ != kNone) {
        c = pending_;
        pending_ = kNone;
      } else {
        c = readChar();
      }
      if (!skipping || !isSkippable(c)) return c;
    }
  }

  void pushBack(int c) { pending_ = c; }

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
    if (c == kEnd) return false;
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
      if (c != ')') return nullptr;
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
      if (next(true) != '(') return false;
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
    if (!first) return false;
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
    bool escaped = false;
    for (;;) {
      const int c = next(false);
      if (c == kEnd) return false;
      if (!escaped && c == ']') return true;
      escaped = !escaped && c == '\\';
      append(out, c);
    }
  }

  // Counts a node or a value against the budget; once it is spent the text reads as ended, so
  // every open tree fails.
  bool takePart() {
    if (partsLeft_ == 0) return false;
    if (--partsLeft_ == 0) pending_ = kNone;
    return true;
  }

  static constexpr int kNone = -2;

  std::string_view text_;
  size_t partsLeft_;
  size_t pos_ = 0;
  int pending_ = kNone;
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

std::unique_ptr<SgfNode> SgfFile::parse(std::string_view text, bool convertBig5, size_t maxParts) {
  const Charset declared = declaredCharset(text, maxParts);
  const bool utf8 = declared == Charset::Utf8 ||
                    (declared == Charset::None && text::hasHighBytes(text) && text::isValidUtf8(text));
  if (utf8) return Parser(text, CharMode::SingleBytes, false, true, maxParts).parseFile();
  return Parser(text, CharMode::BytePairs, convertBig5 || declared == Charset::Big5, false, maxParts).parseFile();
}

std::unique_ptr<SgfNode> SgfFile::read(const std::string& path, bool convertBig5) {
  std::string text;
  if (!readFileBytes(path, kMaxFileBytes, text)) return nullptr;
  return parse(text, convertBig5);
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
