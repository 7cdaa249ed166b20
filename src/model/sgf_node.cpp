#include "model/sgf_node.h"

#include <utility>

#include "model/sgf_value.h"

namespace mh {

const char* markIdentifier(MarkKind kind) {
  switch (kind) {
    case MarkKind::Triangle: return "TR";
    case MarkKind::Circle: return "CR";
    case MarkKind::Square: return "SQ";
    case MarkKind::Cross: return "MA";
  }
  return "";
}

const SgfProperty* findSgfProperty(std::span<const SgfProperty> properties, std::string_view identifier) {
  for (const SgfProperty& p : properties)
    if (p.identifier == identifier) return &p;
  return nullptr;
}

bool sgfSetupStones(std::span<const SgfProperty> properties, CoordList& black, CoordList& white) {
  black.clear();
  white.clear();
  const SgfProperty* ab = findSgfProperty(properties, "AB");
  const SgfProperty* aw = findSgfProperty(properties, "AW");
  const auto take = [](const SgfProperty& p, CoordList& out) {
    if (auto c = sgf::parseCoord(p.value)) out.push_back(*c);
    for (const std::string& v : p.moreValues)
      if (auto c = sgf::parseCoord(v)) out.push_back(*c);
  };
  if (ab) take(*ab, black);
  if (aw) take(*aw, white);
  return ab || aw;
}

bool sgfSize(std::span<const SgfProperty> properties, int& width, int& height) {
  const SgfProperty* p = findSgfProperty(properties, "SZ");
  if (!p) return false;
  const auto pieces = sgf::splitAtColons(p->value);
  if (pieces.size() == 1) {
    const auto v = sgf::parseInt(pieces[0]);
    if (!v) return false;
    width = height = *v;
    return true;
  }
  if (pieces.size() == 2) {
    const auto w = sgf::parseInt(pieces[0]);
    const auto h = sgf::parseInt(pieces[1]);
    if (!w || !h) return false;
    width = *w;
    height = *h;
    return true;
  }
  return false;
}

SgfNode::~SgfNode() { deleteChildren(); }

void SgfNode::deleteChildren() noexcept {
  // Unlink subtrees onto an explicit stack so that each node dies without children.
  std::vector<std::unique_ptr<SgfNode>> pending = std::move(children_);
  children_.clear();
  while (!pending.empty()) {
    std::unique_ptr<SgfNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& c : node->children_) pending.push_back(std::move(c));
    node->children_.clear();
  }
}

SgfNode::SgfNode(const SgfNode& other) : properties_(other.properties_) {
  std::vector<std::pair<const SgfNode*, SgfNode*>> work{{&other, this}};
  while (!work.empty()) {
    auto [src, dst] = work.back();
    work.pop_back();
    for (const auto& c : src->children_) {
      auto copy = std::make_unique<SgfNode>();
      copy->properties_ = c->properties_;
      SgfNode* added = dst->addChild(std::move(copy));
      work.emplace_back(c.get(), added);
    }
  }
}

SgfNode& SgfNode::operator=(const SgfNode& other) {
  if (this != &other) {
    SgfNode copy(other);
    deleteChildren();
    stealFrom(copy);
  }
  return *this;
}

SgfNode::SgfNode(SgfNode&& other) noexcept { stealFrom(other); }

SgfNode& SgfNode::operator=(SgfNode&& other) noexcept {
  if (this != &other) {
    deleteChildren();
    stealFrom(other);
  }
  return *this;
}

void SgfNode::stealFrom(SgfNode& other) noexcept {
  properties_ = std::move(other.properties_);
  children_ = std::move(other.children_);
  other.properties_.clear();
  other.children_.clear();
  for (auto& c : children_) c->parent_ = this;
}

SgfProperty* SgfNode::findProperty(std::string_view identifier) {
  for (auto& p : properties_)
    if (p.identifier == identifier) return &p;
  return nullptr;
}

const SgfProperty* SgfNode::findProperty(std::string_view identifier) const {
  return findSgfProperty(properties_, identifier);
}

bool SgfNode::removeProperty(std::string_view identifier) {
  for (auto it = properties_.begin(); it != properties_.end(); ++it) {
    if (it->identifier == identifier) {
      properties_.erase(it);
      return true;
    }
  }
  return false;
}

void SgfNode::setValue(std::string_view identifier, std::string_view text) {
  if (SgfProperty* p = findProperty(identifier)) {
    p->value = std::string(text);
    return;
  }
  properties_.push_back(SgfProperty{std::string(identifier), std::string(text), {}});
}

SgfNode* SgfNode::addChild(std::unique_ptr<SgfNode> child) {
  child->parent_ = this;
  children_.push_back(std::move(child));
  return children_.back().get();
}

SgfNode* SgfNode::mainLineEnd() {
  SgfNode* node = this;
  while (!node->children_.empty()) node = node->children_.front().get();
  return node;
}

std::vector<SgfNode*> SgfNode::flatten() {
  std::vector<SgfNode*> out;
  std::vector<SgfNode*> stack{this};
  while (!stack.empty()) {
    SgfNode* n = stack.back();
    stack.pop_back();
    out.push_back(n);
    for (auto it = n->children_.rbegin(); it != n->children_.rend(); ++it) stack.push_back(it->get());
  }
  return out;
}

std::vector<const SgfNode*> SgfNode::flatten() const {
  auto nodes = const_cast<SgfNode*>(this)->flatten();
  return {nodes.begin(), nodes.end()};
}

void SgfNode::copyProperties(const SgfNode& other) {
  if (this == &other) return;
  properties_ = other.properties_;
}

void SgfNode::clear() {
  properties_.clear();
  deleteChildren();
}

std::string SgfNode::comment() const {
  const SgfProperty* c = findProperty("C");
  return c ? c->value : std::string();
}

bool SgfNode::marks(MarkKind kind, CoordList& out) const {
  out.clear();
  const SgfProperty* p = findProperty(markIdentifier(kind));
  if (!p) return false;
  for (const std::string& v : p->allValues())
    if (auto c = sgf::parseCoord(v)) out.push_back(*c);
  return true;
}

bool SgfNode::labels(CoordList& points, std::vector<std::string>& texts) const {
  points.clear();
  texts.clear();
  const SgfProperty* p = findProperty("LB");
  if (!p) return false;
  for (const std::string& v : p->allValues()) {
    const auto pieces = sgf::splitAtColons(v);
    if (pieces.size() != 2) continue;
    const auto c = sgf::parseCoord(pieces[0]);
    if (!c) continue;
    points.push_back(*c);
    texts.emplace_back(pieces[1]);
  }
  return true;
}

bool SgfNode::setupStones(CoordList& black, CoordList& white) const { return sgfSetupStones(properties_, black, white); }

bool SgfNode::move(int& colour, Coord& at) const {
  const SgfProperty* p = findProperty("B");
  colour = Black;
  if (!p) {
    p = findProperty("W");
    colour = White;
  }
  if (!p) {
    colour = Empty;
    return false;
  }
  const auto c = sgf::parseCoord(p->value);
  if (!c) return false;
  at = *c;
  return true;
}

bool SgfNode::size(int& width, int& height) const { return sgfSize(properties_, width, height); }

void SgfNode::writeMove(int colour, Point p, int width) {
  removeProperty("B");
  removeProperty("W");
  std::string text = p >= 0 ? sgf::pointText(p, width) : sgf::passText(width);
  properties_.push_back(SgfProperty{colour == Black ? "B" : "W", std::move(text), {}});
}

void SgfNode::writePointList(std::string_view identifier, const PointList& points, int width) {
  removeProperty(identifier);
  if (points.empty()) return;
  SgfProperty prop{std::string(identifier), sgf::pointText(points.front(), width), {}};
  for (size_t i = 1; i < points.size(); ++i) prop.moreValues.push_back(sgf::pointText(points[i], width));
  properties_.push_back(std::move(prop));
}

void SgfNode::writeSetup(const PointList& black, const PointList& white, int width) {
  writePointList("AB", black, width);
  writePointList("AW", white, width);
}

void SgfNode::writeMarks(MarkKind kind, const PointList& points, int width) {
  writePointList(markIdentifier(kind), points, width);
}

void SgfNode::writeLabels(const PointList& points, const std::vector<std::string>& texts, int width) {
  removeProperty("LB");
  if (points.empty()) return;
  auto label = [&](size_t i) {
    return sgf::pointText(points[i], width) + ":" + (i < texts.size() ? texts[i] : std::string());
  };
  SgfProperty prop{"LB", label(0), {}};
  for (size_t i = 1; i < points.size(); ++i) prop.moreValues.push_back(label(i));
  properties_.push_back(std::move(prop));
}

void SgfNode::writeSize(int width, int height) {
  setValue("SZ", width == height ? std::to_string(width) : std::to_string(width) + ":" + std::to_string(height));
}

void SgfNode::writeResult(std::string_view text) { setValue("RE", text); }

void SgfNode::writePlayerNames(std::string_view black, std::string_view white) {
  setValue("PB", black);
  setValue("PW", white);
}

bool operator==(const SgfNode& a, const SgfNode& b) {
  std::vector<std::pair<const SgfNode*, const SgfNode*>> work{{&a, &b}};
  while (!work.empty()) {
    auto [x, y] = work.back();
    work.pop_back();
    if (x->properties_ != y->properties_ || x->children_.size() != y->children_.size()) return false;
    for (size_t i = 0; i < x->children_.size(); ++i) work.emplace_back(x->children_[i].get(), y->children_[i].get());
  }
  return true;
}

}  // namespace mh
