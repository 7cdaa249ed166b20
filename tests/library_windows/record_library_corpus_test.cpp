// The record library's filter and sort on the game-record index of real GB records.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "library_windows/record_columns.h"
#include "library_windows/record_library_view.h"
#include "patterns/file_game_loader.h"
#include "support/corpus_sample.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

namespace fs = std::filesystem;

// The tygem-gb records copied into a scratch collection (the index deletes duplicates) and indexed.
struct CorpusIndex {
  test::ScratchDir dir;
  GameIndex index;
  std::vector<std::string> files;

  CorpusIndex() {
    std::vector<fs::path> all;
    for (const auto& e : fs::recursive_directory_iterator(std::string(MOONHAVEN_CORPUS) + "/tygem-gb"))
      if (e.is_regular_file()) all.push_back(e.path());
    std::sort(all.begin(), all.end());
    for (const fs::path& f : test::corpusSample(all)) {
      const std::string to = dir.path() + "/" + f.filename().string();
      fs::copy_file(f, to);
      files.push_back(to);
    }
    GameIndexScan scan;
    scan.load = fileGameLoader();
    (void)index.build(dir.path() + "/", scan);
  }
};

const CorpusIndex& corpus() {
  static const CorpusIndex c;
  return c;
}

// How many record files hold this property value: counted from the files' bytes, apart from the
// index.
int filesWith(const std::string& property, const std::string& name) {
  const std::string needle = property + "[" + name + "]";
  int n = 0;
  for (const std::string& f : corpus().files) {
    const std::vector<std::uint8_t> bytes = test::readFileBytes(f);
    if (std::string(bytes.begin(), bytes.end()).find(needle) != std::string::npos) ++n;
  }
  return n;
}

TEST(RecordLibraryCorpus, PlayerFilterCountsMatchTheRecordFiles) {
  const GameIndex& index = corpus().index;
  ASSERT_GT(index.count(), 100);
  ASSERT_EQ(static_cast<size_t>(index.count()), corpus().files.size()) << "a duplicate-free collection";
  // The players with the most games as Black and as White, and one with a GB name.
  std::map<std::string, int> asBlack;
  for (const auto& e : index.entries()) ++asBlack[e.blackName()];
  std::vector<std::string> players;
  players.push_back(std::max_element(asBlack.begin(), asBlack.end(), [](auto& a, auto& b) {
                      return a.second < b.second;
                    })->first);
  for (const auto& [name, n] : asBlack)
    if (n >= 2 && static_cast<unsigned char>(name[0]) >= 0x80) {
      players.push_back(name);
      break;
    }
  ASSERT_EQ(players.size(), 2u);
  for (const std::string& p : players) {
    RecordLibraryView v;
    v.setIndex(&index);
    const int black = filesWith("PB", p);
    const int white = filesWith("PW", p);
    ASSERT_GT(black, 0) << p;
    v.setFilter({p, PlayerFilter::AsBlack});
    EXPECT_EQ(v.rowCount(), black) << p;
    v.setFilter({p, PlayerFilter::AsWhite});
    EXPECT_EQ(v.rowCount(), white) << p;
    v.setFilter({p, PlayerFilter::AnyColour});
    EXPECT_EQ(v.rowCount(), black + white) << p << ": nobody plays himself";
    for (int r = 0; r < v.rowCount(); ++r)
      EXPECT_TRUE(v.cellText(r, kBlackColumn) == p || v.cellText(r, kWhiteColumn) == p);
  }
}

TEST(RecordLibraryCorpus, EveryColumnSortsInItsOrderBothWays) {
  const GameIndex& index = corpus().index;
  for (int c = 0; c < kRecordColumnCount; ++c) {
    for (int direction : {1, 2}) {
      RecordLibraryView v;
      v.setIndex(&index);
      // Clicks until the column is sorted in this direction.
      while (v.sortState().column != c || v.sortState().direction != direction) (void)v.clickHeader(c);
      ASSERT_EQ(v.rowCount(), index.count());
      std::vector<int> seen;
      for (int r = 0; r < v.rowCount(); ++r) {
        seen.push_back(v.gameAt(r));
        if (r == 0) continue;
        int a = v.gameAt(r - 1);
        int b = v.gameAt(r);
        if (direction == 2) std::swap(a, b);
        ASSERT_TRUE(recordPrecedes(index.entry(a), a, index.entry(b), b, c))
            << "column " << c << " direction " << direction << " rows " << r - 1 << ", " << r;
      }
      std::sort(seen.begin(), seen.end());
      for (int g = 0; g < index.count(); ++g) ASSERT_EQ(seen[static_cast<size_t>(g)], g) << "every game once";
    }
  }
}

}  // namespace
}  // namespace mh
