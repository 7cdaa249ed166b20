#include "room/qt/board_cursors.h"

#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

#include "model/point.h"

namespace mh {

namespace {

constexpr int kSize = 24;

QCursor makeStoneCursor(int colour) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF disc(4.5, 4.5, kSize - 9, kSize - 9);
  QRadialGradient shade(disc.center() - QPointF(2.5, 2.5), disc.width() * 0.7);
  shade.setColorAt(0, colour == Black ? QColor(110, 110, 110) : Qt::white);
  shade.setColorAt(1, colour == Black ? QColor(10, 10, 10) : QColor(200, 200, 196));
  p.setBrush(shade);
  p.setPen(QPen(colour == Black ? Qt::black : QColor(90, 90, 90), 1));
  p.setOpacity(0.85);
  p.drawEllipse(disc);
  return QCursor(pixmap, kSize / 2, kSize / 2);
}

QCursor makeDeadStoneCursor() {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(5, 5, kSize - 6, kSize - 6);
  p.drawLine(kSize - 6, 5, 5, kSize - 6);
  p.setPen(QPen(QColor(220, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(5, 5, kSize - 6, kSize - 6);
  p.drawLine(kSize - 6, 5, 5, kSize - 6);
  return QCursor(pixmap, kSize / 2, kSize / 2);
}

}  // namespace

QCursor stoneCursor(int colour) {
  static const QCursor black = makeStoneCursor(Black);
  static const QCursor white = makeStoneCursor(White);
  return colour == White ? white : black;
}

QCursor deadStoneCursor() {
  static const QCursor cursor = makeDeadStoneCursor();
  return cursor;
}

}  // namespace mh
