#include "process/gnu_go_player.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "model/match_driver.h"
#include "support/captured_log.h"
#include "support/scratch_dir.h"
#include "support/shell_script.h"
#include "support/watchdog.h"

namespace {

using namespace std::chrono_literals;
using mh::GnuGoPlayer;
using mh::MatchDriver;
using mh::Point;
using mh::test::CapturedLog;
using mh::test::ScratchDir;
using mh::test::Watchdog;

constexpr Point P(int x, int y) { return x + 19 * y; }

std::string readText(const std::string& path) {
  const auto bytes = mh::test::readFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// A GTP engine in a few lines of shell, written into dir: it appends every command exactly as
// received (with its "\r\n") to dir/commands.txt, answers "= " to everything but "quit" (which
// it answers and leaves) and "reg_genmove", whose n-th request runs onGenmove with $n set.
std::string writeFakeEngine(const ScratchDir& dir, const std::string& onGenmove) {
  return mh::test::writeShellScript(
      dir.file("engine"),
      "cr=$(printf '\\r')\n"
      "n=0\n"
      "while IFS= read -r line; do\n"
      "  printf '%s\\n' \"$line\" >> '" + dir.file("commands.txt") + "'\n"
      "  line=${line%\"$cr\"}\n"
      "  case \"$line\" in\n"
      "    quit*) printf '= \\n\\n'; exit 0;;\n"
      "    reg_genmove*) n=$((n+1)); " + onGenmove + ";;\n"
      "    *) printf '= \\n\\n';;\n"
      "  esac\n"
      "done\n");
}

class GnuGoPlayerTest : public ::testing::Test {
 protected:
  GnuGoPlayerTest() { driver_->gameState().startEmpty(); }

  std::unique_ptr<GnuGoPlayer> playerWith(const std::string& onGenmove, int colour = mh::Black) {
    auto player = std::make_unique<GnuGoPlayer>(log_.line());
    player->setProgramPath(writeFakeEngine(dir_, onGenmove));
    player->attach(colour, *driver_);
    return player;
  }
  std::string commands() const { return readText(dir_.file("commands.txt")); }
  bool waitForCommand(const std::string& text) {
    return mh::test::waitUntil([&] { return commands().find(text) != std::string::npos; }, 10s);
  }

  Watchdog dog_{60s, "GNU Go player test"};
  CapturedLog log_;
  ScratchDir dir_;
  std::shared_ptr<MatchDriver> driver_ = MatchDriver::create();
};

TEST_F(GnuGoPlayerTest, SendsEveryCommandOfAGameInGtp) {
  auto player = playerWith("printf '= Q16\\n\\n'");
  player->setLevel(7);
  player->attach(mh::Black, *driver_);  // a second attach quits the first engine and starts afresh
  mh::Board handicap;
  mh::placeHandicap(4, handicap);
  player->setPosition(handicap);
  player->movePlayed(mh::White, P(8, 3));
  player->movePlayed(mh::White, mh::kNoPoint);  // nothing is sent for a pass
  EXPECT_EQ(player->getMove(), P(15, 3));
  player->movePlayed(mh::Black, P(18, 18));
  player->destroy();
  EXPECT_FALSE(player->isRunning());
  EXPECT_EQ(commands(),
            "level 10\r\nboardsize 19\r\nquit\r\n"
            "level 7\r\nboardsize 19\r\n"
            "set_free_handicap D16 Q16 D4 Q4 \r\n"
            "play w J16\r\n"
            "reg_genmove b\r\n"
            "play b T1\r\n"
            "quit\r\n");
}

TEST_F(GnuGoPlayerTest, AsksForItsOwnColour) {
  auto player = playerWith("printf '= pass\\n\\n'", mh::White);
  EXPECT_EQ(player->getMove(), mh::kNoPoint);
  EXPECT_NE(commands().find("reg_genmove w\r\n"), std::string::npos) << commands();
}

TEST_F(GnuGoPlayerTest, AnswersOrEndsTheGameButNeverWaitsForNothing) {
  const struct {
    const char* name;
    const char* onGenmove;
    Point expected;
    const char* logged;
  } table[] = {
      {"a vertex split across two writes", "printf '= Q'; sleep 0.3; printf '16\\n\\n'", P(15, 3), nullptr},
      {"a slow answer is waited for", "sleep 1.5; printf '= C3\\n\\n'", P(2, 16), nullptr},
      {"an error reply", "printf '? cannot choose\\n\\n'", GnuGoPlayer::kNoMove, "could not choose a move"},
      {"an answer that is no move", "printf '= hello\\n\\n'", GnuGoPlayer::kNoMove, "with no move"},
      {"a resignation", "printf '= resign\\n\\n'", GnuGoPlayer::kNoMove, "resigns"},
      {"the engine dies", "exit 3", GnuGoPlayer::kNoMove, "ended before it chose a move"},
  };
  for (const auto& row : table) {
    auto player = playerWith(row.onGenmove);
    EXPECT_EQ(player->getMove(), row.expected) << row.name;
    if (row.logged) {
      EXPECT_NE(log_.text().find(row.logged), std::string::npos) << row.name << "\n" << log_.text();
    }
  }
}

TEST_F(GnuGoPlayerTest, AProgramThatDoesNotStartEndsTheGame) {
  GnuGoPlayer player(log_.line());
  player.setProgramPath(dir_.file("no-such-engine"));
  player.attach(mh::Black, *driver_);
  EXPECT_FALSE(player.isRunning());
  player.movePlayed(mh::White, P(3, 3));
  EXPECT_EQ(player.getMove(), GnuGoPlayer::kNoMove);
  EXPECT_NE(log_.text().find("unable to start"), std::string::npos) << log_.text();
  EXPECT_NE(log_.text().find("not running"), std::string::npos) << log_.text();
}

TEST_F(GnuGoPlayerTest, AKilledEngineEndsTheWaitAtOnce) {
  auto player = playerWith(":");  // never answers
  auto move = std::async(std::launch::async, [&] { return player->getMove(); });
  ASSERT_TRUE(waitForCommand("reg_genmove b"));
  const auto killed = std::chrono::steady_clock::now();
  ASSERT_EQ(::kill(player->processId(), SIGKILL), 0);
  ASSERT_EQ(move.wait_for(5s), std::future_status::ready);
  EXPECT_LT(std::chrono::steady_clock::now() - killed, 1s);
  EXPECT_EQ(move.get(), GnuGoPlayer::kNoMove);
}

TEST_F(GnuGoPlayerTest, InterruptReleasesAWaitAndALateAnswerIsNotTakenForTheNextRequest) {
  // The first request is answered late; the second at once.
  auto player = playerWith("if [ $n = 1 ]; then sleep 1; printf '= A1\\n\\n'; else printf '= B2\\n\\n'; fi");
  auto move = std::async(std::launch::async, [&] { return player->getMove(); });
  ASSERT_TRUE(waitForCommand("reg_genmove b"));
  player->interrupt();
  ASSERT_EQ(move.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(move.get(), mh::kAskAgain);
  EXPECT_EQ(player->getMove(), P(1, 17)) << "B2, not the late A1";
}

TEST(GnuGoPlayerCommandLine, QuotesPathsThatNeedIt) {
  const struct {
    std::string path;
    std::string line;
  } table[] = {
      {"/usr/games/gnugo", "/usr/games/gnugo --mode gtp --quiet"},
      {"/opt/go engine/gnugo", "\"/opt/go engine/gnugo\" --mode gtp --quiet"},
      {"/opt/it's\\here", "\"/opt/it's\\\\here\" --mode gtp --quiet"},
  };
  for (const auto& row : table) {
    EXPECT_EQ(GnuGoPlayer::commandLineFor(row.path), row.line);
    const auto words = mh::splitCommandLine(row.line);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.front(), row.path);
  }
}

}  // namespace
