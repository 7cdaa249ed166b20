#include "room/qt/board_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "room/paint/board_painter.h"
#include "room/qt/board_cursors.h"

namespace mh {

BoardView::BoardView(const BoardImages& images, QWidget* parent) : QWidget(parent), images_(images) {
  // The whole picture is painted in one copy; no background erase in between.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  scene_.cursorEnabled = true;
  relayout();
}

void BoardView::setPosition(const Board& board, int sideToMove) {
  const bool resized = board.width() != scene_.board.width() || board.height() != scene_.board.height();
  scene_.board = board;
  sideToMove_ = sideToMove;
  if (resized) relayout();
  update();
}

void BoardView::setAnnotations(const BoardAnnotations& annotations) {
  scene_.annotations = annotations;
  update();
}

void BoardView::setWoodenBoard(bool on) {
  scene_.woodenBoard = on;
  relayout();
}

void BoardView::setShowCoordinates(bool on) {
  scene_.showCoordinates = on;
  relayout();
}

void BoardView::setStoneStyle(int style) {
  scene_.stoneStyle = style;
  update();
}

void BoardView::setMode(int mode) {
  mode_ = mode;
  updatePointerShape(mapFromGlobal(QCursor::pos()));
}

void BoardView::setCursorEnabled(bool on) {
  scene_.cursorEnabled = on;
  update();
}

void BoardView::relayout() {
  scene_.layout(width(), height());
  update();
}

QImage BoardView::picture() const {
  QImage image(size(), QImage::Format_RGB32);
  QPainter painter(&image);
  paintBoard(painter, width(), height(), scene_, images_);
  return image;
}

void BoardView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  relayout();
}

void BoardView::paintEvent(QPaintEvent*) {
  const QImage image = picture();
  QPainter painter(this);
  painter.drawImage(0, 0, image);
}

void BoardView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPoint at = event->position().toPoint();
  const Point p = scene_.geometry.pointAt(at.x(), at.y());
  if (p >= 0) emit pointChosen(p);
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
  updatePointerShape(event->position().toPoint());
  QWidget::mouseMoveEvent(event);
}

void BoardView::updatePointerShape(const QPoint& at) {
  if (mode_ == kDeadStoneMode) setCursor(deadStoneCursor());
  else if (scene_.geometry.pointAt(at.x(), at.y()) >= 0) setCursor(stoneCursor(sideToMove_));
  else unsetCursor();
}

void BoardView::keyPressEvent(QKeyEvent* event) {
  if (!scene_.cursorEnabled) return QWidget::keyPressEvent(event);
  const int step = event->modifiers().testFlag(Qt::ControlModifier) ? 3 : 1;
  int dColumn = 0, dRow = 0;
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (scene_.cursorPoint >= 0) emit pointChosen(scene_.cursorPoint);
      return;
    case Qt::Key_Left: dColumn = -step; break;
    case Qt::Key_Right: dColumn = step; break;
    case Qt::Key_Up: dRow = -step; break;
    case Qt::Key_Down: dRow = step; break;
    default: return QWidget::keyPressEvent(event);
  }
  scene_.cursorPoint = stepCursor(scene_.cursorPoint, dColumn, dRow, scene_.board.width(), scene_.board.height());
  update();
}

}  // namespace mh
