#include "platform/paged_array.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace mh {
namespace {

// Arrays from the heap, from small pages, of whole large pages and just past a large page all
// start zeroed, hold what is written to their last element, and can be laid again over what they
// held. Arrays of a large page or more start on a large-page boundary, where the system can give
// them large pages.
TEST(PagedArray, StartsZeroedAndHoldsWhatIsWritten) {
  constexpr size_t kLargePage = size_t{2} << 20;
  const size_t counts[] = {1,
                           1000,
                           PagedMemory::kHeapBelow / sizeof(std::uint64_t),
                           100'000,
                           kLargePage / sizeof(std::uint64_t),
                           kLargePage / 8 + 1,
                           3 * kLargePage / 8 - 5};
  for (const size_t count : counts) {
    PagedArray<std::uint64_t> a;
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(a.allocate(count)) << count;
      ASSERT_EQ(a.size(), count);
      EXPECT_TRUE(std::all_of(a.data(), a.data() + count, [](std::uint64_t v) { return v == 0; })) << count;
      a[0] = 7;
      a[count - 1] = 0x0123456789abcdefu;
      EXPECT_EQ(a[count - 1], 0x0123456789abcdefu) << count;
      if (count * sizeof(std::uint64_t) >= kLargePage) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a.data()) % kLargePage, 0u) << count;
      }
    }
  }
}

// Memory to be written whole takes its last large page whole; it still starts aligned and zeroed,
// and every byte asked for can be written.
TEST(PagedArray, MemoryFilledWholeHoldsEveryByteAskedFor) {
  constexpr size_t kLargePage = size_t{2} << 20;
  for (const size_t bytes : {size_t{100}, kLargePage, kLargePage + 1, 3 * kLargePage - 5}) {
    PagedMemory m;
    ASSERT_TRUE(m.allocate(bytes, PagedMemory::Use::FilledWhole)) << bytes;
    auto* p = static_cast<std::uint8_t*>(m.data());
    EXPECT_TRUE(std::all_of(p, p + bytes, [](std::uint8_t v) { return v == 0; })) << bytes;
    std::fill(p, p + bytes, std::uint8_t{0xa5});
    EXPECT_EQ(p[bytes - 1], 0xa5) << bytes;
    if (bytes >= kLargePage) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % kLargePage, 0u) << bytes;
    }
  }
}

TEST(PagedArray, EmptyAndReleasedHoldNothing) {
  PagedArray<int> a;
  EXPECT_EQ(a.size(), 0u);
  ASSERT_TRUE(a.allocate(0));
  EXPECT_EQ(a.data(), nullptr);
  ASSERT_TRUE(a.allocate(10));
  a.release();
  EXPECT_EQ(a.size(), 0u);
  EXPECT_EQ(a.data(), nullptr);
}

TEST(PagedArray, MovingHandsTheMemoryOver) {
  PagedArray<int> a;
  ASSERT_TRUE(a.allocate(100));
  a[99] = 5;
  const int* held = a.data();
  PagedArray<int> b = std::move(a);
  EXPECT_EQ(b.data(), held);
  EXPECT_EQ(b[99], 5);
  EXPECT_EQ(a.size(), 0u);  // NOLINT(bugprone-use-after-move): a moved-from array is empty
  EXPECT_EQ(a.data(), nullptr);
  a = std::move(b);
  EXPECT_EQ(a[99], 5);
}

}  // namespace
}  // namespace mh
