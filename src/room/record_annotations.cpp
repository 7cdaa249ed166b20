#include "room/record_annotations.h"

#include <utility>
#include <vector>

namespace mh {

namespace {

bool onBoard(const Coord& c, int width, int height) { return c.x >= 0 && c.x < width && c.y >= 0 && c.y < height; }

}  // namespace

std::string addRecordAnnotations(const SgfNode& node, int width, int height, BoardAnnotations& out) {
  static constexpr std::pair<MarkKind, int> kMarks[] = {
      {MarkKind::Triangle, kMarkTriangle}, {MarkKind::Circle, kMarkCircle},
      {MarkKind::Square, kMarkSquare},     {MarkKind::Cross, kMarkCross}};
  CoordList coords;
  for (const auto& [property, kind] : kMarks) {
    if (!node.marks(property, coords)) continue;
    for (const Coord& c : coords)
      if (onBoard(c, width, height)) out.addMark(c.x + width * c.y, kind);
  }
  std::vector<std::string> texts;
  if (node.labels(coords, texts)) {
    for (size_t i = 0; i < coords.size() && i < texts.size(); ++i)
      if (onBoard(coords[i], width, height)) (void)out.addLabel(coords[i].x + width * coords[i].y, kBlue, texts[i]);
  }
  return node.comment();
}

std::string appendComment(std::string text, const std::string& comment) {
  if (comment.empty()) return text;
  if (!text.empty()) text += "\r\n---------------\r\n\r\n";
  return text + comment;
}

}  // namespace mh
