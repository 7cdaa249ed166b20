#include "records/sgf_conversion.h"

#include <span>
#include <utility>

#include "model/sgf_value.h"
#include "platform/ascii_text.h"
#include "platform/text_codec.h"
#include "records/sgf_file.h"

namespace mh {

namespace {

// GB bytes of the texts the result rules compare with and produce.
constexpr std::string_view kDrawText = "\xBA\xCD\xC6\xE5";   // 和棋
constexpr std::string_view kWhiteWins = "\xB0\xD7\xCA\xA4";  // 白胜
constexpr std::string_view kBlackWins = "\xBA\xDA\xCA\xA4";  // 黑胜

// Points of two-letter values, in order, up to the first pair off the board's left, right or top
// edge; pairs below the bottom edge are skipped.
PointList setupPoints(const CoordList& coords, int width, int height) {
  PointList points;
  for (const Coord& c : coords) {
    if (c.x < 0 || c.x >= width || c.y < 0) break;
    if (c.y >= height) continue;
    points.push_back(c.x + width * c.y);
  }
  return points;
}

void copyText(GameInfo& info, GameInfo::Field field, std::span<const SgfProperty> root, std::string_view identifier) {
  if (const SgfProperty* p = findSgfProperty(root, identifier)) info.setText(field, p->value);
}

// A main-line node of either form of a tree: its properties and its first child (empty at the
// end of the line).
struct TreeNode {
  const SgfNode* node;
  explicit operator bool() const { return node != nullptr; }
  std::span<const SgfProperty> properties() const { return node->properties(); }
  TreeNode firstChild() const { return {node->firstChild()}; }
};
struct LayoutNode {
  const SgfLayout* layout;
  std::int32_t node;
  explicit operator bool() const { return node >= 0; }
  std::span<const SgfProperty> properties() const { return layout->properties(node); }
  LayoutNode firstChild() const { return {layout, layout->firstChild(node)}; }
};

// The record of the tree at root; each entry's properties are left to keep(entry, node).
template <typename Node, typename Keep>
bool toRecord(Node root, GameRecord& record, Keep keep) {
  record.clear();
  const std::span<const SgfProperty> top = root.properties();
  GameInfo& info = record.info();
  copyText(info, GameInfo::kGameName, top, "GN");
  copyText(info, GameInfo::kBlackName, top, "PB");
  copyText(info, GameInfo::kBlackRank, top, "BR");
  copyText(info, GameInfo::kWhiteName, top, "PW");
  copyText(info, GameInfo::kWhiteRank, top, "WR");
  copyText(info, GameInfo::kRules, top, "RU");
  if (const SgfProperty* re = findSgfProperty(top, "RE")) {
    const SgfResult result = parseSgfResult(re->value);
    info.setWinner(result.winner);
    info.setText(GameInfo::kResultText, result.text, GameInfo::kResultTextLimit);
  }

  int width = 19, height = 19;
  if (!sgfSize(top, width, height)) width = height = 19;
  if (width < 1 || width > kMaxSgfBoardSide || height < 1 || height > kMaxSgfBoardSide) return false;
  if (!record.setSize(width, height)) return false;

  CoordList blackStones, whiteStones;
  sgfSetupStones(top, blackStones, whiteStones);
  record.initialPosition().setPoints(setupPoints(blackStones, width, height), Black);
  record.initialPosition().setPoints(setupPoints(whiteStones, width, height), White);

  for (Node node = root.firstChild(); node; node = node.firstChild()) {
    const std::span<const SgfProperty> properties = node.properties();
    // Filled where it stays: an entry holds a node of properties, dear to move.
    MoveEntry& e = record.entries().emplace_back();
    e.flags = 0;
    // One pass finds the first B, the first W and whether there is setup: a record has a node
    // for every move, and looking each up on its own cost more than the rest of the entry.
    const SgfProperty* black = nullptr;
    const SgfProperty* white = nullptr;
    bool setup = false;
    for (const SgfProperty& p : properties) {
      const std::string& id = p.identifier;
      if (id == "B") black = black ? black : &p;
      else if (id == "W") white = white ? white : &p;
      else if (id == "AB" || id == "AW") setup = true;
    }
    const SgfProperty* move = black ? black : white;
    e.colour = black ? Black : White;
    if (move) {
      const std::string_view letters = sgf::trim(move->value);
      e.point = kNoPoint;
      if (letters.size() == 2) {
        const Coord c = *sgf::parseCoord(letters);
        if (c.x >= 0 && c.x < width && c.y >= 0 && c.y < height) e.point = c.x + width * c.y;
      } else if (!letters.empty()) {
        record.entries().pop_back();  // a failed record keeps only the entries it converted
        return false;
      }
      e.flags |= MoveEntry::kMove;
    }
    if (setup && sgfSetupStones(properties, blackStones, whiteStones)) {
      e.blackSetup = setupPoints(blackStones, width, height);
      e.whiteSetup = setupPoints(whiteStones, width, height);
      e.flags |= MoveEntry::kSetup;
    }
    if (e.flags == 0) e.flags = MoveEntry::kSetup;  // comment or marks only: keep the position
    if (!e.hasMove()) e.colour = Black;
    keep(e, node);
  }
  return true;
}

// The RE value of a bare winner code.
std::string_view resultCodeValue(int code) { return code == 0 ? "0" : code == 1 ? "B+" : code == 2 ? "W+" : ""; }

bool writeRecord(const GameRecord& record, std::optional<int> resultCode, SgfNode& root) {
  const int width = record.width();
  if (width <= 0) return false;
  if (resultCode) root.setValue("RE", resultCodeValue(*resultCode));
  root.writeSize(width, record.height());
  PointList black, white;
  record.initialPosition().pointsOfValue(Black, black);
  record.initialPosition().pointsOfValue(White, white);
  root.writeSetup(black, white, width);

  SgfNode* tail = &root;
  for (const MoveEntry& e : record.entries()) {
    auto node = std::make_unique<SgfNode>();
    if (e.hasMove()) node->writeMove(e.colour == Black ? Black : White, e.point, width);
    if (e.hasSetup()) node->writeSetup(e.blackSetup, e.whiteSetup, width);
    if (node->properties().empty()) continue;
    tail = tail->addChild(std::move(node));
  }
  return true;
}

}  // namespace

SgfResult parseSgfResult(std::string_view value) {
  const std::string_view v = sgf::trim(value);
  if (v == "0" || ascii::equalsIgnoringCase(v, "draw") || v.substr(0, kDrawText.size()) == kDrawText)
    return {GameInfo::NoWinner, std::string(kDrawText)};
  const auto keep = [&](std::string_view fallback) {
    return v.size() < GameInfo::kResultTextLimit ? std::string(v) : std::string(fallback);
  };
  if (ascii::startsWithIgnoringCase(v, "W+") || v.substr(0, kWhiteWins.size()) == kWhiteWins)
    return {GameInfo::WhiteWins, keep("W+")};
  if (ascii::startsWithIgnoringCase(v, "B+") || v.substr(0, kBlackWins.size()) == kBlackWins)
    return {GameInfo::BlackWins, keep("B+")};
  return {};
}

bool sgfToRecord(const SgfNode& root, GameRecord& record) {
  return toRecord(TreeNode{&root}, record, [](MoveEntry& e, TreeNode node) { e.properties.copyProperties(*node.node); });
}

bool sgfToRecord(const SgfLayout& layout, std::int32_t root, GameRecord& record) {
  size_t entries = 0;
  for (std::int32_t n = layout.firstChild(root); n >= 0; n = layout.firstChild(n)) ++entries;
  record.entries().reserve(entries);
  return toRecord(LayoutNode{&layout, root}, record, [](MoveEntry&, LayoutNode) {});
}

bool recordToSgf(const GameRecord& record, std::optional<int> resultCode, SgfNode& root) {
  root.clear();
  return writeRecord(record, resultCode, root);
}

bool roomToSgf(const GameRecord& record, std::string_view blackName, std::string_view whiteName,
               std::optional<int> resultCode, SgfNode& root) {
  root.clear();
  if (text::hasHighBytes(blackName) || text::hasHighBytes(whiteName)) root.setValue("CA", "GBK");
  if (!blackName.empty()) root.setValue("PB", blackName);
  if (!whiteName.empty()) root.setValue("PW", whiteName);
  return writeRecord(record, resultCode, root);
}

std::string sgfResultValue(const GameInfo& info) {
  const int code = info.winner();
  const std::string text = info.resultText();
  if ((code == GameInfo::BlackWins || code == GameInfo::WhiteWins) && !text.empty()) {
    const SgfResult back = parseSgfResult(text);
    if (!back.text.empty() && back.winner == code) return text;
  }
  return std::string(resultCodeValue(code));
}

bool saveRecordAsSgf(const GameRecord& record, const std::string& path, SgfEncoding encoding) {
  SgfNode root;
  const GameInfo& info = record.info();
  if (!roomToSgf(record, info.blackName(), info.whiteName(), info.winner(), root)) return false;
  // The writer declares the charset it writes, so a count's GB result text reads back as GB.
  root.writeResult(sgfResultValue(info));
  return SgfFile::write(path, root, encoding);
}

bool exportDefaultSgf(const GameRecord& record, const std::string& directory) {
  SgfNode root;
  if (!recordToSgf(record, std::nullopt, root)) return false;
  std::string path = directory;
  if (!path.empty() && path.back() != '/') path += '/';
  return SgfFile::write(path + kDefaultSgfName, root);
}

}  // namespace mh
