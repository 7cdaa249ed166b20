// Games against the real GNU Go (/usr/games/gnugo, installed by scripts/setup.sh).
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "patterns/pattern_library.h"
#include "process/gnu_go_player.h"
#include "process/headless_match.h"
#include "support/captured_log.h"
#include "support/scratch_dir.h"
#include "support/shell_script.h"
#include "support/watchdog.h"

namespace {

using namespace std::chrono_literals;
using mh::GnuGoPlayer;
using mh::PlayedMove;
using mh::Point;
using mh::test::ScratchDir;
using mh::test::Watchdog;

constexpr Point P(int x, int y) { return x + 19 * y; }
constexpr const char* kGnuGo = "/usr/games/gnugo";

class GnuGoGameTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(std::filesystem::exists(kGnuGo)) << "GNU Go is installed by scripts/setup.sh"; }

  std::shared_ptr<GnuGoPlayer> gnuGo(int level, const std::string& program = "gnugo") const {
    auto player = std::make_shared<GnuGoPlayer>(log_.line());
    player->setProgramPath(program);
    player->setLevel(level);
    return player;
  }

  Watchdog dog_{150s, "GNU Go game test"};
  mh::test::CapturedLog log_;
  ScratchDir dir_;
};

TEST_F(GnuGoGameTest, AHandicapGameTellsGnuGoTheStonesBeforeItsFirstMove) {
  // A wrapper that records what GNU Go receives, byte for byte.
  const std::string wrapper = dir_.file("recording-gnugo"), received = dir_.file("received.txt");
  mh::test::writeShellScript(wrapper, "tee -a '" + received + "' | exec " + kGnuGo + " \"$@\"\n");

  mh::GameSettings settings;
  settings.handicap = 4;
  auto black = gnuGo(1, wrapper);
  std::vector<PlayedMove> moves;
  const auto result = mh::runHeadlessMatch(settings, black, gnuGo(1), 4,
                                           [&](const PlayedMove& m) { moves.push_back(m); });
  black->destroy();
  ASSERT_EQ(moves.size(), 4u) << log_.text();
  EXPECT_EQ(moves[0].colour, mh::White);
  for (const PlayedMove& m : moves) EXPECT_GE(m.point, 0) << "move " << m.number;

  const auto bytes = mh::test::readFileBytes(received);
  const std::string text(bytes.begin(), bytes.end());
  const std::string opening = "level 1\r\nboardsize 19\r\nset_free_handicap D16 Q16 D4 Q4 \r\n";
  EXPECT_EQ(text.substr(0, opening.size()), opening) << text;
  EXPECT_NE(text.find("reg_genmove b\r\n"), std::string::npos) << text;
}

TEST_F(GnuGoGameTest, AGnuGoKilledInTheMiddleOfAGameEndsItWithinASecond) {
  auto black = gnuGo(10);
  auto white = gnuGo(1);
  std::atomic<bool> killed{false};
  std::chrono::steady_clock::time_point killedAt;
  std::thread killer;
  const auto result = mh::runHeadlessMatch({}, black, white, 60, [&](const PlayedMove& m) {
    if (m.number == 6 && !killer.joinable()) {
      // While Black (at its strongest, so slowest) thinks about move 7.
      killer = std::thread([&] {
        std::this_thread::sleep_for(100ms);
        killedAt = std::chrono::steady_clock::now();
        killed = ::kill(black->processId(), SIGKILL) == 0;
      });
    }
  });
  const auto ended = std::chrono::steady_clock::now();
  ASSERT_TRUE(killer.joinable());
  killer.join();
  ASSERT_TRUE(killed.load());
  EXPECT_FALSE(result.limitReached);
  EXPECT_LT(ended - killedAt, 1s);
  EXPECT_LE(result.moves, 8);
  // Mostly "ended before it chose a move"; "not running" when the kill came between two moves.
  EXPECT_NE(log_.text().find(": the game ends"), std::string::npos) << log_.text();
}

TEST_F(GnuGoGameTest, TheAssistAnswersBeforeGnuGoIsAsked) {
  // A global entry for the empty board that GNU Go would never choose itself: the centre.
  mh::PatternLibrary global;
  mh::PatternEntry entry;
  entry.snapshot = mh::Board().snapshot();
  entry.side = mh::Black;
  entry.candidates = {{P(9, 9), 4, 2, 2}};
  ASSERT_TRUE(global.add(entry));
  auto black = gnuGo(1);
  black->setAssist(true, {&global, nullptr});
  black->setSeed(7);
  std::vector<PlayedMove> moves;
  (void)mh::runHeadlessMatch({}, black, gnuGo(1), 3, [&](const PlayedMove& m) { moves.push_back(m); });
  ASSERT_EQ(moves.size(), 3u) << log_.text();
  EXPECT_EQ(moves[0].point, P(9, 9));
  EXPECT_GE(moves[2].point, 0) << "GNU Go answers where the libraries know nothing";
}

}  // namespace
