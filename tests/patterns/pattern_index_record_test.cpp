#include "patterns/pattern_index_record.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace mh {
namespace {

// Records as a build appends them, with a few that do not fit the packed form (kept whole).
std::vector<PatternIndexRecord> sampleRecords(size_t count) {
  std::vector<PatternIndexRecord> out;
  out.reserve(count);
  for (size_t n = 0; n < count; ++n) {
    const auto i = static_cast<std::int32_t>(n);
    PatternIndexRecord r{static_cast<std::int32_t>((n * 7919) & 0xffffff), i, i % 181, (i * 3) % 181,
                         static_cast<std::uint8_t>(1 + i % 2)};
    if (n % 50'000 == 7) r.hash = -5;             // outside the packed hash
    if (n % 70'001 == 3) r.blackCount = 70'000;   // outside the packed counts
    if (n % 90'001 == 11) r.location = 12;        // not its own number
    out.push_back(r);
  }
  return out;
}

// Every record must read back as it was appended, in order and out of order.
void expectReadsBack(const NumberedIndexRecords& records, const std::vector<PatternIndexRecord>& want) {
  ASSERT_EQ(records.size(), want.size());
  PatternIndexRecord r;
  for (size_t n = 0; n < want.size(); ++n) {
    ASSERT_TRUE(records.at(n, r)) << n;
    ASSERT_EQ(r, want[n]) << n;
  }
  for (size_t n = want.size(); n-- > 0;) {
    if (n % 997 != 0 && n + 1 != want.size()) continue;
    ASSERT_TRUE(records.at(n, r)) << n;
    ASSERT_EQ(r, want[n]) << n;
  }
  EXPECT_FALSE(records.at(want.size(), r));
}

// Spilling must never change what reads back, whether it starts before, among or after the
// appends, or cannot start at all; and a spilled store must hold only the page being appended to.
TEST(NumberedIndexRecordsTest, SpilledRecordsReadBackAsAppended) {
  constexpr size_t kPage = size_t{1} << 16;
  struct Case {
    const char* name;
    size_t count;
    size_t spillAfter;  // records appended before spilling starts
    bool folderExists;
    size_t pagesHeld;   // after the appends
  };
  const std::vector<Case> cases = {
      {"spilled from the start", 5 * kPage + 123, 0, true, 1},
      {"spilled midway", 5 * kPage + 123, 3 * kPage + 9, true, 1},
      {"spilled after full pages only", 4 * kPage, 4 * kPage, true, 0},
      {"ends on a page boundary", 3 * kPage, 0, true, 1},
      {"smaller than a page", 100, 0, true, 1},
      {"no folder to spill to", 2 * kPage + 5, 0, false, 3},
  };
  test::ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto want = sampleRecords(c.count);
    NumberedIndexRecords records;
    for (size_t n = 0; n < c.count; ++n) {
      if (n == c.spillAfter) {
        EXPECT_EQ(records.spillTo(c.folderExists ? dir.path() : dir.file("missing")), c.folderExists);
      }
      records.push_back(want[n]);
    }
    if (c.spillAfter == c.count) {
      EXPECT_TRUE(records.spillTo(dir.path()));
    }
    EXPECT_EQ(records.pagesHeld(), c.pagesHeld);
    expectReadsBack(records, want);
  }
}

// A page that cannot be written (here the file may not grow past two pages) stays in memory.
TEST(NumberedIndexRecordsTest, APageThatCannotBeWrittenStaysInMemory) {
  constexpr size_t kPageBytes = (size_t{1} << 16) * 8;
  test::ScratchDir dir;
  const auto want = sampleRecords(6 * (size_t{1} << 16) + 77);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit low = old;
  low.rlim_cur = 2 * kPageBytes;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
  NumberedIndexRecords records;
  const bool spilling = records.spillTo(dir.path());
  for (const auto& r : want) records.push_back(r);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldSignal);
  ASSERT_TRUE(spilling);
  EXPECT_EQ(records.pagesHeld(), 5u) << "two pages written, five kept (four refused and the newest)";
  expectReadsBack(records, want);
}

}  // namespace
}  // namespace mh
