#include "model/node_transform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mh {
namespace {

SgfNode nodeOf(const std::vector<SgfProperty>& properties) {
  SgfNode node;
  for (const SgfProperty& p : properties) node.addProperty(p);
  return node;
}

std::string describe(const SgfNode& node) {
  std::string out;
  for (const SgfProperty& p : node.properties()) {
    out += p.identifier;
    for (const std::string& v : p.allValues()) out += "[" + v + "]";
  }
  return out;
}

struct NodeCase {
  const char* name;
  int kind;  // BoardTransform kind: 0 flip x, 1 flip y, 2 swap
  std::vector<SgfProperty> in;
  std::vector<SgfProperty> out;
};

class NodeTransformTest : public ::testing::TestWithParam<NodeCase> {};

TEST_P(NodeTransformTest, MapsPointsAndKeepsEverythingElse) {
  const NodeCase& c = GetParam();
  SgfNode node = nodeOf(c.in);
  const BoardTransform t(c.kind, 19, 19);
  transformNode(node, t);
  EXPECT_EQ(describe(node), describe(nodeOf(c.out))) << c.name;
  transformNode(node, t);
  EXPECT_EQ(describe(node), describe(nodeOf(c.in))) << c.name << ": twice is the identity";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NodeTransformTest,
    ::testing::Values(
        NodeCase{"marksInPlace", 0,
                 {{"C", "ab", {}}, {"TR", "aa", {"cd"}}, {"CR", " bb ", {}}, {"SQ", "ss", {}}, {"MA", "ab", {}}},
                 {{"C", "ab", {}}, {"TR", "sa", {"qd"}}, {"CR", " rb ", {}}, {"SQ", "as", {}}, {"MA", "sb", {}}}},
        NodeCase{"labelsKeepTheirText", 1,
                 {{"LB", "dd:A", {" cc :x y", "dd:", "ee:a:b"}}},
                 {{"LB", "dp:A", {" cq :x y", "dd:", "ee:a:b"}}}},
        NodeCase{"setupAndMove", 2,
                 {{"AB", "ab", {"cd"}}, {"AW", "pq", {}}, {"W", "dc", {}}},
                 {{"AB", "ba", {"dc"}}, {"AW", "qp", {}}, {"W", "cd", {}}}},
        NodeCase{"compressedListsStayRectangles", 0,
                 {{"AB", "aa:cb", {"dd"}}},
                 {{"AB", "qa:sb", {"pd"}}}},
        NodeCase{"passAndUnmappableListsStay", 0,
                 {{"B", "tt", {}}, {"TR", "aa", {"zz"}}, {"SQ", "bb", {"xyz"}}},
                 {{"B", "tt", {}}, {"TR", "aa", {"zz"}}, {"SQ", "rb", {"xyz"}}}},
        NodeCase{"sizeComesFromTheNode", 0,
                 {{"SZ", "9", {}}, {"B", "ab", {}}, {"W", "ia", {}}},
                 {{"SZ", "9", {}}, {"B", "ib", {}}, {"W", "aa", {}}}},
        NodeCase{"swapOnANodeThatIsNotSquare", 2,
                 {{"SZ", "5:3", {}}, {"TR", "ab", {}}, {"CR", "ea", {}}},
                 {{"SZ", "5:3", {}}, {"TR", "ba", {}}, {"CR", "ea", {}}}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace mh
