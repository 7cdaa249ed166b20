#include "library_windows/qt/sort_arrow_header.h"

#include <QPainter>
#include <QPolygonF>

namespace mh {

const QColor SortArrowHeader::kAscendingColour(220, 0, 0);
const QColor SortArrowHeader::kDescendingColour(0, 0, 220);

SortArrowHeader::SortArrowHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionsClickable(true);
  setSortIndicatorShown(false);
  setHighlightSections(false);
}

void SortArrowHeader::setSortMark(int column, int direction) {
  column_ = column;
  direction_ = direction;
  viewport()->update();
}

void SortArrowHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  painter->save();
  QHeaderView::paintSection(painter, rect, logicalIndex);
  painter->restore();
  if (logicalIndex != column_ || rect.width() < 16) return;
  const qreal size = qMin<qreal>(8, rect.height() - 6);
  const qreal right = rect.right() - 6;
  const qreal mid = rect.center().y() + 0.5;
  const qreal half = size / 2;
  QPolygonF arrow;
  if (direction_ == 2) arrow << QPointF(right - size, mid - half / 1.2) << QPointF(right, mid - half / 1.2) << QPointF(right - half, mid + half);
  else arrow << QPointF(right - size, mid + half / 1.2) << QPointF(right, mid + half / 1.2) << QPointF(right - half, mid - half);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setPen(Qt::NoPen);
  painter->setBrush(direction_ == 2 ? kDescendingColour : kAscendingColour);
  painter->drawPolygon(arrow);
  painter->restore();
}

}  // namespace mh
