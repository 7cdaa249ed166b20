#include "room/qt/board_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

#include "room/board_geometry.h"

namespace mh {

BoardView::BoardView(QWidget* parent) : QWidget(parent) {
  setMinimumSize(240, 240);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardView::setBoard(const Board& board) {
  board_ = board;
  update();
}

void BoardView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0xDC, 0xB3, 0x5C));
  const int cols = std::max(board_.width(), 1), rows = std::max(board_.height(), 1);
  const BoardGeometry g(width(), height(), cols, rows);

  painter.setPen(QPen(Qt::black, 1));
  for (int x = 0; x < cols; ++x) painter.drawLine(g.centreX(x), g.centreY(0), g.centreX(x), g.centreY(rows - 1));
  for (int y = 0; y < rows; ++y) painter.drawLine(g.centreX(0), g.centreY(y), g.centreX(cols - 1), g.centreY(y));

  // Grid lines are drawn crisp; discs and text are smoothed.
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::black);
  const int star = std::max(2, g.cell() / 8);
  for (const Coord& c : BoardGeometry::starPoints(cols, rows))
    painter.drawEllipse(QPoint(g.centreX(c.x), g.centreY(c.y)), star, star);

  QFont font = painter.font();
  font.setPixelSize(std::max(8, g.cell() / 3));
  painter.setFont(font);
  static const char kColumns[] = "ABCDEFGHJKLMNOPQRSTUVWXYZ";
  for (int x = 0; x < cols && x < 25; ++x) {
    const QRect r(g.centreX(x) - g.cell() / 2, g.centreY(0) - g.cell(), g.cell(), g.cell() / 2);
    painter.drawText(r, Qt::AlignCenter, QString(QChar(kColumns[x])));
  }
  for (int y = 0; y < rows; ++y) {
    const QRect r(g.centreX(0) - g.cell() - g.cell() / 4, g.centreY(y) - g.cell() / 2, g.cell(), g.cell());
    painter.drawText(r, Qt::AlignCenter, QString::number(rows - y));
  }

  const int radius = g.cell() / 2 - 1;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < cols; ++x) {
      const int v = board_.get(board_.point(x, y));
      if (v != Black && v != White) continue;
      const QPoint c(g.centreX(x), g.centreY(y));
      QRadialGradient shade(c - QPoint(radius / 3, radius / 3), radius * 1.3);
      shade.setColorAt(0, v == Black ? QColor(90, 90, 90) : Qt::white);
      shade.setColorAt(1, v == Black ? Qt::black : QColor(200, 200, 200));
      painter.setBrush(shade);
      painter.setPen(QPen(v == Black ? Qt::black : QColor(120, 120, 120), 1));
      painter.drawEllipse(c, radius, radius);
    }
  }
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  const BoardGeometry g(width(), height(), std::max(board_.width(), 1), std::max(board_.height(), 1));
  Coord c;
  const QPoint pos = event->position().toPoint();
  if (g.pointAt(pos.x(), pos.y(), c)) emit pointChosen(c.x, c.y);
}

}  // namespace mh
