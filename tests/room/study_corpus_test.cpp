// Studying a real record never touches the record.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/game_state.h"
#include "records/record_loader.h"
#include "room/study_navigation.h"

namespace mh {
namespace {

namespace fs = std::filesystem;

TEST(StudyCorpus, EndStudyReturnsToTheRecordUnchanged) {
  const std::string path = std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25/253550034.sgf";
  if (!fs::is_regular_file(path)) GTEST_SKIP() << "no corpus record " << path;
  GameRecord record;
  int resultCode = 0;
  ASSERT_EQ(loadRecordFile(path, false, record, resultCode), RecordLoadStatus::Ok);
  GameState game;
  game.load(record);
  const GameRecord mainBefore = game.mainRecord();
  const History historyBefore = game.mainHistory();

  const auto run = [&](StudyCommand c) { return runStudyCommand(game, c, studyBarState(game.view(), false, false, true)); };
  ASSERT_TRUE(game.goTo(40));
  const Board at40 = game.board();
  run(StudyCommand::Study);
  // Three moves of the study line, each on the first empty point the side may play.
  for (int i = 0; i < 3; ++i) {
    Point p = 0;
    while (game.board().get(p) != Empty || game.isIllegal(game.sideToMove(), p)) ++p;
    ASSERT_TRUE(game.play(game.sideToMove(), p)) << "study move " << i;
  }
  EXPECT_EQ(game.currentIndex(), 43);
  EXPECT_EQ(game.mainRecord(), mainBefore);
  run(StudyCommand::EndStudy);

  EXPECT_FALSE(game.studying());
  EXPECT_EQ(game.currentIndex(), 40);
  EXPECT_EQ(game.board(), at40);
  EXPECT_EQ(game.mainRecord(), mainBefore);
  EXPECT_EQ(game.mainHistory(), historyBefore);
  run(StudyCommand::Last);
  EXPECT_EQ(game.currentIndex(), static_cast<int>(historyBefore.size()) - 1);
}

}  // namespace
}  // namespace mh
