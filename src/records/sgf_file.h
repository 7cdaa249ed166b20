#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model/sgf_node.h"
#include "platform/parse_error.h"

namespace mh {

// Reads one game tree from SGF text into an SgfNode tree and writes a tree back.
//
// Text is read as the system holds it: a byte with bit 7 set starts a two-byte character, so the
// second byte of a GB or BIG5 character never ends a value. With the BIG5 choice, each property's
// identifier and first value are converted from BIG5 to GB. UTF-8 files (root CA naming UTF-8, or
// no CA and the whole file valid UTF-8 with at least one multi-byte character) are read by UTF-8
// characters instead and every value is converted to GB; a root CA naming BIG5 acts as the BIG5
// choice, and one naming GB2312, GBK or GB18030 keeps the byte-pair reading.
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

  // Writes "(" + the node sequence + ")" with no white space between tokens and values as stored.
  // False when the path is empty or the file cannot be written completely.
  [[nodiscard]] static bool write(const std::string& path, const SgfNode& root);
  static std::string format(const SgfNode& root);
};

}  // namespace mh
