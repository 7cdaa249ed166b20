#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>

#include "records/position_report.h"
#include "records/record_loader.h"
#include "room/board_scene.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

const std::string kCli = std::string(MOONHAVEN_BINARY_DIR) + "/apps/moonhaven-cli";
const std::string kRecord = std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25/253550034.sgf";

int run(const std::string& arguments) {
  return std::system(("env -u DISPLAY " + kCli + " " + arguments + " >/dev/null 2>&1").c_str());
}

// The position of a record as the core replays it.
Board positionOf(const std::string& path, int move) {
  GameRecord record;
  int result = 0;
  EXPECT_EQ(loadRecordFile(path, false, record, result), RecordLoadStatus::Ok);
  const auto at = replayRecord(record, move);
  EXPECT_TRUE(at);
  return at ? at->board : Board();
}

TEST(RenderCommand, EveryStoneAndEmptyPointWhereTheRoomDrawsIt) {
  test::ScratchDir dir;
  const struct {
    int move, width, height;
  } table[] = {{86, 760, 760}, {50, 1000, 640}, {20, 333, 333}};
  for (const auto& t : table) {
    SCOPED_TRACE(testing::Message() << "move " << t.move << " " << t.width << "x" << t.height);
    const std::string out = dir.file("position.png");
    ASSERT_EQ(run("render " + kRecord + " --move " + std::to_string(t.move) + " --size " + std::to_string(t.width) +
                  "x" + std::to_string(t.height) + " --out " + out),
              0);
    const QImage image(QString::fromStdString(out));
    ASSERT_EQ(image.size(), QSize(t.width, t.height));
    BoardScene scene;
    scene.board = positionOf(kRecord, t.move);
    scene.layout(t.width, t.height);
    const BoardGeometry& g = scene.geometry;
    for (Point p = 0; p < 361; ++p) {
      const int x = g.centreX(p % 19), y = g.centreY(p / 19);
      const int colour = scene.board.get(p);
      if (colour == Black) {
        ASSERT_LT(qGray(image.pixel(x, y)), 70) << "black stone at " << p;
      } else if (colour == White) {
        ASSERT_GT(qGray(image.pixel(x, y)), 180) << "white stone at " << p;
      } else {
        // The centre of an empty point is where its lines cross; the wood is beside it, clear of
        // a star point's dot.
        const int d = std::max(5, g.cell() / 6);
        const QRgb c = image.pixel(x + d, y + d);
        ASSERT_TRUE(qRed(c) > 150 && qGreen(c) > qBlue(c) + 20) << "wood at " << p;
      }
    }
  }
}

TEST(RenderCommand, SvgAndRefusals) {
  test::ScratchDir dir;
  const std::string svg = dir.file("diagram.SVG");
  ASSERT_EQ(run("render " + kRecord + " --numbers 3 --size 400 --out " + svg), 0);
  QFile file(QString::fromStdString(svg));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("<svg")) << "an SVG document";
  EXPECT_TRUE(text.contains("viewBox=\"0 0 400 400\""));

  EXPECT_NE(run("render " + kRecord + " --out " + dir.file("x.jpg")), 0) << "only PNG and SVG";
  EXPECT_NE(run("render " + kRecord + " --move 900 --out " + dir.file("x.png")), 0) << "no such position";
  EXPECT_NE(run("render " + kRecord + " --numbers 4 --out " + dir.file("x.png")), 0);
  EXPECT_NE(run("render " + kRecord + " --size 0x5 --out " + dir.file("x.png")), 0);
  EXPECT_NE(run("render " + kRecord), 0) << "no output named";
  EXPECT_NE(run("render " + dir.file("missing.sgf") + " --out " + dir.file("x.png")), 0);
}

// --tree picks a game of a collection: the second game's stones are drawn, not the first's.
TEST(RenderCommand, DrawsTheGameTreeAsked) {
  test::ScratchDir dir;
  const std::string games = dir.file("two.sgf");
  {
    QFile file(QString::fromStdString(games));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("(;SZ[9];B[gg])\n(;SZ[9];B[cc];W[ee])\n");
  }
  const std::string out = dir.file("second.png");
  ASSERT_EQ(run("render " + games + " --tree 2 --size 300 --out " + out), 0);
  const QImage image(QString::fromStdString(out));
  BoardScene scene;
  scene.board = Board(9, 9);
  scene.layout(300, 300);
  const BoardGeometry& g = scene.geometry;
  EXPECT_LT(qGray(image.pixel(g.centreX(2), g.centreY(2))), 70) << "the second game's black stone";
  EXPECT_GT(qGray(image.pixel(g.centreX(4), g.centreY(4))), 180) << "the second game's white stone";
  EXPECT_GT(qGray(image.pixel(g.centreX(6) + g.cell() / 6, g.centreY(6) + g.cell() / 6)), 70) << "no first-game stone";
  EXPECT_NE(run("render " + games + " --tree 3 --out " + out), 0) << "no third game";
}

}  // namespace
}  // namespace mh
