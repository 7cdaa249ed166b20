#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/sgf_node.h"
#include "platform/parse_error.h"

namespace mh {

// The text encoding of a written SGF file.
enum class SgfEncoding { Gb, Utf8 };

// The game trees of an SGF text laid out flat: the nodes in the order they were read, each with
// its run of properties and links to its first child and its next sibling. Reading one file after
// another into the same layout reuses its storage, so a reader of a whole collection allocates
// little for each file.
class SgfLayout {
 public:
  // Empties the layout; the storage an ordinary record needs stays for the next text.
  void clear();
  // The root node of each game tree read, in order.
  const std::vector<std::int32_t>& trees() const { return trees_; }
  std::span<const SgfProperty> properties(std::int32_t node) const {
    const Node& n = nodes_[static_cast<size_t>(node)];
    return std::span(properties_).subspan(n.first, n.end - n.first);
  }
  // The node's first child, or -1.
  std::int32_t firstChild(std::int32_t node) const { return nodes_[static_cast<size_t>(node)].firstChild; }
  // The tree below node as SgfNode objects; the layout's properties of that tree are moved out.
  std::unique_ptr<SgfNode> takeTree(std::int32_t node);

  // Building, as a reader does. Properties go to the node added last: a reader fills the one
  // openProperty gives in place, then keeps it or drops it (it is the layout's last, until kept).
  std::int32_t addNode();
  SgfProperty& openProperty() { return properties_.emplace_back(); }
  void keepProperty() { nodes_.back().end = static_cast<std::uint32_t>(properties_.size()); }
  void dropProperty() { properties_.pop_back(); }
  void addChild(std::int32_t parent, std::int32_t child);
  // Moves the properties of from, which were read right after those of into, to the end of into's.
  void absorb(std::int32_t into, std::int32_t from);
  void addTree(std::int32_t root) { trees_.push_back(root); }

 private:
  struct Node {
    std::uint32_t first = 0, end = 0;  // properties_[first, end)
    std::int32_t firstChild = -1, lastChild = -1, nextSibling = -1;
  };
  std::vector<Node> nodes_;
  std::vector<SgfProperty> properties_;
  std::vector<std::int32_t> trees_;
};

// Reads game trees from SGF text into SgfNode trees and writes a tree back.
//
// The charset of the text is decided as RecordText says: a byte-order mark, the first game
// tree's CA, UTF-8, a detected Korean or Japanese charset, or the BIG5 choice (convertBig5),
// else GB. GB and BIG5 text is read as the system holds it: a byte with bit 7 set starts a
// two-byte character, so the second byte of a GB or BIG5 character never ends a value; BIG5
// values are converted to GB. UTF-8 text (and text decoded to UTF-8 from another charset) is
// read byte by byte, every delimiter being ASCII, and its values are converted to GB.
//
// Two common departures from the standard are read: properties written right after "(" without
// the ";" of their node (they belong to the first node: to the node of the first ";" when it
// holds no move, else to a node of their own before it), and lower-case letters inside property
// identifiers, which are dropped ("AddBlack" is AB).
//
// Parsing is iterative: nesting depth and value length are limited only by memory. Nothing
// throws; a file that does not parse gives no tree, and error (when given) says why and where.
class SgfFile {
 public:
  // Files larger than this are refused rather than read into memory.
  static constexpr size_t kMaxFileBytes = 256u << 20;
  // Text holding more nodes and property values than this, together, is refused. Each costs
  // about a hundred bytes of memory for a byte or two of text, so without a limit a file of ";"
  // or "[]" would need many times its size; real records stay far below it (a game of 100,000
  // moves has about 200,000).
  static constexpr size_t kMaxParts = 1u << 20;

  // The first non-empty game tree of the file, or null when the path is not a readable regular
  // file or the text does not parse.
  static std::unique_ptr<SgfNode> read(const std::string& path, bool convertBig5, ParseError* error = nullptr);
  // As read, on text already in memory, with a limit of parts that may be lower.
  static std::unique_ptr<SgfNode> parse(std::string_view text, bool convertBig5, ParseError* error = nullptr,
                                        size_t maxParts = kMaxParts);
  // As parseAll, on a file; the first tree only unless all.
  static std::vector<std::unique_ptr<SgfNode>> readAll(const std::string& path, bool convertBig5,
                                                       ParseError* error = nullptr, bool all = true);
  // Every game tree of a collection, in order: the non-empty trees that follow one another from
  // the first "(", up to anything else (ignored) or to a tree that does not parse. error (when
  // given) is set when there is no tree or a tree did not parse, and the trees before it are
  // still returned.
  static std::vector<std::unique_ptr<SgfNode>> parseAll(std::string_view text, bool convertBig5,
                                                        ParseError* error = nullptr, size_t maxParts = kMaxParts);

  // As readAll, into a layout (cleared first): true when it holds a tree. The layout may be one
  // kept from file to file.
  static bool readLayout(const std::string& path, bool convertBig5, SgfLayout& layout, ParseError* error = nullptr,
                         bool all = true);

  // Writes the tree as formatFile gives it. False when the path is empty or the file cannot be
  // written completely.
  [[nodiscard]] static bool write(const std::string& path, const SgfNode& root, SgfEncoding encoding = SgfEncoding::Gb);
  // The text of a file holding the tree. GB: values as stored, and the root's CA says GBK when any
  // value holds a non-ASCII byte or the root has a CA (the tree holds GB, whatever its own file
  // declared), so that other programs read the text as the program shows it. UTF-8: every value
  // converted to UTF-8 and the root's CA says UTF-8.
  static std::string formatFile(const SgfNode& root, SgfEncoding encoding);
  // "(" + the node sequence + ")" with no white space between tokens and values as stored.
  static std::string format(const SgfNode& root);
};

}  // namespace mh
