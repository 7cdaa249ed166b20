#include "platform/growing_pages.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace mh {
namespace {

// Items keep their values and places across page boundaries, through growing, filling and
// dropping; memory stays within a page of the items.
TEST(GrowingPagesTest, ItemsStayPutAcrossPages) {
  GrowingPages<std::int32_t, 8> a;
  for (std::int32_t i = 0; i < 20; ++i) a.push_back(i * 3);
  const std::int32_t* tenth = &a[10];
  for (std::int32_t i = 20; i < 100; ++i) a.push_back(i * 3);
  EXPECT_EQ(&a[10], tenth);  // growing never moves an item
  ASSERT_EQ(a.size(), 100u);
  EXPECT_EQ(a.capacity(), 104u);
  for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i], static_cast<std::int32_t>(i * 3)) << i;
  EXPECT_EQ(a.back(), 297);

  a.resize(103, -1);
  EXPECT_EQ(a[99], 297);
  EXPECT_EQ(a[102], -1);
  a.resize(50, -1);
  EXPECT_EQ(a.size(), 50u);
  EXPECT_EQ(a.back(), 147);
  a.push_back(7);
  EXPECT_EQ(a[50], 7);
  a.clear();
  EXPECT_TRUE(a.empty());
  EXPECT_EQ(a.capacity(), 0u);
}

}  // namespace
}  // namespace mh
