#include "records/sgf_file.h"

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/sgf_value.h"
#include "platform/ascii_text.h"
#include "platform/file_bytes.h"
#include "platform/text_codec.h"
#include "records/record_text.h"

namespace mh {

namespace {

constexpr int kEnd = -1;

// How bytes group into characters: the system's rule (a byte with bit 7 set takes the next byte
// with it) or one byte each, which is exact for UTF-8 since every delimiter is ASCII and no
// byte of a multi-byte UTF-8 character is below 0x80.
enum class CharMode { BytePairs, SingleBytes };

bool isSkippable(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isUpper(int c) { return c >= 'A' && c <= 'Z'; }
bool isLower(int c) { return c >= 'a' && c <= 'z'; }
bool hasMove(const SgfLayout& layout, std::int32_t node) {
  return findSgfProperty(layout.properties(node), "B") || findSgfProperty(layout.properties(node), "W");
}

// A converted value as the writer can put it back between brackets and a reader find it again:
// conversion may turn a character that held "]" or "\" as its second byte into "?" and a lone
// "]" or "\", and may leave a lead byte last. A bare "]" gets its "\" and a lone "\" at the end
// is escaped. For GB text (bytePairs) a byte with bit 7 set takes the next byte with it, and a
// lead byte at the end becomes "?".
std::string keptEscaped(std::string_view v, bool bytePairs) {
  std::string out;
  out.reserve(v.size());
  bool escaped = false;
  for (size_t i = 0; i < v.size(); ++i) {
    const char c = v[i];
    if (bytePairs && static_cast<unsigned char>(c) >= 0x80) {
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

// The character reader and the parser over one text. Characters are ints: a byte, a pair
// (first * 256 + second), or kEnd. One character can be pushed back.
class Parser {
 public:
  // values: how property values become GB; null keeps them as they stand. Nodes go to out.
  Parser(std::string_view text, CharMode mode, const RecordText* values, size_t maxParts, SgfLayout& out)
      : text_(text), maxParts_(maxParts), partsLeft_(maxParts < SIZE_MAX ? maxParts + 1 : maxParts), mode_(mode),
        values_(values), out_(out) {}

  // Skips to the first "(" and parses the non-empty game trees that follow one another into the
  // layout's trees: only the first with all = false. Stops at the first tree that does not parse
  // (failure() then says why) or at anything other than a game tree, which is ignored.
  void parseTrees(bool all) {
    if (!skipToTree()) return;
    do {
      const std::int32_t tree = parseTree();
      if (tree < 0) break;
      out_.addTree(tree);
    } while (all && anotherTree());
  }

  // Parses only the first node of the first tree (for the CA look-up); -1 when there is none.
  std::int32_t parseRootNode() {
    if (!skipToTree()) return -1;
    int c;
    do {
      if (next(true) != '(') return -1;
      c = next(true);
    } while (c == ')');  // empty trees
    if (c != ';') pushBack(c);  // a root written without its ";"
    const std::int32_t node = out_.addNode();
    parseProperties();
    return node;
  }

  struct Frame {
    std::int32_t root;  // the first node of the tree's sequence
    std::int32_t last;  // where the tree's variations attach
  };

  // Why and where the parse failed (the first failure only); nothing after a success.
  const std::optional<std::pair<size_t, std::string>>& failure() const { return failure_; }

 private:
  // The reading position, to go back more than the one character pushBack gives back.
  struct Mark {
    size_t pos, at, pendingAt;
    int pending;
  };
  Mark mark() const { return {pos_, at_, pendingAt_, pending_}; }
  void restore(const Mark& m) {
    pos_ = m.pos;
    at_ = m.at;
    pendingAt_ = m.pendingAt;
    pending_ = m.pending;
  }

  // True when another non-empty game tree follows (after white space and empty trees "()").
  bool anotherTree() {
    for (;;) {
      const Mark before = mark();
      if (next(true) != '(') break;
      if (next(true) != ')') {
        restore(before);
        return true;
      }
    }
    return false;
  }

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

  // A game tree, with an explicit stack of the trees being read instead of recursion; its root,
  // or -1.
  std::int32_t parseTree() {
    std::vector<Frame> open;
    if (!openTree(open)) return -1;
    while (!open.empty()) {
      const int c = next(true);
      if (c == '(') {
        pushBack(c);
        if (!openTree(open)) return -1;
        continue;
      }
      if (c != ')') {
        unexpected(c, "a property, ';', '(' or ')'");
        return -1;
      }
      const Frame done = open.back();
      open.pop_back();
      if (open.empty()) return done.root;
      out_.addChild(open.back().last, done.root);
    }
    return -1;
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
    // Properties written right after "(", without the ";" of their node, belong to the first
    // node: to the node the first ";" opens when it holds no move, else to a node of their own.
    std::int32_t unopened = -1;
    const int lead = next(true);
    pushBack(lead);
    if (isUpper(lead) || isLower(lead)) {
      if (!takePart()) return false;
      unopened = out_.addNode();
      parseProperties();
      if (out_.properties(unopened).empty()) unopened = -1;
    }
    std::int32_t first = -1;
    std::int32_t last = -1;
    for (;;) {
      const int c = next(true);
      if (c != ';') {
        pushBack(c);
        break;
      }
      if (!takePart()) return false;
      std::int32_t node = out_.addNode();
      parseProperties();
      if (unopened >= 0 && first < 0 && !hasMove(out_, node)) {
        out_.absorb(unopened, node);
        node = unopened;
        unopened = -1;
      }
      if (first >= 0) out_.addChild(last, node);
      else first = node;
      last = node;
    }
    if (unopened >= 0) {
      if (first >= 0) out_.addChild(unopened, first);
      last = last >= 0 ? last : unopened;
      first = unopened;
    }
    if (first < 0) return unexpected(next(true), "a node ';'");
    open.push_back(Frame{first, last});
    return true;
  }

  // The properties that follow, for the node added last.
  void parseProperties() {
    while (parseProperty()) {
    }
  }

  // Reads a property into the layout's next place, which is given back when what follows is no
  // whole property: a record is mostly properties, and building each elsewhere and moving it in
  // cost several times the reading. An identifier is its upper-case letters: lower-case ones
  // among them (the old long forms such as "AddBlack") are dropped, and one without an
  // upper-case letter is no identifier.
  bool parseProperty() {
    const Mark before = mark();
    int c = next(true);
    if (!isUpper(c) && !isLower(c)) {
      restore(before);
      return false;
    }
    SgfProperty& p = out_.openProperty();
    while (isUpper(c) || isLower(c)) {
      if (isUpper(c)) p.identifier.push_back(static_cast<char>(c));
      c = next(true);
    }
    if (p.identifier.empty()) {
      out_.dropProperty();
      restore(before);
      return false;
    }
    pushBack(c);
    bool read = readValue(p.value);
    while (read) {
      c = next(true);
      pushBack(c);
      if (c != '[') break;
      read = readValue(p.moreValues.emplace_back());
    }
    if (!read) {
      out_.dropProperty();
      return false;
    }
    if (values_ && values_->form() != RecordTextForm::Gb) {
      toGb(p.value);
      for (std::string& v : p.moreValues) toGb(v);
    }
    out_.keepProperty();
    return true;
  }

  // A value of converted text as GB. ASCII is the same in every charset read this way, and a
  // value as read already holds its escapes, so only values with other bytes change.
  void toGb(std::string& value) const {
    if (text::hasHighBytes(value)) value = keptEscaped(values_->valueToGb(value), true);
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
  const RecordText* values_;
  SgfLayout& out_;
};

// The charset the root node declares in its CA ("" for none or no root).
std::string charsetOf(std::string_view text, CharMode mode, size_t maxParts) {
  // Asked for every file a collection reads: one layout per thread serves them all.
  thread_local SgfLayout layout;
  layout.clear();
  const std::int32_t root = Parser(text, mode, nullptr, maxParts, layout).parseRootNode();
  const SgfProperty* ca = root >= 0 ? findSgfProperty(layout.properties(root), "CA") : nullptr;
  return ca ? std::string(sgf::trim(ca->value)) : std::string();
}

// The charset the first game tree's root declares ("" for none). The root is read byte by byte
// first (exact for UTF-8), then by byte pairs, since either reading may lose the CA behind a
// value it misreads.
std::string declaredCharset(std::string_view text, size_t maxParts) {
  std::string name = charsetOf(text, CharMode::SingleBytes, maxParts);
  if (name.empty()) name = charsetOf(text, CharMode::BytePairs, maxParts);
  return name;
}

// The first game tree (all = false) or every one, read as the text's charset says, into layout.
void parseTrees(std::string_view text, bool convertBig5, ParseError* error, size_t maxParts, bool all,
                SgfLayout& layout) {
  layout.clear();
  const RecordText source(text, convertBig5, [&](std::string_view t) { return declaredCharset(t, maxParts); });
  const std::string_view body = source.text();
  Parser parser(body, source.form() == RecordTextForm::Utf8 ? CharMode::SingleBytes : CharMode::BytePairs, &source,
                maxParts, layout);
  parser.parseTrees(all);
  if (error && (layout.trees().empty() || parser.failure())) {
    const auto& failure = parser.failure();
    const size_t at = failure ? failure->first : body.size();
    const std::string reason = failure ? failure->second : "no game tree";
    if (source.decoded()) {
      *error = ParseError::inText(body, at, reason + " (in the text decoded from " + source.charset() + ")");
    } else {
      // The text is the file's bytes, perhaps without a byte-order mark.
      *error = ParseError::inText(text, static_cast<size_t>(body.data() - text.data()) + at, reason);
    }
  }
}

// The trees of a layout as SgfNode trees.
std::vector<std::unique_ptr<SgfNode>> takeTrees(SgfLayout& layout) {
  std::vector<std::unique_ptr<SgfNode>> trees;
  for (const std::int32_t root : layout.trees()) trees.push_back(layout.takeTree(root));
  return trees;
}

std::vector<std::unique_ptr<SgfNode>> parseTrees(std::string_view text, bool convertBig5, ParseError* error,
                                                 size_t maxParts, bool all) {
  SgfLayout layout;
  parseTrees(text, convertBig5, error, maxParts, all, layout);
  return takeTrees(layout);
}

}  // namespace

std::unique_ptr<SgfNode> SgfFile::parse(std::string_view text, bool convertBig5, ParseError* error, size_t maxParts) {
  auto trees = parseTrees(text, convertBig5, error, maxParts, false);
  return trees.empty() ? nullptr : std::move(trees.front());
}

std::vector<std::unique_ptr<SgfNode>> SgfFile::parseAll(std::string_view text, bool convertBig5, ParseError* error,
                                                        size_t maxParts) {
  return parseTrees(text, convertBig5, error, maxParts, true);
}

std::unique_ptr<SgfNode> SgfFile::read(const std::string& path, bool convertBig5, ParseError* error) {
  auto trees = readAll(path, convertBig5, error, false);
  return trees.empty() ? nullptr : std::move(trees.front());
}

std::vector<std::unique_ptr<SgfNode>> SgfFile::readAll(const std::string& path, bool convertBig5, ParseError* error,
                                                       bool all) {
  SgfLayout layout;
  (void)readLayout(path, convertBig5, layout, error, all);
  return takeTrees(layout);
}

bool SgfFile::readLayout(const std::string& path, bool convertBig5, SgfLayout& layout, ParseError* error, bool all) {
  layout.clear();
  // The file's bytes are read into the same buffer from file to file on one thread.
  thread_local std::string text;
  std::string why;
  const bool read = readFileBytes(path, kMaxFileBytes, text, &why);
  if (read) parseTrees(text, convertBig5, error, kMaxParts, all, layout);
  else if (error) *error = ParseError::whole("cannot read the file: " + why);
  if (text.capacity() > (size_t{1} << 20)) std::string().swap(text);
  return !layout.trees().empty();
}

void SgfLayout::clear() {
  nodes_.clear();
  properties_.clear();
  trees_.clear();
  // The storage of an ordinary record stays for the next; a huge collection's is given back.
  constexpr size_t kKept = 1 << 14;
  if (nodes_.capacity() > kKept) std::vector<Node>().swap(nodes_);
  if (properties_.capacity() > kKept) std::vector<SgfProperty>().swap(properties_);
  if (trees_.capacity() > kKept) std::vector<std::int32_t>().swap(trees_);
}

std::int32_t SgfLayout::addNode() {
  const auto at = static_cast<std::uint32_t>(properties_.size());
  nodes_.push_back(Node{at, at});
  return static_cast<std::int32_t>(nodes_.size() - 1);
}

void SgfLayout::addChild(std::int32_t parent, std::int32_t child) {
  Node& p = nodes_[static_cast<size_t>(parent)];
  if (p.firstChild < 0) p.firstChild = child;
  else nodes_[static_cast<size_t>(p.lastChild)].nextSibling = child;
  p.lastChild = child;
}

void SgfLayout::absorb(std::int32_t into, std::int32_t from) {
  Node& to = nodes_[static_cast<size_t>(into)];
  Node& taken = nodes_[static_cast<size_t>(from)];
  if (to.end == taken.first) {
    to.end = taken.end;
  } else {
    // Not read right after: both runs are copied to the end, which becomes into's run.
    std::vector<SgfProperty> run(properties_.begin() + to.first, properties_.begin() + to.end);
    run.insert(run.end(), properties_.begin() + taken.first, properties_.begin() + taken.end);
    to.first = static_cast<std::uint32_t>(properties_.size());
    for (SgfProperty& p : run) properties_.push_back(std::move(p));
    to.end = static_cast<std::uint32_t>(properties_.size());
  }
  taken.first = taken.end;
}

std::unique_ptr<SgfNode> SgfLayout::takeTree(std::int32_t node) {
  auto root = std::make_unique<SgfNode>();
  // Each node's children are added in order; the stack only decides which node is filled next.
  std::vector<std::pair<std::int32_t, SgfNode*>> work{{node, root.get()}};
  while (!work.empty()) {
    const auto [n, to] = work.back();
    work.pop_back();
    const Node& from = nodes_[static_cast<size_t>(n)];
    for (std::uint32_t p = from.first; p < from.end; ++p) to->addProperty(std::move(properties_[p]));
    for (std::int32_t c = from.firstChild; c >= 0; c = nodes_[static_cast<size_t>(c)].nextSibling)
      work.emplace_back(c, to->addChild());
  }
  return root;
}

namespace {

bool holdsHighBytes(const SgfNode& root) {
  for (const SgfNode* node : root.flatten())
    for (const SgfProperty& p : node->properties()) {
      if (text::hasHighBytes(p.value)) return true;
      for (const std::string& v : p.moreValues)
        if (text::hasHighBytes(v)) return true;
    }
  return false;
}

// The tree as text. utf8 converts every value from GB to UTF-8; charset, when given, is written
// as the root's CA: in place of the root's own, or first when it has none.
std::string formatTree(const SgfNode& root, bool utf8, const std::string* charset) {
  std::string out = "(";
  const auto value = [&](const std::string& v) {
    out += '[';
    out += utf8 ? keptEscaped(text::gbToUtf8(v), false) : v;
    out += ']';
  };
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
      const bool atRoot = node == &root;
      if (atRoot && charset && !node->findProperty("CA")) out += "CA[" + *charset + "]";
      for (const SgfProperty& p : node->properties()) {
        if (p.identifier.empty()) continue;
        out += p.identifier;
        value(atRoot && charset && p.identifier == "CA" ? *charset : p.value);
        for (const std::string& v : p.moreValues) value(v);
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

}  // namespace

std::string SgfFile::format(const SgfNode& root) { return formatTree(root, false, nullptr); }

std::string SgfFile::formatFile(const SgfNode& root, SgfEncoding encoding) {
  if (encoding == SgfEncoding::Utf8) {
    const std::string utf8 = "UTF-8";
    return formatTree(root, true, &utf8);
  }
  // A CA the tree kept from its file no longer says what the tree holds, even for ASCII text
  // (an escape byte reads differently in ISO-2022-JP).
  const std::string gbk = "GBK";
  return formatTree(root, false, root.findProperty("CA") || holdsHighBytes(root) ? &gbk : nullptr);
}

bool SgfFile::write(const std::string& path, const SgfNode& root, SgfEncoding encoding) {
  return writeFileBytes(path, formatFile(root, encoding));
}

}  // namespace mh
