// The pattern-library dialog's build session on real records: one build at a time, the pattern
// base closed and untouchable while it runs, its users told, a stop that keeps the work.
#include "library_windows/pattern_build_session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "patterns/file_game_loader.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct RecordingUsers : PatternBaseUsers {
  std::vector<std::string> calls;
  WpbList* bases = nullptr;
  void releasePatternBase(int n) override {
    calls.push_back("release " + std::to_string(n));
    EXPECT_FALSE(bases->at(n)->isBuilding()) << "told before the base is closed";
  }
  void patternBaseRebuilt(int n) override {
    calls.push_back("rebuilt " + std::to_string(n));
    EXPECT_FALSE(bases->at(n)->isBuilding());
    EXPECT_TRUE(bases->select(n));
  }
  void patternBasesRenumbered(const std::vector<int>& numbers) override {
    std::string call = "renumbered";
    for (int n : numbers) call += " " + std::to_string(n);
    calls.push_back(call);
  }
};

// A program's directory with two pattern bases over copies of the first `games` tygem-gb records.
struct Home {
  test::ScratchDir dir;
  WpbList bases;
  RecordingUsers users;

  explicit Home(size_t games) {
    const std::string records = dir.path() + "/records/";
    fs::create_directories(records);
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25")) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (size_t i = 0; i < games && i < files.size(); ++i) fs::copy_file(files[i], records + files[i].filename().string());
    std::ofstream(ini()) << "[WPBS]\r\nTOTAL=2\r\nDEFAULT=1\r\n"
                         << "[WPB_0]\r\nTITLE1=first\r\nSGFPATH=records\r\nFILENAME=one\r\n"
                         << "[WPB_1]\r\nTITLE1=second\r\nSGFPATH=records\r\nFILENAME=two\r\n";
    bases.read(ini(), dir.path() + "/", 1);
    users.bases = &bases;
  }
  std::string ini() const { return dir.file("WPBs.ini"); }
};

// Real records, each load a little slower, so that a stop lands inside a phase.
GameLoader slowLoader() {
  return [load = fileGameLoader()](const std::string& path, GameRecord& record, int& winner, ParseError* error) {
    std::this_thread::sleep_for(3ms);
    return load(path, record, winner, error);
  };
}

// Ticks every 5 ms until a tick reaps the build; the ticks seen, the last one reaping it.
std::vector<BuildTick> tickUntilEnded(PatternBuildSession& session) {
  std::vector<BuildTick> ticks;
  for (int i = 0; i < 4000; ++i) {
    ticks.push_back(session.tick());
    if (ticks.back().ended || !ticks.back().active) break;
    std::this_thread::sleep_for(5ms);
  }
  return ticks;
}

TEST(PatternBuildSession, AllSwitchesOffFinishesAtOnceAndTheNextTickClears) {
  Home home(3);
  PatternBuildSession session(home.bases, home.users, fileGameLoader());
  ASSERT_TRUE(home.bases.select(1));
  ASSERT_TRUE(session.start(1, {false, false, false}));
  EXPECT_EQ(home.users.calls, (std::vector<std::string>{"release 1"}));
  const std::vector<BuildTick> ticks = tickUntilEnded(session);
  ASSERT_TRUE(ticks.back().ended.has_value());
  EXPECT_TRUE(ticks.back().ended->ok);
  EXPECT_FALSE(ticks.back().active);
  EXPECT_EQ(session.state(), PatternBuildSession::State::Idle);
  EXPECT_EQ(home.users.calls, (std::vector<std::string>{"release 1", "rebuilt 1"}));
  EXPECT_TRUE(home.bases.at(1)->isOpen()) << "its user selected it again";
  const BuildTick next = session.tick();
  EXPECT_FALSE(next.active);
  EXPECT_FALSE(next.ended.has_value());
  EXPECT_EQ(buildProgressText({}, next), "");
}

TEST(PatternBuildSession, StopKeepsTheWorkAndTheNextBuildContinuesToTheTotal) {
  constexpr int kGames = 40;
  Home home(kGames);
  PatternBuildSession session(home.bases, home.users, slowLoader());
  ASSERT_TRUE(home.bases.select(0));
  // Indexed first: a scan hands each game it adds to the libraries at once, so on a fresh base
  // they keep pace with it and a stop would land in the scan, not in the phase.
  ASSERT_TRUE(session.start(0, {true, false, false}));
  ASSERT_TRUE(tickUntilEnded(session).back().ended.has_value());

  ASSERT_TRUE(session.start(0, {true, true, false}));
  Wpb* base = home.bases.at(0);
  EXPECT_TRUE(base->isBuilding());
  EXPECT_FALSE(base->isOpen());
  EXPECT_TRUE(home.bases.select(0));
  EXPECT_FALSE(base->isOpen()) << "selecting a base being built opens nothing";
  EXPECT_FALSE(session.start(0, {})) << "never twice at once";
  EXPECT_FALSE(session.start(1, {})) << "one build at a time";
  EXPECT_FALSE(session.changeRecordFolder(0, "/tmp", home.ini()));

  BuildTick seen;
  for (int i = 0; i < 4000 && !(seen.phase == 1 && seen.current >= 5); ++i) {
    seen = session.tick();
    ASSERT_TRUE(seen.active);
    std::this_thread::sleep_for(2ms);
  }
  ASSERT_EQ(seen.phase, 1);
  session.requestStop();
  EXPECT_EQ(session.state(), PatternBuildSession::State::Stopping);
  std::vector<BuildTick> ticks = tickUntilEnded(session);
  for (size_t i = 0; i + 1 < ticks.size(); ++i) EXPECT_TRUE(ticks[i].stopping);
  ASSERT_TRUE(ticks.back().ended.has_value());
  const BuildResult first = *ticks.back().ended;
  EXPECT_TRUE(first.ok);
  EXPECT_FALSE(first.completed());
  EXPECT_GE(first.global.gamesAdded, 5);
  EXPECT_LT(first.global.gamesAdded, kGames);

  // The base opens again with what was built so far.
  EXPECT_FALSE(base->isBuilding());
  EXPECT_TRUE(base->isOpen());
  EXPECT_EQ(base->gameIndex().count(), kGames);
  EXPECT_GT(base->globalLibrary().entryCount(), 0);

  // The next build adds only the games the first one did not, and its progress reaches the total.
  ASSERT_TRUE(session.start(0, {true, true, false}));
  ticks = tickUntilEnded(session);
  ASSERT_TRUE(ticks.back().ended.has_value());
  const BuildResult second = *ticks.back().ended;
  EXPECT_TRUE(second.completed());
  EXPECT_EQ(first.global.gamesAdded + second.global.gamesAdded, kGames);
  EXPECT_EQ(ticks.back().phase, 1);
  EXPECT_EQ(ticks.back().current, ticks.back().total);
  EXPECT_EQ(ticks.back().total, kGames - first.global.gamesAdded);
  EXPECT_EQ(home.users.calls,
            (std::vector<std::string>{"release 0", "rebuilt 0", "release 0", "rebuilt 0", "release 0", "rebuilt 0"}));
}

TEST(PatternBuildSession, ANewRecordFolderIsWrittenAndTheBaseReopened) {
  Home home(2);
  PatternBuildSession session(home.bases, home.users, fileGameLoader());
  const std::string other = home.dir.path() + "/other";
  fs::create_directories(other);
  ASSERT_TRUE(home.bases.select(1));
  ASSERT_TRUE(session.changeRecordFolder(1, other, home.ini()));
  EXPECT_EQ(home.bases.at(1)->recordDirectory(), other + "/");
  EXPECT_EQ(home.users.calls, (std::vector<std::string>{"release 1", "rebuilt 1"}));
  WpbList reread;
  reread.read(home.ini(), home.dir.path() + "/", 1);
  ASSERT_EQ(reread.count(), 2);
  EXPECT_EQ(reread.at(1)->recordDirectory(), other + "/");
  EXPECT_EQ(reread.at(0)->recordDirectory(), home.dir.path() + "/records/");
  EXPECT_EQ(reread.at(1)->title(), "second") << "the rest of the file is kept";
  EXPECT_FALSE(session.changeRecordFolder(5, other, home.ini()));
  EXPECT_FALSE(session.changeRecordFolder(0, other, home.dir.path() + "/no/such/dir/WPBs.ini"));
  EXPECT_EQ(home.bases.at(0)->recordDirectory(), home.dir.path() + "/records/") << "unchanged when not written";
}

// Adding and removing while another base is built: the build follows its base's new number, the
// bases kept keep their state, and the base being built cannot be removed.
TEST(PatternBuildSession, AddAndRemoveRenumberTheBasesAroundARunningBuild) {
  Home home(40);
  PatternBuildSession session(home.bases, home.users, slowLoader());
  ASSERT_TRUE(home.bases.select(0));
  Wpb* kept = home.bases.at(0);
  ASSERT_TRUE(session.start(1, {true, true, true}));
  Wpb* built = home.bases.at(1);

  EXPECT_EQ(session.proposeFileName("first"), "first");
  const std::string records = home.dir.path() + "/records";
  ASSERT_EQ(session.addBase({"third", records, "three", false}), WpbEditStatus::Ok);
  ASSERT_EQ(home.bases.count(), 3);
  EXPECT_EQ(home.bases.at(0), kept) << "unchanged bases keep their objects";
  EXPECT_TRUE(kept->isOpen());
  EXPECT_EQ(home.bases.at(1), built);
  EXPECT_TRUE(built->isBuilding());
  EXPECT_EQ(session.addBase({"fourth", home.dir.path() + "/none", "four", false}), WpbEditStatus::NoSuchFolder);

  EXPECT_FALSE(session.canRemove(1));
  EXPECT_EQ(session.removeBase(1, true), WpbEditStatus::NoSuchBase) << "never the base being built";
  ASSERT_TRUE(session.canRemove(0));
  ASSERT_EQ(session.removeBase(0, false), WpbEditStatus::Ok);
  EXPECT_EQ(session.building(), 0) << "the build follows its base";
  ASSERT_EQ(home.bases.count(), 2);
  EXPECT_EQ(home.bases.at(0), built);
  EXPECT_EQ(home.bases.at(1)->fileName(), "three");

  session.requestStop();
  ASSERT_TRUE(tickUntilEnded(session).back().ended.has_value());
  EXPECT_EQ(home.users.calls, (std::vector<std::string>{"release 1", "renumbered 0 1", "release 0",
                                                        "renumbered -1 0 1", "rebuilt 0"}));
  EXPECT_FALSE(built->isBuilding());
}

TEST(PatternBuildSession, ProgressTextsAndListLines) {
  const BuildProgressWords w;
  BuildResult stopped, failed, finished;
  stopped.global.ran = true;
  stopped.global.completed = false;
  failed = stopped;
  failed.ok = false;
  const struct {
    BuildTick tick;
    std::string want;
  } table[] = {
      {{true, false, 0, 10, 3, {}}, "正在创建index"},
      {{true, false, 1, 10, 3, {}}, "正在创建全局模式库, \r\n棋谱总数:10, \r\n当前:3"},
      {{true, false, 2, 7, 7, {}}, "正在创建局部模式库, \r\n棋谱总数:7, \r\n当前:7"},
      {{true, true, 1, 5, 1, {}}, "正在创建全局模式库, \r\n棋谱总数:5, \r\n当前:1\r\n正在停止, 保存已完成的部分..."},
      {{false, false, 1, 5, 5, {}}, ""},
  };
  for (const auto& t : table) EXPECT_EQ(buildProgressText(w, t.tick), t.want);
  // The tick that finds a build ended: only one that stopped early leaves a line.
  const std::pair<const BuildResult*, std::string> ends[] = {
      {&stopped, "已停止, 已完成的部分已保存"}, {&failed, ""}, {&finished, ""}};
  for (const auto& [result, want] : ends) {
    BuildTick tick;
    tick.ended = *result;
    EXPECT_EQ(buildProgressText(w, tick), want);
  }
  EXPECT_EQ(patternBaseLine("pro", true), "pro(default)");
  EXPECT_EQ(patternBaseLine("pro", false), "pro");
}

}  // namespace
}  // namespace mh
