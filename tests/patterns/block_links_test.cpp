#include "patterns/block_links.h"

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

namespace mh {
namespace {

// Sets, replacements and removals in random order agree with a map at every step: removals move
// later keys of a run back, and a key left unreachable from its home would show as missing.
TEST(BlockLinksTest, AgreesWithAMapThroughSetsAndRemovals) {
  const struct {
    const char* name;
    size_t keys;  // keys drawn from [0, keys) times stride
    size_t stride;
    int steps;
  } rows[] = {
      {"few keys, long runs", 40, 1, 4000},
      {"neighbouring blocks of chains", 3000, 1, 40000},
      {"spread indices", 3000, 977, 40000},
      {"large indices", 500, 1u << 20, 10000},
      {"the first and the largest index", 2, 0xfffffffeu, 400},
  };
  for (const auto& row : rows) {
    std::mt19937 random(7);
    BlockLinks links;
    std::unordered_map<size_t, BlockLinks::Links> expected;
    for (int step = 0; step < row.steps; ++step) {
      const size_t idx = random() % row.keys * row.stride;
      if (random() % 3 == 0) {
        links.erase(idx);
        expected.erase(idx);
      } else {
        const BlockLinks::Links l{static_cast<std::int32_t>(step), static_cast<std::int32_t>(idx % 1000)};
        links.set(idx, l);
        expected[idx] = l;
      }
      ASSERT_EQ(links.size(), expected.size()) << row.name << ", step " << step;
      if (step % 97 != 0) continue;
      for (size_t k = 0; k < row.keys; ++k) {
        const BlockLinks::Links* found = links.find(k * row.stride);
        const auto it = expected.find(k * row.stride);
        ASSERT_EQ(found != nullptr, it != expected.end()) << row.name << ", step " << step << ", key " << k;
        if (found) {
          EXPECT_EQ(found->prev, it->second.prev);
          EXPECT_EQ(found->next, it->second.next);
        }
      }
    }
    links.clear();
    EXPECT_EQ(links.find(0), nullptr);
    EXPECT_EQ(links.size(), 0u);
  }
}

}  // namespace
}  // namespace mh
