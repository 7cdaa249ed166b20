#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "patterns/file_game_loader.h"
#include "patterns/game_index_listing.h"
#include "patterns/pattern_base_build.h"
#include "platform/collection_listing.h"
#include "platform/text_codec.h"
#include "support/corpus_sample.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const std::string kCorpus = MOONHAVEN_CORPUS;

// A writable copy of a corpus folder (of a sample of its files under MOONHAVEN_CORPUS_STRIDE):
// builds delete duplicate files, and the corpus stays as it is.
std::string copyOfCorpus(const std::string& folder, const test::ScratchDir& scratch) {
  const std::string target = scratch.path() + "/records/";
  const std::string source = kCorpus + "/" + folder + "/";
  for (const std::string& path : test::corpusSample(listCollectionFiles(source))) {
    const fs::path copy = target + path.substr(source.size());
    fs::create_directories(copy.parent_path());
    fs::copy_file(path, copy);
  }
  fs::permissions(target, fs::perms::owner_all, fs::perm_options::add);
  for (const auto& e : fs::recursive_directory_iterator(target))
    fs::permissions(e.path(), fs::perms::owner_read | fs::perms::owner_write |
                                  (e.is_directory() ? fs::perms::owner_exec : fs::perms::none),
                    fs::perm_options::add);
  return target;
}

BuildRequest requestFor(const std::string& records, const std::string& prefix) {
  fs::create_directories(fs::path(prefix).parent_path());
  BuildRequest r;
  r.recordDirectory = records;
  r.filePrefix = prefix;
  r.load = fileGameLoader();
  return r;
}

BuildResult build(const BuildRequest& request) {
  BuildProgress progress;
  std::atomic<int> run{1};
  return buildPatternBase(request, progress, run);
}

Bytes fileBytes(const std::string& path) { return test::readFileBytes(path); }

TEST(PatternBaseCorpusTest, TygemCollectionBuildsResumesAndDropsDuplicates) {
  if (!fs::exists(kCorpus + "/tygem-gb")) GTEST_SKIP() << "no corpus at " << kCorpus;
  test::ScratchDir scratch;
  const std::string records = copyOfCorpus("tygem-gb", scratch);
  const std::string whole = scratch.path() + "/whole/base";
  const BuildResult r = build(requestFor(records, whole));
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_TRUE(r.completed());
  const int stride = static_cast<int>(test::corpusStride());
  EXPECT_EQ(r.indexCount, static_cast<int>(listCollectionFiles(records).size()));
  EXPECT_GE(r.indexCount, 2000 / stride);

  GameIndex index;
  ASSERT_TRUE(index.read(whole + ".idx", records));
  std::vector<std::string> listed = listCollectionFiles(records);
  for (auto& p : listed) p = p.substr(records.size());
  std::vector<std::string> names;
  int gbRanks = 0;
  int decided = 0;
  for (const auto& e : index.entries()) {
    names.push_back(e.relativeName());
    // Ranks such as "9段" are kept as the GB bytes the records hold.
    if (e.blackRank().find("\xb6\xce") != std::string::npos) ++gbRanks;
    if (e.winner() != 0) ++decided;
  }
  EXPECT_EQ(names, listed);
  EXPECT_GT(gbRanks, 1000 / stride);

  // Every decided game starts from the empty board with black to move.
  PatternLibrary global;
  ASSERT_TRUE(global.openIndex(whole + ".wp2_", whole + ".wp2"));
  EXPECT_EQ(global.entryCount(), r.global.entries);
  PatternEntry empty;
  ASSERT_TRUE(global.findWithSymmetries(Board().snapshot(), Black, empty));
  EXPECT_EQ(empty.side, Black);
  int played = 0;
  for (const auto& c : empty.candidates) played += c.played;
  EXPECT_EQ(played, decided);
  EXPECT_EQ(static_cast<int>(empty.occurrences.size()), decided);

  // The same collection built in chunks gives the same files.
  const std::string chunked = scratch.path() + "/chunked/base";
  int runs = 0;
  for (bool done = false; !done && runs < 5; ++runs) {
    BuildRequest request = requestFor(records, chunked);
    request.gamesPerPhase = 800 / stride;
    const BuildResult part = build(request);
    ASSERT_TRUE(part.ok) << part.error;
    done = part.completed();
  }
  EXPECT_EQ(runs, 3);
  for (const char* ext : {".idx", ".wp2", ".wp2_", ".lb", ".lb_"})
    EXPECT_TRUE(fileBytes(whole + ext) == fileBytes(chunked + ext)) << ext;

  // A copy under a new name is deleted on update; a copy with one byte changed is added.
  const std::string original = records + names[5];
  Bytes changed = fileBytes(original);
  ASSERT_FALSE(changed.empty());
  fs::create_directories(records + "zz");
  fs::copy_file(original, records + "zz/copy.sgf");
  changed.back() = changed.back() == ' ' ? '\n' : ' ';
  ASSERT_TRUE(test::writeFileBytes(records + "zz/changed.sgf", changed));
  BuildRequest indexOnly = requestFor(records, whole);
  indexOnly.buildGlobal = false;
  indexOnly.buildLocal = false;
  const BuildResult updated = build(indexOnly);
  EXPECT_EQ(updated.indexScan.duplicates, 1);
  EXPECT_EQ(updated.indexCount, r.indexCount + 1);
  EXPECT_FALSE(fs::exists(records + "zz/copy.sgf"));
  EXPECT_TRUE(fs::exists(original));
}

TEST(PatternBaseCorpusTest, AiProCollectionWithNestedAwkwardNames) {
  if (!fs::exists(kCorpus + "/ai-pro")) GTEST_SKIP() << "no corpus at " << kCorpus;
  test::ScratchDir scratch;
  const std::string records = copyOfCorpus("ai-pro", scratch);
  const size_t files = listCollectionFiles(records).size();
  const std::string prefix = scratch.path() + "/home/ai pro";
  const BuildResult r = build(requestFor(records, prefix));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.completed());
  EXPECT_GT(r.indexCount, static_cast<int>(files * 9 / 10));
  // Duplicates are gone from the copy; every other record file is indexed or did not load.
  EXPECT_EQ(listCollectionFiles(records).size(), files - static_cast<size_t>(r.indexScan.duplicates));
  EXPECT_EQ(r.indexScan.deleteFailures, 0);
  EXPECT_LE(static_cast<size_t>(r.indexCount + r.indexScan.duplicates), files);
  EXPECT_GT(r.global.entries, 0);
  EXPECT_GT(r.local.entries, 0);

  GameIndex index;
  ASSERT_TRUE(index.read(prefix + ".idx", records));
  int awkward = 0;
  for (int n = 0; n < index.count(); ++n) {
    const std::string name = index.entry(n).relativeName();
    ASSERT_TRUE(fs::exists(*index.pathOf(n))) << name;
    if (name.find(' ') != std::string::npos && name.find('(') != std::string::npos && text::hasHighBytes(name))
      ++awkward;
  }
  EXPECT_GT(awkward, 100 / static_cast<int>(test::corpusStride()));
  const std::string listing = gameIndexListing(index);
  EXPECT_TRUE(text::isValidUtf8(listing));
  EXPECT_EQ(static_cast<int>(std::count(listing.begin(), listing.end(), '\n')), index.count());
}

}  // namespace
}  // namespace mh
