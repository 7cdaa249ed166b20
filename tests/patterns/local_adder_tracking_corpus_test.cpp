#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "patterns/file_game_loader.h"
#include "patterns/library_adders.h"
#include "support/walking_local_adder.h"

namespace mh {
namespace {

namespace fs = std::filesystem;
const std::string kCorpus = MOONHAVEN_CORPUS;

// Real games: the adder that follows clusters move by move records what walking them records.
TEST(LocalAdderTrackingCorpusTest, RealGamesRecordWhatWalkingTheClustersRecords) {
  for (const char* folder : {"tygem-gb", "ai-pro", "tygem-big5"}) {
    if (!fs::exists(kCorpus + "/" + folder)) GTEST_SKIP() << "no corpus at " << kCorpus;
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(kCorpus + "/" + folder))
      if (e.is_regular_file()) files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    files.resize(std::min<size_t>(files.size(), 150));
    const GameLoader load = fileGameLoader();
    PatternLibrary tracked, walked;
    int game = 0;
    for (const std::string& path : files) {
      GameRecord record;
      int winner = 0;
      if (!load(path, record, winner, nullptr)) continue;
      (void)addRecordToLocalLibrary(tracked, record, winner, game);
      test::addByWalkingClusters(walked, record, winner, game);
      ++game;
    }
    ASSERT_GT(tracked.entryCount(), 1000) << folder;
    ASSERT_EQ(tracked.entryCount(), walked.entryCount()) << folder;
    for (int n = 0; n < tracked.entryCount(); ++n)
      ASSERT_EQ(*tracked.entryAt(n), *walked.entryAt(n)) << folder << " entry " << n;
  }
}

}  // namespace
}  // namespace mh
