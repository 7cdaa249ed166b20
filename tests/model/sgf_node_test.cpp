#include "model/sgf_node.h"

#include <gtest/gtest.h>

namespace mh {
namespace {

SgfProperty prop(std::string id, std::string first, std::vector<std::string> more = {}) {
  return SgfProperty{std::move(id), std::move(first), std::move(more)};
}

TEST(SgfNode, LookupsReturnTheFirstMatchAndAreCaseSensitive) {
  SgfNode n;
  n.addProperty(prop("C", "first"));
  n.addProperty(prop("C", "second"));
  EXPECT_EQ(n.comment(), "first");
  EXPECT_EQ(n.findProperty("c"), nullptr);
  EXPECT_TRUE(n.removeProperty("C"));
  EXPECT_EQ(n.comment(), "second");
  EXPECT_TRUE(n.removeProperty("C"));
  EXPECT_FALSE(n.removeProperty("C"));
  EXPECT_EQ(n.comment(), "");
}

TEST(SgfNode, SetValueKeepsThePlaceOfAnExistingProperty) {
  SgfNode n;
  n.addProperty(prop("PB", "a", {"x"}));
  n.addProperty(prop("PW", "b"));
  n.writePlayerNames("black", "white");
  n.writeResult("B+R");
  ASSERT_EQ(n.properties().size(), 3u);
  EXPECT_EQ(n.properties()[0], prop("PB", "black", {"x"}));
  EXPECT_EQ(n.properties()[1], prop("PW", "white"));
  EXPECT_EQ(n.properties()[2], prop("RE", "B+R"));
}

TEST(SgfNode, MarksAcceptOnlyTwoLetterValues) {
  SgfNode n;
  n.addProperty(prop("TR", " cd ", {"abc", "aa:cc", "ef"}));
  CoordList out{{9, 9}};
  ASSERT_TRUE(n.marks(MarkKind::Triangle, out));
  EXPECT_EQ(out, (CoordList{{2, 3}, {4, 5}}));
  EXPECT_FALSE(n.marks(MarkKind::Circle, out));
  EXPECT_TRUE(out.empty());
}

TEST(SgfNode, LabelsNeedExactlyTwoPiecesAndATwoLetterPoint) {
  struct Case {
    const char* value;
    bool kept;
    Coord at;
    const char* text;
  };
  const Case cases[] = {
      {"dd:A", true, {3, 3}, "A"},
      {"dd: B ", true, {3, 3}, " B "},
      {" dd :x", true, {3, 3}, "x"},
      {"dd::A", true, {3, 3}, "A"},
      {":dd:A:", true, {3, 3}, "A"},
      {"dd:", false, {}, ""},
      {"dd:a:b", false, {}, ""},
      {"ddd:A", false, {}, ""},
  };
  for (const Case& c : cases) {
    SgfNode n;
    n.addProperty(prop("LB", c.value));
    CoordList points;
    std::vector<std::string> texts;
    ASSERT_TRUE(n.labels(points, texts)) << c.value;
    ASSERT_EQ(points.size(), c.kept ? 1u : 0u) << c.value;
    if (c.kept) {
      EXPECT_EQ(points[0], c.at) << c.value;
      EXPECT_EQ(texts[0], c.text) << c.value;
    }
  }
}

TEST(SgfNode, WritersRoundTripThroughTheAccessors) {
  SgfNode n;
  n.writeMarks(MarkKind::Square, {0, 20, 360}, 19);
  n.writeLabels({60, 61}, {"A", "1"}, 19);
  n.writeSetup({3, 4}, {}, 19);
  n.writeMove(White, 72, 19);
  n.writeSize(19, 13);

  CoordList sq;
  ASSERT_TRUE(n.marks(MarkKind::Square, sq));
  EXPECT_EQ(sq, (CoordList{{0, 0}, {1, 1}, {18, 18}}));
  CoordList lp;
  std::vector<std::string> lt;
  ASSERT_TRUE(n.labels(lp, lt));
  EXPECT_EQ(lp, (CoordList{{3, 3}, {4, 3}}));
  EXPECT_EQ(lt, (std::vector<std::string>{"A", "1"}));
  CoordList black, white;
  ASSERT_TRUE(n.setupStones(black, white));
  EXPECT_EQ(black, (CoordList{{3, 0}, {4, 0}}));
  EXPECT_TRUE(white.empty());
  EXPECT_EQ(n.findProperty("AW"), nullptr) << "an empty list writes no property";
  int colour = 0;
  Coord at;
  ASSERT_TRUE(n.move(colour, at));
  EXPECT_EQ(colour, White);
  EXPECT_EQ(at, (Coord{15, 3}));
  int w = 0, h = 0;
  ASSERT_TRUE(n.size(w, h));
  EXPECT_EQ(w, 19);
  EXPECT_EQ(h, 13);

  n.writeMarks(MarkKind::Square, {}, 19);
  EXPECT_EQ(n.findProperty("SQ"), nullptr) << "writing an empty list removes the old property";
  n.writeMove(Black, kNoPoint, 19);
  EXPECT_EQ(n.findProperty("W"), nullptr);
  ASSERT_NE(n.findProperty("B"), nullptr);
  EXPECT_EQ(n.findProperty("B")->value, "tt");
}

TEST(SgfNode, SizeAccessorSplitsAtColons) {
  struct Case {
    const char* value;
    bool ok;
    int w, h;
  };
  const Case cases[] = {{"19", true, 19, 19}, {"19:13", true, 19, 13}, {" 9 ", true, 9, 9},
                        {"::7::", true, 7, 7},  {"", false, 0, 0},       {"1:2:3", false, 0, 0},
                        {"x", false, 0, 0},     {"99999999999", false, 0, 0}};
  for (const Case& c : cases) {
    SgfNode n;
    n.setValue("SZ", c.value);
    int w = 0, h = 0;
    EXPECT_EQ(n.size(w, h), c.ok) << c.value;
    if (c.ok) {
      EXPECT_EQ(w, c.w) << c.value;
      EXPECT_EQ(h, c.h) << c.value;
    }
  }
}

TEST(SgfNode, CopyPropertiesReplacesExactlyAndLeavesChildren) {
  SgfNode source, target;
  source.addProperty(prop("B", "aa"));
  source.addProperty(prop("C", "x", {"y"}));
  source.addChild();
  target.addProperty(prop("W", "bb"));
  target.addChild();
  target.addChild();
  target.copyProperties(source);
  EXPECT_EQ(target.properties(), source.properties());
  EXPECT_EQ(target.children().size(), 2u);
}

TEST(SgfNode, TreeOperationsFollowTheMainLine) {
  SgfNode root;
  root.setValue("SZ", "19");
  SgfNode* a = root.addChild();
  a->setValue("B", "aa");
  SgfNode* b = a->addChild();
  b->setValue("W", "bb");
  SgfNode* variation = a->addChild();
  variation->setValue("W", "cc");
  EXPECT_EQ(root.mainLineEnd(), b);
  EXPECT_EQ(b->parent(), a);
  EXPECT_EQ(root.firstChild(), a);
  const auto order = root.flatten();
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ(order[0], &root);
  EXPECT_EQ(order[2], b);
  EXPECT_EQ(order[3], variation);

  SgfNode copy = root;
  EXPECT_EQ(copy, root);
  EXPECT_EQ(copy.firstChild()->parent(), &copy);
  copy.firstChild()->setValue("B", "dd");
  EXPECT_NE(copy, root);

  SgfNode moved = std::move(copy);
  EXPECT_EQ(moved.firstChild()->parent(), &moved) << "children follow a moved node";
  root.clear();
  EXPECT_TRUE(root.empty());
}

TEST(SgfNode, VeryLongChainsCopyCompareAndDieWithoutRecursion) {
  SgfNode root;
  SgfNode* tail = &root;
  for (int i = 0; i < 300000; ++i) {
    tail = tail->addChild();
    tail->setValue("B", "aa");
  }
  SgfNode copy = root;
  EXPECT_EQ(copy, root);
  EXPECT_EQ(root.flatten().size(), 300001u);
}

}  // namespace
}  // namespace mh
