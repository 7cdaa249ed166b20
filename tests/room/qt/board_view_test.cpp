#include "room/qt/board_view.h"

#include <QPainter>
#include <climits>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "room/paint/board_images.h"
#include "room/paint/board_painter.h"
#include "support/board_module.h"

namespace mh {
namespace {


bool dark(QRgb c) { return qGray(c) < 70; }
bool light(QRgb c) { return qGray(c) > 180 && qRed(c) - qBlue(c) < 40; }
// The wood: a warm yellow-brown, red above green above blue.
bool wood(QRgb c) { return qRed(c) > 150 && qRed(c) >= qGreen(c) && qGreen(c) > qBlue(c) + 20; }

// Where to look at a point: a little off its centre, clear of the grid lines and of a small
// stone's outline.
QPoint probe(const BoardGeometry& g, Point p) {
  const int d = std::max(1, g.cell() / 6);
  return {g.centreX(p % g.columns()) + d, g.centreY(p / g.columns()) + d};
}

QImage paint(const BoardScene& scene, const BoardImages& images, int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  QPainter painter(&image);
  paintBoard(painter, w, h, scene, images);
  return image;
}

TEST(BoardPainting, StonesWoodAndLinesWithAndWithoutTheModule) {
  const BoardImages module = BoardImages::load(test::kBoardModule);
  ASSERT_TRUE(module.moduleLoaded()) << "the board module is generated at build time";
  const BoardImages builtin;
  ASSERT_FALSE(builtin.moduleLoaded());
  // Module stones exist for stone squares of 10 to 59 pixels only.
  for (const auto& [a, present] : {std::pair{9, false}, {10, true}, {59, true}, {60, false}})
    EXPECT_EQ(module.moduleStone(White, a) != nullptr, present) << "a = " << a;
  EXPECT_EQ(builtin.moduleStone(Black, 30), nullptr);
  EXPECT_NE(builtin.builtinStone(1, Black), nullptr);
  EXPECT_EQ(builtin.builtinStone(2, Black), nullptr) << "only styles 0 and 1 have images";
  BoardScene scene;
  scene.board.set(60, Black);
  scene.board.set(61, White);
  for (const BoardImages* images : {&module, &builtin}) {
    // Cells of 11 and 62 pixels (a = 9, 60) have no module stone: drawn discs instead.
    for (const QSize size : {QSize(760, 760), QSize(1080, 1080), QSize(300, 300), QSize(245, 245), QSize(1250, 1250)}) {
      scene.layout(size.width(), size.height());
      const BoardGeometry& g = scene.geometry;
      SCOPED_TRACE(testing::Message() << "cell " << g.cell() << (images->moduleLoaded() ? " module" : " built-in"));
      const QImage image = paint(scene, *images, size.width(), size.height());
      EXPECT_TRUE(dark(image.pixel(probe(g, 60)))) << "black stone";
      EXPECT_TRUE(light(image.pixel(probe(g, 61)))) << "white stone";
      EXPECT_TRUE(wood(image.pixel(probe(g, 62)))) << "empty point";
      EXPECT_TRUE(dark(image.pixel(g.centreX(2) + g.cell() / 2, g.centreY(5)))) << "grid line between points";
      EXPECT_TRUE(dark(image.pixel(g.centreX(9), g.centreY(9)))) << "star point";
      EXPECT_EQ(image.pixel(1, 1), qRgb(255, 255, 255)) << "white outside the board";
    }
  }
  scene.layout(28, 28);
  const QImage tiny = paint(scene, module, 28, 28);
  for (int y = 0; y < 28; ++y)
    for (int x = 0; x < 28; ++x) ASSERT_EQ(tiny.pixel(x, y), qRgb(255, 255, 255)) << "cell 0 paints white only";
}

// The height of the red pixels (a red label's ink) inside a point's square.
int redInkHeight(const QImage& image, const BoardGeometry& g, Point p) {
  const auto r = g.pointRect(p);
  int top = INT_MAX, bottom = -1;
  for (int y = r->top; y < r->bottom; ++y) {
    for (int x = r->left; x < r->right; ++x) {
      const QRgb c = image.pixel(x, y);
      if (qRed(c) > 200 && qGreen(c) < 90 && qBlue(c) < 90) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  return bottom < 0 ? 0 : bottom - top + 1;
}

TEST(BoardPainting, OneCharacterLabelsAreLargeLongerOnesSmall) {
  const BoardImages images = BoardImages::load(test::kBoardModule);
  BoardScene scene;
  scene.board.set(100, Black);
  ASSERT_TRUE(scene.annotations.addLabel(60, kRed, "A"));
  ASSERT_TRUE(scene.annotations.addLabel(66, kRed, "A1"));
  ASSERT_TRUE(scene.annotations.addLabel(100, kRed, "A"));
  scene.layout(760, 760);
  const QImage image = paint(scene, images, 760, 760);
  const int large = redInkHeight(image, scene.geometry, 60);
  const int small = redInkHeight(image, scene.geometry, 66);
  const int onStone = redInkHeight(image, scene.geometry, 100);
  EXPECT_GT(large, small * 5 / 4) << "large " << large << " small " << small;
  EXPECT_NEAR(onStone, small, 2) << "on a stone the small font";
  // The opaque box hides the grid line under a label on an empty point.
  EXPECT_FALSE(dark(image.pixel(scene.geometry.centreX(3), scene.geometry.centreY(3))));
}

TEST(BoardPainting, MarksAndCursorColours) {
  const BoardImages images = BoardImages::load(test::kBoardModule);
  BoardScene scene;
  scene.board.set(60, Black);
  scene.annotations.addMark(60, kMarkSquare);    // white on a black stone
  scene.annotations.addMark(62, kMarkDead);      // red
  scene.annotations.addMark(64, kMarkWhiteArea);
  scene.cursorEnabled = true;
  scene.cursorPoint = 180;
  scene.layout(760, 760);
  const BoardGeometry& g = scene.geometry;
  const QImage image = paint(scene, images, 760, 760);
  const auto centre = [&](Point p) { return image.pixel(g.centreX(p % 19) + 2, g.centreY(p / 19) + 2); };
  EXPECT_EQ(centre(60), qRgb(255, 255, 255));
  EXPECT_EQ(centre(62), qRgb(255, 0, 0));
  EXPECT_EQ(centre(64), qRgb(255, 255, 255));
  const auto r = g.pointRect(180);
  EXPECT_EQ(image.pixel(r->left + 2, r->top), qRgb(0, 0, 255)) << "a corner bracket of the cursor";
}

TEST(BoardViewWidget, ClicksAndTheKeyboardCursorChoosePoints) {
  const BoardImages images;
  BoardView view(images);
  view.resize(500, 500);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  QSignalSpy chosen(&view, &BoardView::pointChosen);
  const BoardGeometry& g = view.geometry();
  QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(g.centreX(15) + 2, g.centreY(2) - 3));
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen.takeFirst().at(0).toInt(), 2 * 19 + 15);
  QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(g.xLast() + g.cell(), g.y0()));
  EXPECT_EQ(chosen.count(), 0) << "off the board";

  // From point 0: three right, Ctrl+Right six times (column 3 -> ... -> 18 -> 0 wraps), down.
  QTest::keyClick(&view, Qt::Key_Right);
  QTest::keyClick(&view, Qt::Key_Right);
  QTest::keyClick(&view, Qt::Key_Right);
  for (int i = 0; i < 5; ++i) QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(view.scene().cursorPoint, 18);
  QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(view.scene().cursorPoint, 0);
  QTest::keyClick(&view, Qt::Key_Down);
  QTest::keyClick(&view, Qt::Key_Return);
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen.takeFirst().at(0).toInt(), 19);

  view.setCursorEnabled(false);
  QTest::keyClick(&view, Qt::Key_Return);
  EXPECT_EQ(chosen.count(), 0) << "keys are ignored without the cursor";

  view.resize(28, 28);
  QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(14, 14));
  EXPECT_EQ(chosen.count(), 0) << "nothing is hit while the cell is 0";
}

}  // namespace
}  // namespace mh
