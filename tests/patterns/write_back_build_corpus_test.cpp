#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "patterns/data_file_pattern_store.h"
#include "patterns/file_game_loader.h"
#include "patterns/pattern_base_build.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const std::string kCorpus = MOONHAVEN_CORPUS;

// The first count record files of a corpus folder (in path order), copied flat into a scratch
// folder: builds may delete duplicates, and the corpus stays as it is.
std::string sampleOf(const std::string& folder, size_t count, const test::ScratchDir& scratch) {
  std::vector<fs::path> files;
  for (const auto& e : fs::recursive_directory_iterator(kCorpus + "/" + folder))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  files.resize(std::min(files.size(), count));
  const std::string target = scratch.path() + "/records/";
  fs::create_directories(target);
  for (size_t i = 0; i < files.size(); ++i)
    fs::copy_file(files[i], target + std::to_string(1000 + i) + files[i].extension().string());
  return target;
}

struct Variant {
  const char* name;
  bool writeBack;
  size_t cacheBytes;
  int gamesPerPhase;  // below 0: one run
  std::int64_t warehouseFileLimit = BlockStore::kOffsetReach;
};

// The files compared: those rooms read, then the warehouse indexes and done lists (appended to
// in place by a resumed run), then the prints files (written by the write-back path only).
constexpr const char* kCompared[] = {"idx",        "wp2",        "wp2_",           "lb",           "lb_",
                                     "wp2.aos_",   "lb.aos_",    "wp2.aos.idx",    "lb.aos.idx",   "wp2.aos.prints",
                                     "lb.aos.prints"};
constexpr size_t kPrintsFiles = 2;

// Builds with the variant (in chunks, resuming, when it asks) and returns the files compared.
std::vector<Bytes> buildWith(const Variant& v, const std::string& records, const std::string& prefix) {
  fs::create_directories(fs::path(prefix).parent_path());
  BuildRequest r;
  r.recordDirectory = records;
  r.filePrefix = prefix;
  r.load = fileGameLoader();
  r.writeBack = v.writeBack;
  r.cacheBytes = v.cacheBytes;
  r.gamesPerPhase = v.gamesPerPhase;
  r.warehouseFileLimit = v.warehouseFileLimit;
  for (int run = 0; run < 50; ++run) {
    BuildProgress progress;
    std::atomic<int> flag{1};
    const BuildResult result = buildPatternBase(r, progress, flag);
    EXPECT_TRUE(result.ok) << v.name << ": " << result.error;
    EXPECT_EQ(result.global.gamesCut + result.local.gamesCut, 0) << v.name;
    if (result.completed() || !result.ok) break;
  }
  std::vector<Bytes> files;
  for (const char* ext : kCompared)
    files.push_back(test::readFileBytes(prefix + "." + ext));
  return files;
}

// The held-entry path (prints, write-back cache, eviction under a small limit, resuming with a
// warehouse written by an earlier run) must give exactly the files of the plain path, which
// stores every recorded move at once and indexes the data file by scanning it.
TEST(WriteBackBuildCorpusTest, EveryVariantWritesTheFilesOfThePlainBuild) {
  if (!fs::exists(kCorpus + "/ai-pro")) GTEST_SKIP() << "no corpus at " << kCorpus;
  test::ScratchDir scratch;
  const std::string records = sampleOf("ai-pro", 240, scratch);
  const std::vector<Bytes> plain = buildWith({"plain", false, 0, -1}, records, scratch.path() + "/plain/base");
  ASSERT_GT(plain[1].size(), 1000u);

  const Variant variants[] = {
      {"write-back", true, size_t{64} << 20, -1},
      {"small cache", true, 64 * 1024, -1},
      {"small cache in chunks", true, 64 * 1024, 70},
      {"plain in chunks", false, 0, 90},
      // Warehouses split into volumes of 256 KiB: one run, and resumed chunks that reopen them.
      {"split warehouses", true, 64 * 1024, -1, 256 * 1024},
      {"split warehouses in chunks", true, 64 * 1024, 70, 256 * 1024},
      {"split plain path", false, 0, -1, 256 * 1024},
  };
  std::vector<Bytes> prints;  // the first write-back variant's, which every other must equal
  for (const Variant& v : variants) {
    const std::string prefix = scratch.path() + "/" + std::to_string(&v - variants) + "/base";
    const std::vector<Bytes> files = buildWith(v, records, prefix);
    ASSERT_EQ(files.size(), plain.size());
    for (size_t i = 0; i + kPrintsFiles < files.size(); ++i)
      EXPECT_TRUE(files[i] == plain[i]) << v.name << ", " << kCompared[i];
    for (size_t i = files.size() - kPrintsFiles; i < files.size(); ++i) {
      if (!v.writeBack) continue;
      if (prints.size() < kPrintsFiles) {
        EXPECT_GT(files[i].size(), 1000u) << v.name << ", " << kCompared[i];
        prints.push_back(files[i]);
      } else {
        EXPECT_TRUE(files[i] == prints[i + kPrintsFiles - files.size()]) << v.name << ", " << kCompared[i];
      }
    }
    // The write-back path leaves a key file that belongs to its pair; the plain path leaves none.
    for (const std::string lib : {"wp2", "lb"}) {
      const std::string keys = prefix + "." + lib + ".keys";
      if (!v.writeBack) {
        EXPECT_FALSE(fs::exists(keys)) << v.name << ", " << lib;
        continue;
      }
      DataFilePatternStore store;
      ASSERT_TRUE(store.openIndex(prefix + "." + lib + "_", prefix + "." + lib, keys));
      EXPECT_TRUE(store.usesKeyFile()) << v.name << ", " << lib;
    }
    if (v.warehouseFileLimit < BlockStore::kOffsetReach) {
      EXPECT_TRUE(fs::exists(prefix + ".lb.aos.3")) << v.name << ": the limit should have split the warehouse";
    }
  }
}

}  // namespace
}  // namespace mh
