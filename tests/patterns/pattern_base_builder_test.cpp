#include "patterns/pattern_base_builder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/scratch_dir.h"

namespace mh {
namespace {

using namespace std::chrono_literals;

// Every record is the same short game; loading waits a little so that a stop lands mid-phase.
bool slowLoad(const std::string&, GameRecord& record, int& winner, ParseError*) {
  std::this_thread::sleep_for(2ms);
  record.resetTo19();
  record.appendMove(Black, 60);
  record.appendMove(White, 62);
  winner = Black;
  return true;
}

// Returns as soon as done() holds; the limit is generous because a build under a thread sanitizer
// on a busy machine takes many seconds.
void waitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 12000 && !done(); ++i) std::this_thread::sleep_for(5ms);
}

TEST(PatternBaseBuilderTest, StopKeepsTheWorkAndTheNextStartContinues) {
  test::ScratchDir dir;
  const std::string records = dir.path() + "/records/";
  std::filesystem::create_directories(records);
  for (int i = 0; i < 60; ++i) {
    const std::string name = std::to_string(1000 + i);  // each file different, so no duplicates
    ASSERT_TRUE(test::writeFileBytes(records + name + ".sgf", std::vector<std::uint8_t>(name.begin(), name.end())));
  }
  BuildRequest request;
  request.recordDirectory = records;
  request.filePrefix = dir.path() + "/base";
  request.load = slowLoad;
  request.buildLocal = false;

  PatternBaseBuilder builder;
  EXPECT_TRUE(builder.finished());
  ASSERT_TRUE(builder.start(request));
  EXPECT_FALSE(builder.start(request));  // one build at a time
  // The index scan hands each game to the library as it adds it: stopped a few games in, both
  // keep what they have.
  waitUntil([&] { return builder.progress().phase.load() == 0 && builder.progress().current.load() >= 5; });
  builder.requestStop();
  waitUntil([&] { return builder.finished(); });
  ASSERT_TRUE(builder.finished());
  auto first = builder.result();
  ASSERT_TRUE(first.has_value());
  EXPECT_TRUE(first->ok);
  EXPECT_FALSE(first->completed());
  EXPECT_LT(first->indexCount, 60);
  EXPECT_GE(first->indexCount, 4) << "the games indexed before the stop stay indexed";
  // How many of those the library took before the stop depends on when its thread ran (on a
  // loaded machine, possibly none); what it took is kept, and the next start adds the rest once.
  EXPECT_GE(first->indexCount, first->global.gamesAdded);

  ASSERT_TRUE(builder.start(request));
  waitUntil([&] { return builder.finished(); });
  auto second = builder.result();
  ASSERT_TRUE(second.has_value());
  EXPECT_TRUE(second->completed());
  EXPECT_EQ(second->indexCount, 60);
  EXPECT_EQ(first->global.gamesAdded + second->global.gamesAdded, 60);
  EXPECT_EQ(second->global.entries, 2);
}

}  // namespace
}  // namespace mh
