#include "model/node_transform.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "model/sgf_value.h"

namespace mh {

namespace {

// The image of c, or nothing when c or its image lies off the transform's board.
std::optional<Coord> mapCoord(const BoardTransform& t, Coord c) {
  const auto m = t.map(c.x, c.y);
  if (!m || m->x < 0 || m->y < 0 || m->x >= t.width || m->y >= t.height) return std::nullopt;
  return m;
}

// Replaces the two letters of the point held (after trimming) in piece, a view into value.
// False when piece does not hold a point or the point has no image.
bool mapPointPiece(const BoardTransform& t, std::string& value, std::string_view piece) {
  const std::string_view letters = sgf::trim(piece);
  const auto c = sgf::parseCoord(letters);
  if (!c) return false;
  const auto m = mapCoord(t, *c);
  if (!m) return false;
  value.replace(static_cast<size_t>(letters.data() - value.data()), 2, sgf::coordText(*m));
  return true;
}

enum class ValueResult { Mapped, NotAPoint, Unmappable };

// A value of a point list: a single point, or a compressed rectangle "aa:cc".
ValueResult mapListValue(const BoardTransform& t, std::string& value) {
  if (sgf::trim(value).size() == 2)
    return mapPointPiece(t, value, value) ? ValueResult::Mapped : ValueResult::Unmappable;
  const auto pieces = sgf::splitAtColons(value);
  if (pieces.size() != 2) return ValueResult::NotAPoint;
  const auto a = sgf::parseCoord(pieces[0]);
  const auto b = sgf::parseCoord(pieces[1]);
  if (!a || !b) return ValueResult::NotAPoint;
  const auto ma = mapCoord(t, *a);
  const auto mb = mapCoord(t, *b);
  if (!ma || !mb) return ValueResult::Unmappable;
  // A flipped rectangle keeps its extent; write it upper-left corner first again.
  const Coord low{std::min(ma->x, mb->x), std::min(ma->y, mb->y)};
  const Coord high{std::max(ma->x, mb->x), std::max(ma->y, mb->y)};
  value = sgf::coordText(low) + ":" + sgf::coordText(high);
  return ValueResult::Mapped;
}

// A label "pt:text": only the point changes.
ValueResult mapLabelValue(const BoardTransform& t, std::string& value) {
  const auto pieces = sgf::splitAtColons(value);
  if (pieces.size() != 2 || !sgf::parseCoord(pieces[0])) return ValueResult::NotAPoint;
  return mapPointPiece(t, value, pieces[0]) ? ValueResult::Mapped : ValueResult::Unmappable;
}

ValueResult mapMoveValue(const BoardTransform& t, std::string& value) {
  if (!sgf::parseCoord(value)) return ValueResult::NotAPoint;
  return mapPointPiece(t, value, value) ? ValueResult::Mapped : ValueResult::Unmappable;
}

using ValueMapper = ValueResult (*)(const BoardTransform&, std::string&);

// Maps the values of the node's first property with this identifier; leaves the property
// untouched when one of its points has no image.
void mapProperty(SgfNode& node, std::string_view identifier, const BoardTransform& t, ValueMapper mapValue,
                 bool firstValueOnly) {
  SgfProperty* property = node.findProperty(identifier);
  if (!property) return;
  SgfProperty mapped = *property;
  if (mapValue(t, mapped.value) == ValueResult::Unmappable) return;
  if (!firstValueOnly)
    for (std::string& v : mapped.moreValues)
      if (mapValue(t, v) == ValueResult::Unmappable) return;
  *property = std::move(mapped);
}

}  // namespace

void transformNode(SgfNode& node, const BoardTransform& transform) {
  BoardTransform t = transform;
  int width = 0;
  int height = 0;
  if (node.size(width, height)) {
    t.width = width;
    t.height = height;
  }
  for (const char* id : {"TR", "CR", "SQ", "MA"}) mapProperty(node, id, t, mapListValue, false);
  mapProperty(node, "LB", t, mapLabelValue, false);
  mapProperty(node, "AB", t, mapListValue, false);
  mapProperty(node, "AW", t, mapListValue, false);
  mapProperty(node, "B", t, mapMoveValue, true);
  mapProperty(node, "W", t, mapMoveValue, true);
}

}  // namespace mh
