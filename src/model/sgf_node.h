#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/point.h"
#include "model/sgf_property.h"

namespace mh {

// The four mark properties an SGF node may carry.
enum class MarkKind { Triangle, Circle, Square, Cross };

// The SGF identifier of a mark kind: "TR", "CR", "SQ", "MA".
const char* markIdentifier(MarkKind kind);

// The node accessors of the same names (below) over a run of properties held anywhere: the first
// property with the identifier, AB/AW stones, SZ.
const SgfProperty* findSgfProperty(std::span<const SgfProperty> properties, std::string_view identifier);
bool sgfSetupStones(std::span<const SgfProperty> properties, CoordList& black, CoordList& white);
bool sgfSize(std::span<const SgfProperty> properties, int& width, int& height);

// A node of an SGF tree: an ordered list of properties (the same identifier may occur twice;
// lookups return the first) and owned children. A sequence ;A;B;C is a chain of first children;
// the main line follows first children from the root. Copies are deep. Destruction, copying and
// flattening are iterative, so a chain of any length cannot overflow the stack.
class SgfNode {
 public:
  SgfNode() = default;
  ~SgfNode();
  SgfNode(const SgfNode& other);
  SgfNode& operator=(const SgfNode& other);
  SgfNode(SgfNode&& other) noexcept;
  SgfNode& operator=(SgfNode&& other) noexcept;

  // Tree operations.
  const std::vector<SgfProperty>& properties() const { return properties_; }
  // First property with exactly this identifier (case-sensitive), or null. Valid until the
  // property list changes.
  SgfProperty* findProperty(std::string_view identifier);
  const SgfProperty* findProperty(std::string_view identifier) const;
  // Deletes the first property with this identifier; false when there is none.
  bool removeProperty(std::string_view identifier);
  // Replaces the first value of the first such property, or appends a new property at the end.
  void setValue(std::string_view identifier, std::string_view text);
  // Appends a property (duplicates allowed, as read from a file).
  void addProperty(SgfProperty property) { properties_.push_back(std::move(property)); }
  // Appends a child and makes this node its parent; returns the child.
  SgfNode* addChild(std::unique_ptr<SgfNode> child);
  SgfNode* addChild() { return addChild(std::make_unique<SgfNode>()); }
  SgfNode* parent() const { return parent_; }
  const std::vector<std::unique_ptr<SgfNode>>& children() const { return children_; }
  SgfNode* firstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
  // Follows first children from this node to a node without children.
  SgfNode* mainLineEnd();
  // This node, then each child's subtree in order (pre-order).
  std::vector<SgfNode*> flatten();
  std::vector<const SgfNode*> flatten() const;
  // Clears this node's properties, then deep-copies the other's; children are not touched.
  void copyProperties(const SgfNode& other);
  // Deletes every property and child.
  void clear();
  bool empty() const { return properties_.empty() && children_.empty(); }

  // Accessors: each returns false when its property is absent.
  // The first value of C, or an empty string.
  std::string comment() const;
  // Trimmed values of exactly two characters; compressed lists such as aa:cc are ignored.
  bool marks(MarkKind kind, CoordList& out) const;
  // LB values "pt:text": exactly two pieces, the first trimmed to exactly two characters; the
  // second, untrimmed, is the text.
  bool labels(CoordList& points, std::vector<std::string>& texts) const;
  // AB and AW values of exactly two characters (after trimming); true when either is present.
  bool setupStones(CoordList& black, CoordList& white) const;
  // Colour (1 for B, tested first; 2 for W) and the letters of the first value.
  bool move(int& colour, Coord& at) const;
  // SZ: one piece gives a square size, two give width and height.
  bool size(int& width, int& height) const;

  // Writers. Points are written as two letters on a board of the given width.
  void writeMove(int colour, Point p, int width);
  void writeSetup(const PointList& black, const PointList& white, int width);
  void writeMarks(MarkKind kind, const PointList& points, int width);
  void writeLabels(const PointList& points, const std::vector<std::string>& texts, int width);
  void writeSize(int width, int height);
  void writeResult(std::string_view text);
  void writePlayerNames(std::string_view black, std::string_view white);

  // Properties and children compared deeply.
  friend bool operator==(const SgfNode& a, const SgfNode& b);

 private:
  // Removes the first property with this id, then appends one holding the points (none when
  // the list is empty).
  void writePointList(std::string_view identifier, const PointList& points, int width);
  void stealFrom(SgfNode& other) noexcept;
  void deleteChildren() noexcept;

  std::vector<SgfProperty> properties_;
  SgfNode* parent_ = nullptr;
  std::vector<std::unique_ptr<SgfNode>> children_;
};

}  // namespace mh
