#include "library_windows/qt/record_library_window.h"

#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

#include "library_windows/qt/record_library_model.h"
#include "library_windows/qt/sort_arrow_header.h"
#include "library_windows/record_columns.h"
#include "library_windows/players_file.h"
#include "patterns/wpb_list.h"
#include "platform/text_codec.h"
#include "support/corpus_pattern_base.h"
#include "support/qt/item_view_clicks.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

// The record library on a program's directory holding one pattern base built from 300 tygem-gb
// games.
struct Library {
  WpbList bases;
  RecordLibraryWindow window;

  Library()
      : bases(read()), window(&bases, false, [](const char* name) { return test::sharedTygemProgramDirectory() + name; }) {
    window.resize(900, 600);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  static WpbList read() {
    WpbList list;
    list.read(test::sharedTygemProgramDirectory() + "WPBs.ini", test::sharedTygemProgramDirectory(), 1);
    return list;
  }
  const GameIndex& index() { return bases.at(0)->gameIndex(); }
};

// Saves a picture of a widget when MOONHAVEN_SHOTS names a folder (for looking at the screens).
void shoot(QWidget* w, const char* name) {
  const QString dir = qEnvironmentVariable("MOONHAVEN_SHOTS");
  if (!dir.isEmpty()) w->grab().save(dir + "/" + name + ".png");
}

QString gbText(std::string_view gb) { return QString::fromStdString(text::gbToUtf8(gb)); }

TEST(RecordLibraryWindow, ListsFiltersAndAsksToOpenADoubleClickedGame) {
  Library d;
  RecordLibraryWindow* w = &d.window;
  const GameIndex& index = d.index();
  ASSERT_EQ(index.count(), 300);
  RecordLibraryModel* model = w->model();
  EXPECT_EQ(model->rowCount(), 300);
  EXPECT_EQ(w->baseChoice()->count(), 1);
  EXPECT_EQ(w->baseChoice()->currentText(), QStringLiteral("tygem"));
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("黑方"));
  EXPECT_EQ(model->headerData(5, Qt::Horizontal).toString(), QStringLiteral("文件名"));
  // The first rows in index order, decoded from GB; rows alternate white and grey.
  EXPECT_EQ(model->cellText(0, kBlackColumn), gbText(index.entry(0).blackName()));
  EXPECT_EQ(model->cellText(0, kBlackRankColumn), QStringLiteral("9段"));
  EXPECT_EQ(model->data(model->index(0, 0), Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
  EXPECT_EQ(model->data(model->index(1, 0), Qt::BackgroundRole).value<QColor>(), QColor(240, 240, 240));
  shoot(w, "library-index-order");

  // A player with a GB name, as Black: every row shows him as Black.
  std::string player;
  for (const auto& e : index.entries())
    if (static_cast<unsigned char>(e.blackName()[0]) >= 0x80) {
      player = e.blackName();
      break;
    }
  ASSERT_FALSE(player.empty());
  int asBlack = 0;
  for (const auto& e : index.entries()) asBlack += e.blackName() == player;
  w->applyFilter({player, PlayerFilter::AsBlack});
  ASSERT_EQ(model->rowCount(), asBlack);
  for (int r = 0; r < model->rowCount(); ++r) EXPECT_EQ(model->cellText(r, kBlackColumn), gbText(player));

  // A double-click asks for the row's record file.
  QByteArray asked;
  QObject::connect(w, &RecordLibraryWindow::openRecord, [&](const QByteArray& path) { asked = path; });
  QTableView* table = w->table();
  const int last = model->rowCount() - 1;
  test::doubleClick(table, table->visualRect(model->index(last, kFileColumn)).center());
  EXPECT_EQ(asked.toStdString(), index.directory() + index.entry(model->view().gameAt(last)).relativeName());
}

TEST(RecordLibraryWindow, HeaderSortsShowTheArrowAndSurviveHiding) {
  Library d;
  RecordLibraryWindow* w = &d.window;
  RecordLibraryModel* model = w->model();
  SortArrowHeader* header = w->header();
  EXPECT_EQ(header->markedColumn(), -1);
  const auto click = [&](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 20, header->height() / 2));
  };
  click(kWhiteColumn);
  EXPECT_EQ(model->view().sortState(), (RecordSortState{kWhiteColumn, 2}));
  EXPECT_EQ(header->markedColumn(), kWhiteColumn);
  // Descending by white name: the first row's name is the greatest.
  const QString first = model->cellText(0, kWhiteColumn);
  const QString last = model->cellText(model->rowCount() - 1, kWhiteColumn);
  EXPECT_GE(text::utf8ToGb(first.toStdString()), text::utf8ToGb(last.toStdString()));
  // The arrow of a descending sort is blue, at the section's right end.
  QImage shot = header->grab().toImage();
  const int right = header->sectionViewportPosition(kWhiteColumn) + header->sectionSize(kWhiteColumn);
  auto arrowPixels = [&](const QColor& colour) {
    int n = 0;
    for (int x = right - 16; x < right; ++x)
      for (int y = 0; y < shot.height(); ++y) n += QColor(shot.pixel(x, y)) == colour;
    return n;
  };
  EXPECT_GT(arrowPixels(SortArrowHeader::kDescendingColour), 4);
  EXPECT_EQ(arrowPixels(SortArrowHeader::kAscendingColour), 0);
  shoot(w, "library-sorted-descending");

  std::vector<int> before;
  for (int r = 0; r < model->rowCount(); ++r) before.push_back(model->view().gameAt(r));
  click(kWhiteColumn);
  EXPECT_EQ(model->view().sortState(), (RecordSortState{kWhiteColumn, 1}));
  for (int r = 0; r < model->rowCount(); ++r)
    ASSERT_EQ(model->view().gameAt(r), before[before.size() - 1 - static_cast<size_t>(r)]) << "reversed";
  shot = header->grab().toImage();
  EXPECT_GT(arrowPixels(SortArrowHeader::kAscendingColour), 4);

  // Its base shown again (a rebuild): the same filter and sort.
  w->applyFilter({d.index().entry(0).blackName(), PlayerFilter::AnyColour});
  const int rows = model->rowCount();
  w->releaseBase(0);
  EXPECT_EQ(model->rowCount(), 0);
  d.bases.at(0)->close();
  w->reloadBase(0);
  EXPECT_EQ(model->rowCount(), rows);
  EXPECT_EQ(model->view().sortState(), (RecordSortState{kWhiteColumn, 1}));
  EXPECT_EQ(header->markedColumn(), kWhiteColumn);
}

// A players directory with a file for two of the four tabs.
struct PlayersDir {
  test::ScratchDir dir;
  PlayersDir() {
    // 聂卫平 and 马晓春 in GB, a comment, and 这为: 为 has no BIG5 form after mapping.
    std::ofstream(dir.file("players.ini")) << "; all\r\n\xC4\xF4\xCE\xC0\xC6\xBD\r\n"
                                              "\xC2\xED\xCF\xFE\xB4\xBA\r\n\xD5\xE2\xCE\xAA\r\n";
    std::ofstream(dir.file("players_Net.ini")) << "kmomo(P)\nAce(P)\n";
  }
  PlayerDialog::PlayersFilePath path() const {
    return [d = dir.path()](const char* name) { return d + "/" + name; };
  }
};

TEST(PlayerDialog, TabsNamesColoursAndAllGames) {
  PlayersDir players;
  PlayerDialog dialog(players.path(), false, {});
  ASSERT_EQ(dialog.tabs()->count(), 4);
  EXPECT_EQ(dialog.tabs()->tabText(1), QStringLiteral("著名职业棋手"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("选择 棋手"));
  // Tab 0 lists players.ini sorted by GB bytes (马 C2ED, 聂 C4F4, 这 D5E2), the first selected.
  ASSERT_EQ(dialog.names()->count(), 3);
  EXPECT_EQ(dialog.names()->item(0)->text(), QStringLiteral("马晓春"));
  EXPECT_EQ(dialog.names()->item(2)->text(), QStringLiteral("这为"));
  EXPECT_EQ(dialog.chosenFilter(), (PlayerFilter{"\xC2\xED\xCF\xFE\xB4\xBA", 0}));
  dialog.names()->setCurrentRow(1);
  dialog.colours()->setCurrentIndex(2);
  EXPECT_EQ(dialog.chosenFilter(), (PlayerFilter{"\xC4\xF4\xCE\xC0\xC6\xBD", PlayerFilter::AsWhite}));
  dialog.tabs()->setCurrentIndex(1);
  EXPECT_EQ(dialog.names()->count(), 0) << "a missing file lists nobody";
  EXPECT_EQ(dialog.chosenFilter().name, "");
  dialog.tabs()->setCurrentIndex(2);
  EXPECT_EQ(dialog.names()->item(0)->text(), QStringLiteral("Ace(P)"));
  shoot(&dialog, "player-dialog");
  QTest::mouseClick(dialog.allGamesButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.chosenFilter().name, "") << "all records: no player";

  // Opened again on the current filter: the first tab that lists its name, the name and colour.
  PlayerDialog net(players.path(), false, {"kmomo(P)", PlayerFilter::AsBlack});
  EXPECT_EQ(net.tabs()->currentIndex(), 2);
  EXPECT_EQ(net.chosenFilter(), (PlayerFilter{"kmomo(P)", PlayerFilter::AsBlack}));
}

TEST(PlayerDialog, Big5DisplayReturnsTheStoredGbName) {
  PlayersDir players;
  PlayerDialog dialog(players.path(), true, {});
  EXPECT_EQ(dialog.names()->item(0)->text(), QStringLiteral("馬曉春"));
  EXPECT_EQ(dialog.names()->item(2)->text(), QStringLiteral("這?"));
  dialog.names()->setCurrentRow(2);
  EXPECT_EQ(dialog.chosenFilter().name, "\xD5\xE2\xCE\xAA") << "not the lossy way back from BIG5";
}

TEST(ShippedPlayersFiles, AreGbAndListEveryNameInTheFirst) {
  const std::string dir = std::string(MOONHAVEN_BINARY_DIR) + "/apps/";
  std::vector<std::string> all = readPlayersFile(dir + kPlayersFileNames[0]);
  size_t others = 0;
  for (size_t t = 1; t < kPlayersFileNames.size(); ++t) {
    const auto names = readPlayersFile(dir + kPlayersFileNames[t]);
    EXPECT_GE(names.size(), 4u) << kPlayersFileNames[t];
    for (const std::string& n : names)
      EXPECT_TRUE(std::binary_search(all.begin(), all.end(), n)) << kPlayersFileNames[t] << ": " << n;
    others += names.size();
  }
  EXPECT_EQ(all.size(), others);
  EXPECT_TRUE(std::binary_search(all.begin(), all.end(), std::string("\xC4\xF4\xCE\xC0\xC6\xBD")))
      << "a professional's name in GB bytes";
}

}  // namespace
}  // namespace mh
