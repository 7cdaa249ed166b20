#include "platform/spilled_pages.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace mh {
namespace {

constexpr size_t kPage = 64;
constexpr size_t kWindow = 16;
using Pages = SpilledPages<std::uint64_t, kPage, kWindow>;

std::uint64_t itemAt(size_t n) { return n * 0x9e3779b97f4a7c15ULL + 1; }

// The descriptor of the scratch file made in directory, or -1.
int scratchFileIn(const std::string& directory) {
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const auto target = std::filesystem::read_symlink(fd.path(), error).string();
    if (!error && target.starts_with(directory + "/")) return std::stoi(fd.path().filename().string());
  }
  return -1;
}

// Appends and spills as a build does, then reads every item back in order, out of order, one at
// a time and by the page. An item whose page was lost from the scratch file must be reported as
// unreadable, never read as something else.
TEST(SpilledPagesTest, ItemsReadBackAsAppendedOrAreReportedLost) {
  struct Case {
    const char* name;
    size_t count;
    size_t spillAfter;      // items appended before spilling starts (count: after all of them)
    bool folderExists;
    size_t fileLimitPages;  // the scratch file may not grow past this many pages; 0: no limit
    size_t keptInFile;      // after the appends, the file is cut to this many pages; -1: left
    size_t pagesHeld;
  };
  constexpr size_t kLeft = static_cast<size_t>(-1);
  const std::vector<Case> cases = {
      {"in memory", 5 * kPage + 3, 5 * kPage + 3, false, 0, kLeft, 6},
      {"spilled from the start", 5 * kPage + 3, 0, true, 0, kLeft, 1},
      {"spilled midway", 5 * kPage + 3, 2 * kPage + 7, true, 0, kLeft, 1},
      {"spilled after full pages only", 4 * kPage, 4 * kPage, true, 0, kLeft, 0},
      {"ends on a page boundary", 3 * kPage, 0, true, 0, kLeft, 1},
      {"a page that cannot be written stays", 6 * kPage + 1, 0, true, 2, kLeft, 5},
      {"pages lost from the file are reported", 5 * kPage + 3, 0, true, 0, 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ScratchDir dir;
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    if (c.fileLimitPages > 0) {
      rlimit low = old;
      low.rlim_cur = c.fileLimitPages * kPage * sizeof(std::uint64_t);
      ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
    }
    Pages pages;
    for (size_t n = 0; n <= c.count; ++n) {
      if (n == c.spillAfter) {
        EXPECT_EQ(pages.spillTo(c.folderExists ? dir.path() : dir.file("missing")), c.folderExists);
      }
      if (n < c.count) pages.push_back(itemAt(n));
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    ASSERT_EQ(pages.size(), c.count);
    EXPECT_EQ(pages.pagesHeld(), c.pagesHeld);
    EXPECT_GE(pages.bytes(), c.pagesHeld * kPage * sizeof(std::uint64_t));

    // Which items can still be read: all, unless pages were cut from the file.
    std::vector<bool> readable(c.count, true);
    if (c.keptInFile != kLeft) {
      const int fd = scratchFileIn(dir.path());
      ASSERT_GE(fd, 0);
      ASSERT_EQ(ftruncate(fd, static_cast<off_t>(c.keptInFile * kPage * sizeof(std::uint64_t))), 0);
      for (size_t n = c.keptInFile * kPage; (n / kPage + 1) * kPage <= c.count; ++n) readable[n] = false;
    }
    std::uint64_t item = 0;
    for (size_t n = 0; n < c.count; ++n) {
      ASSERT_EQ(pages.at(n, item), readable[n]) << n;
      if (readable[n]) {
        ASSERT_EQ(item, itemAt(n)) << n;
      }
    }
    for (size_t n = c.count; n-- > 0;) {
      ASSERT_EQ(pages.one(n, item), readable[n]) << n;
      if (readable[n]) {
        ASSERT_EQ(item, itemAt(n)) << n;
      }
      ASSERT_EQ(pages.at(n, item), readable[n]) << n;
      if (readable[n]) {
        ASSERT_EQ(item, itemAt(n)) << n;
      }
    }
    EXPECT_FALSE(pages.at(c.count, item));
    EXPECT_FALSE(pages.one(c.count, item));
    std::unique_ptr<std::uint64_t[]> buffer;
    for (size_t p = 0; p * kPage < c.count; ++p) {
      const std::uint64_t* items = pages.page(p, buffer);
      ASSERT_EQ(items != nullptr, readable[p * kPage]) << p;
      for (size_t i = 0; items && i < kPage && p * kPage + i < c.count; ++i) ASSERT_EQ(items[i], itemAt(p * kPage + i));
    }

    // Dropping the items keeps the spill going for those that follow.
    pages.clear();
    for (size_t n = 0; n < 3 * kPage; ++n) pages.push_back(itemAt(n + 1));
    EXPECT_EQ(pages.pagesHeld(), c.folderExists ? 1u : 3u);
    for (size_t n = 0; n < 3 * kPage; ++n) {
      ASSERT_TRUE(pages.at(n, item));
      ASSERT_EQ(item, itemAt(n + 1));
    }
  }
}

}  // namespace
}  // namespace mh
