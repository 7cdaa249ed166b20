#include "shell/qt/record_files.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "room/qt/child_frame.h"
#include "room/qt/room_view.h"
#include "shell/qt/desktop_services.h"
#include "shell/qt/main_frame.h"
#include "support/scratch_dir.h"
#include "support/board_module.h"

namespace mh {
namespace {

namespace fs = std::filesystem;

// The first n records of the corpus's GB folder, by name.
std::vector<std::string> corpusRecords(size_t n) {
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25"))
    if (e.path().extension() == ".sgf") files.push_back(e.path().string());
  std::sort(files.begin(), files.end());
  files.resize(std::min(n, files.size()));
  return files;
}

// A frame with room 100, as the program starts, in a program directory of its own.
struct StartedFrame {
  test::ScratchDir home;
  DesktopServices services{home.path(), test::kBoardModule};
  CMainFrame frame{services.roomContext()};

  StartedFrame() {
    frame.resize(1000, 760);
    frame.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.newRoom();
  }
  // Each room's number and the record it holds, in creation order.
  std::vector<std::pair<int, std::string>> rooms() const {
    std::vector<std::pair<int, std::string>> out;
    for (CChildFrame* room : frame.rooms()) out.emplace_back(room->number(), room->roomView()->room().filePath());
    return out;
  }
  // The texts of the message boxes up, anywhere in the frame.
  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (QMessageBox* box : frame.findChildren<QMessageBox*>())
      if (box->isVisible()) texts.push_back(box->text().toStdString());
    return texts;
  }
};

TEST(RecordFiles, EachRecordOpensInARoomOfItsOwnFromRoom100) {
  const std::vector<std::string> three = corpusRecords(3);
  ASSERT_EQ(three.size(), 3u);
  StartedFrame s;
  const RecordsToOpen plan = openRecordFiles(s.frame, three);
  EXPECT_TRUE(plan.notOpened.empty());
  using Rooms = std::vector<std::pair<int, std::string>>;
  EXPECT_EQ(s.rooms(), (Rooms{{100, three[0]}, {101, three[1]}, {102, three[2]}}));
  EXPECT_TRUE(s.messages().empty());
}

TEST(RecordFiles, AFileThatDoesNotOpenGetsTheRoomsMessageAndTheRestStillOpen) {
  const std::vector<std::string> one = corpusRecords(1);
  ASSERT_EQ(one.size(), 1u);
  StartedFrame s;
  (void)openRecordFiles(s.frame, {"/no/such/record.sgf", one[0]});
  using Rooms = std::vector<std::pair<int, std::string>>;
  EXPECT_EQ(s.rooms(), (Rooms{{100, ""}, {101, one[0]}})) << "room 100 keeps its new game";
  EXPECT_EQ(s.messages(), std::vector<std::string>{"读sgf文件失败!"});
}

TEST(RecordFiles, FilesPastTheNineRoomLimitAreNamedInAMessage) {
  const std::vector<std::string> eleven = corpusRecords(11);
  ASSERT_EQ(eleven.size(), 11u);
  StartedFrame s;
  const RecordsToOpen plan = openRecordFiles(s.frame, eleven, 9);
  EXPECT_EQ(s.frame.rooms().size(), 9);
  EXPECT_EQ(plan.notOpened, (std::vector<std::string>{eleven[9], eleven[10]}));
  const std::vector<std::string> messages = s.messages();
  ASSERT_EQ(messages.size(), 1u);
  for (const std::string& f : plan.notOpened)
    EXPECT_NE(messages[0].find(f), std::string::npos) << "the message names " << f;
}

// Drags a set of files onto the frame; whether it would take them, and after dropping them.
bool dropOn(CMainFrame& frame, const std::vector<std::string>& files, bool drop) {
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& f : files)
    urls << (f.starts_with('/') ? QUrl::fromLocalFile(QString::fromStdString(f)) : QUrl(QString::fromStdString(f)));
  data.setUrls(urls);
  const QPoint at(frame.width() / 2, frame.height() / 2);
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&frame, &enter);
  if (!enter.isAccepted() || !drop) return enter.isAccepted();
  QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&frame, &dropped);
  return dropped.isAccepted();
}

TEST(RecordFiles, DroppedRecordsOpenInTheActiveRoomAndNewOnes) {
  const std::vector<std::string> three = corpusRecords(3);
  ASSERT_EQ(three.size(), 3u);
  StartedFrame s;
  acceptRecordDrops(s.frame);
  using Rooms = std::vector<std::pair<int, std::string>>;
  struct Case {
    const char* what;
    std::vector<std::string> files;
    bool taken;
  } refused[] = {
      {"no record among the files", {"/tmp/notes.txt", "/tmp/picture.png"}, false},
      {"a record on another machine", {"http://example.invalid/game.sgf"}, false},
      {"nothing", {}, false},
  };
  for (const Case& c : refused) EXPECT_EQ(dropOn(s.frame, c.files, false), c.taken) << c.what;
  EXPECT_EQ(s.rooms(), (Rooms{{100, ""}}));

  // Other files dropped along with the records are left out.
  EXPECT_TRUE(dropOn(s.frame, {three[0], "/tmp/notes.txt"}, true));
  EXPECT_EQ(s.rooms(), (Rooms{{100, three[0]}}));
  EXPECT_TRUE(dropOn(s.frame, {three[1], three[2]}, true));
  EXPECT_EQ(s.rooms(), (Rooms{{100, three[1]}, {101, three[2]}})) << "the first into the active room";
  EXPECT_TRUE(s.messages().empty());
}

}  // namespace
}  // namespace mh
