#include "shell/qt/main_frame.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include "room/board_geometry.h"
#include "room/qt/board_view.h"

namespace mh {
namespace {

TEST(MainFrame, ShowsTheTitleAndAnEmptyBoard) {
  CMainFrame frame;
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  EXPECT_TRUE(frame.isVisible());
  EXPECT_EQ(frame.windowTitle(), QString::fromUtf8("Moonhaven(Stonelark)2.2版"));
  ASSERT_NE(frame.boardView(), nullptr);
  EXPECT_TRUE(frame.boardView()->board().isEmpty());
  EXPECT_EQ(frame.boardView()->board().width(), 19);
}

TEST(BoardViewWidget, PaintsGridStarPointsAndStones) {
  BoardView view;
  view.resize(400, 400);
  Board board;
  board.set(board.point(3, 3), Black);
  view.setBoard(board);
  const QImage image = view.grab().toImage();
  const BoardGeometry g(400, 400, 19, 19);
  auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 80; };
  EXPECT_TRUE(dark(g.centreX(3), g.centreY(3))) << "black stone";
  EXPECT_TRUE(dark(g.centreX(9), g.centreY(9))) << "tengen star point";
  EXPECT_TRUE(dark(g.centreX(5) + g.cell() / 2, g.centreY(0))) << "top grid line between points";
  EXPECT_FALSE(dark(g.centreX(5) + g.cell() / 2, g.centreY(5) + g.cell() / 2)) << "inside a cell";
}

TEST(BoardViewWidget, ClicksBecomePoints) {
  BoardView view;
  view.resize(400, 400);
  const BoardGeometry g(400, 400, 19, 19);
  int gotX = -1, gotY = -1;
  QObject::connect(&view, &BoardView::pointChosen, [&](int x, int y) {
    gotX = x;
    gotY = y;
  });
  QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(g.centreX(15) + 2, g.centreY(2) - 3));
  EXPECT_EQ(gotX, 15);
  EXPECT_EQ(gotY, 2);
}

}  // namespace
}  // namespace mh
