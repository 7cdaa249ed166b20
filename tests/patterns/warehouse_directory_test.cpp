#include "patterns/warehouse_directory.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace mh {
namespace {

std::map<std::string, std::int32_t> contentsOf(const WarehouseDirectory& d) {
  std::map<std::string, std::int32_t> out;
  std::string spelled;
  for (size_t n = 0; n < d.recordCount(); ++n) {
    std::string_view name;
    std::int32_t start = 0;
    if (d.recordAt(n, name, start, spelled)) {
      EXPECT_TRUE(out.emplace(std::string(name), start).second) << name;
    }
  }
  return out;
}

// Random sets and erases of names of every kind (plain numbers, numbers far ahead, leading zeros,
// signs, words, the one start the number array cannot hold) must behave as a plain map, and a
// walk over the records must give each live name exactly once.
TEST(WarehouseDirectoryTest, BehavesAsAMapForEveryKindOfName) {
  const std::vector<std::string> names = {"0", "1", "2", "17", "00", "01", "-1", "+3", "a", "entry", "2147483647",
                                          "2147483648", "99999", "5000", "3", "10", "1e3", " 4", "4 "};
  const std::vector<std::int32_t> starts = {0, 10260, 7, -1, INT32_MIN, INT32_MAX};
  std::mt19937 rng(5);
  for (int round = 0; round < 40; ++round) {
    WarehouseDirectory d;
    std::map<std::string, std::int32_t> model;
    for (int step = 0; step < 300; ++step) {
      const std::string& name = names[rng() % names.size()];
      if (rng() % 4 == 0) {
        d.erase(name);
        model.erase(name);
      } else {
        // Moved on by the step now and then, except where that would overflow.
        const std::int32_t base = starts[rng() % starts.size()];
        const std::int32_t start = rng() % 2 == 0 || base > INT32_MAX - step ? base : base + step;
        d.set(name, start);
        model[name] = start;
      }
      ASSERT_EQ(d.size(), model.size()) << "round " << round << " step " << step;
      for (const std::string& probe : names) {
        const auto it = model.find(probe);
        const std::int32_t* found = d.find(probe);
        ASSERT_EQ(found != nullptr, it != model.end()) << probe;
        if (found) {
          ASSERT_EQ(*found, it->second) << probe;
        }
      }
    }
    EXPECT_EQ(contentsOf(d), model) << "round " << round;
  }
}

}  // namespace
}  // namespace mh
