// The GNU Go assist over libraries built from a real collection of game records.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "patterns/pattern_base_build.h"
#include "patterns/pattern_library.h"
#include "process/gnu_go_player.h"
#include "process/headless_match.h"
#include "support/corpus_pattern_base.h"
#include "support/scratch_dir.h"
#include "support/watchdog.h"

namespace mh {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kCorpus = MOONHAVEN_CORPUS;

TEST(AssistCorpusTest, GnuGoPlaysTheLibrarysMovesInTheOpening) {
  const fs::path source = fs::path(kCorpus) / "tygem-gb" / "25";
  if (!fs::exists(source)) GTEST_SKIP() << "no corpus at " << kCorpus;
  ASSERT_TRUE(fs::exists("/usr/games/gnugo")) << "GNU Go is installed by scripts/setup.sh";
  test::Watchdog dog(600s, "assist corpus test");
  test::ScratchDir scratch;
  BuildRequest request;
  const BuildResult built = test::buildCorpusPatternBase(source.string(), 500, scratch.path(), request);
  ASSERT_TRUE(built.ok) << built.error;
  ASSERT_GT(built.global.entries, 0);

  PatternLibrary global, local;
  ASSERT_TRUE(global.openIndex(request.file("wp2_"), request.file("wp2")));
  ASSERT_TRUE(local.openIndex(request.file("lb_"), request.file("lb")));

  // Both sides assisted, with fixed seeds: every move of the opening is one the collection played
  // from that very position (any symmetry), as long as the global library knows the position.
  auto player = [&](std::uint32_t seed) {
    auto p = std::make_shared<GnuGoPlayer>();
    p->setLevel(1);
    p->setSeed(seed);
    p->setAssist(true, {&global, &local});
    return p;
  };
  std::vector<PlayedMove> moves;
  GameState replay;
  replay.startEmpty();
  int fromLibrary = 0;
  bool known = true;
  (void)runHeadlessMatch({}, player(17), player(18), 8, [&](const PlayedMove& m) {
    PatternEntry entry;
    if (known && global.findWithSymmetries(replay.board().snapshot(), m.colour, entry)) {
      bool listed = false;
      for (const PatternCandidate& c : entry.candidates) listed = listed || c.point == m.point;
      EXPECT_TRUE(listed) << "move " << m.number << " at " << m.point << " is no candidate of its position";
      ++fromLibrary;
    } else {
      known = false;
    }
    moves.push_back(m);
    (void)replay.play(m.colour, m.point);
  });
  EXPECT_EQ(moves.size(), 8u);
  EXPECT_GE(fromLibrary, 4) << "the openings of 500 professional games cover the first moves";
}

}  // namespace
}  // namespace mh
