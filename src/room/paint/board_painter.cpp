#include "room/paint/board_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "platform/text_codec.h"
#include "room/paint/board_images.h"

namespace mh {

namespace {

const QColor kShadowGrey(160, 160, 160);

// How far the wood reaches beyond the outer lines.
int woodMargin(const BoardGeometry& g) { return static_cast<int>(g.cell() * 0.8); }

// A point's square as a QRect (right and bottom edges exclusive).
QRect squareOf(const PixelRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

QString labelText(const std::string& gb) {
  if (!text::hasHighBytes(gb)) return QString::fromLatin1(gb.data(), static_cast<qsizetype>(gb.size()));
  return QString::fromStdString(text::gbToUtf8(gb));
}

void paintCoordinates(QPainter& p, const BoardGeometry& g, bool wooden) {
  const int size = g.cell() / 3;
  if (size < 1) return;
  p.setFont(boardFont(size));
  p.setPen(Qt::black);
  const QFontMetrics metrics(p.font());
  const int columnTop = g.yLast() + (wooden ? woodMargin(g) + 2 : g.cell() / 2 + 2);
  for (int column = 0; column < g.columns(); ++column) {
    const QString letter(QChar(static_cast<char16_t>(u'A' + column)));
    const QRect box(g.centreX(column) - g.cell(), columnTop, 2 * g.cell(), metrics.height());
    p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, letter);
  }
  const int rowLeft = g.xLast() + (wooden ? woodMargin(g) + 5 : g.cell() / 2 + 2);
  for (int row = 0; row < g.rows(); ++row) {
    const QRect box(rowLeft, g.centreY(row) - g.cell(), 4 * g.cell(), 2 * g.cell());
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, QString::number(g.rows() - row));
  }
}

void paintWood(QPainter& p, const BoardGeometry& g, const BoardImages& images) {
  const int m = woodMargin(g);
  const QRect wood(g.x0() - m, g.y0() - m, g.xLast() - g.x0() + 2 * m, g.yLast() - g.y0() + 2 * m);
  if (!images.texture().isNull()) {
    p.setBrushOrigin(wood.topLeft());
    p.fillRect(wood, QBrush(images.texture()));
    p.setBrushOrigin(0, 0);
  } else {
    p.fillRect(wood, images.woodColour());
  }
  p.fillRect(QRect(wood.left() + 2, wood.bottom() + 1, wood.width() + 1, 3), kShadowGrey);
  p.fillRect(QRect(wood.right() + 1, wood.top() + 2, 3, wood.height() - 2), kShadowGrey);
}

void paintGrid(QPainter& p, const BoardGeometry& g) {
  p.setPen(QPen(Qt::black, 1));
  for (int row = 0; row < g.rows(); ++row) p.drawLine(g.x0(), g.centreY(row), g.xLast(), g.centreY(row));
  for (int column = 0; column < g.columns(); ++column)
    p.drawLine(g.centreX(column), g.y0(), g.centreX(column), g.yLast());
  const PointList stars = starPoints(g.columns(), g.rows());
  if (stars.empty()) return;
  const double r = std::min(g.cell() / 2, 4);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  for (Point s : stars)
    p.drawEllipse(QPointF(g.centreX(s % g.columns()) + 0.5, g.centreY(s / g.columns()) + 0.5), r, r);
  p.setRenderHint(QPainter::Antialiasing, false);
}

void paintStones(QPainter& p, const BoardScene& s, const BoardImages& images) {
  const BoardGeometry& g = s.geometry;
  const int a = g.cell() - 2;
  const auto& cells = s.board.cells();
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  for (Point pt = 0; pt < static_cast<Point>(cells.size()); ++pt) {
    const int colour = cells[static_cast<size_t>(pt)];
    if (colour != Black && colour != White) continue;
    const auto square = g.pointRect(pt);
    if (!square) continue;
    const QRect stone = squareOf(*square).adjusted(1, 1, -1, -1);
    if (images.moduleLoaded()) {
      if (const QImage* image = images.moduleStone(colour, a)) {
        p.drawImage(stone.topLeft(), *image);
        continue;
      }
    } else if (const QImage* image = images.builtinStone(s.stoneStyle, colour)) {
      p.drawImage(stone, *image);
      continue;
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(colour == Black ? Qt::black : Qt::white);
    p.drawEllipse(QRectF(stone).adjusted(0.5, 0.5, -0.5, -0.5));
    p.setRenderHint(QPainter::Antialiasing, false);
  }
}

void paintLabels(QPainter& p, const BoardScene& s, const BoardImages& images) {
  const BoardGeometry& g = s.geometry;
  const int large = g.cell() / 2, small = g.cell() / 3;
  if (s.annotations.labels().empty() || small < 1) return;
  const QFont largeFont = boardFont(large), smallFont = boardFont(small);
  const QColor background = s.woodenBoard ? images.woodColour() : QColor(Qt::white);
  for (const BoardLabel& label : s.annotations.labels()) {
    const auto square = g.pointRect(label.point);
    if (!square) continue;
    const QRect box = squareOf(*square);
    const QString text = labelText(label.text);
    const bool onStone = isStoneColour(s.board.get(label.point));
    p.setFont(!onStone && gbCharacterCount(label.text) == 1 ? largeFont : smallFont);
    if (!onStone) p.fillRect(QFontMetrics(p.font()).boundingRect(box, Qt::AlignCenter, text), background);
    p.setPen(QColor::fromRgb(label.rgb));
    p.drawText(box, Qt::AlignCenter, text);
  }
}

void paintMarks(QPainter& p, const BoardScene& s) {
  const BoardGeometry& g = s.geometry;
  p.setRenderHint(QPainter::Antialiasing, true);
  for (const BoardMark& mark : s.annotations.marks()) {
    const auto square = g.pointRect(mark.point);
    if (!square) continue;
    const int w = square->width() / 3, h = square->height() / 3;
    const QRect figure(square->left + w, square->top + h, square->width() - 2 * w, square->height() - 2 * h);
    const QColor contrast = s.board.get(mark.point) == Black ? Qt::white : Qt::black;
    switch (mark.kind) {
      case kMarkCircle:
        p.setPen(QPen(contrast, 1));
        p.setBrush(QColor(255, 0, 0));
        p.drawEllipse(QRectF(figure).adjusted(0.5, 0.5, -0.5, -0.5));
        break;
      case kMarkCross:
        p.setPen(QPen(contrast, 2));
        p.drawLine(figure.topLeft(), figure.bottomRight());
        p.drawLine(figure.topRight(), figure.bottomLeft());
        break;
      case kMarkSquare: p.fillRect(figure, contrast); break;
      case kMarkTriangle: {
        p.setPen(QPen(contrast, 1));
        p.setBrush(contrast);
        const QPolygon triangle({figure.bottomLeft(), figure.bottomRight(), QPoint(figure.center().x(), figure.top())});
        p.drawPolygon(triangle);
        break;
      }
      case kMarkDead: p.fillRect(figure, QColor(255, 0, 0)); break;
      case kMarkBlackArea: p.fillRect(figure, Qt::black); break;
      case kMarkWhiteArea: p.fillRect(figure, Qt::white); break;
      default: break;
    }
  }
  p.setRenderHint(QPainter::Antialiasing, false);
}

void paintCursor(QPainter& p, const BoardScene& s) {
  if (!s.cursorEnabled) return;
  const auto square = s.geometry.pointRect(s.cursorPoint);
  if (!square) return;
  const QRect r = squareOf(*square);
  const int dx = r.width() / 3, dy = r.height() / 3;
  p.setPen(QPen(QColor(0, 0, 255), 2, Qt::SolidLine, Qt::FlatCap));
  const int left = r.left(), top = r.top(), right = r.left() + r.width(), bottom = r.top() + r.height();
  p.drawLine(left, top, left + dx, top);
  p.drawLine(left, top, left, top + dy);
  p.drawLine(right, top, right - dx, top);
  p.drawLine(right, top, right, top + dy);
  p.drawLine(left, bottom, left + dx, bottom);
  p.drawLine(left, bottom, left, bottom - dy);
  p.drawLine(right, bottom, right - dx, bottom);
  p.drawLine(right, bottom, right, bottom - dy);
}

}  // namespace

QFont boardFont(int pointSize) {
  QFont font;
  font.setFamilies({QStringLiteral("DejaVu Serif"), QStringLiteral("Noto Serif CJK SC")});
  font.setStyleHint(QFont::Serif);
  font.setPointSize(std::max(pointSize, 1));
  return font;
}

void paintBoard(QPainter& painter, int width, int height, const BoardScene& scene, const BoardImages& images) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(QRect(0, 0, width, height), Qt::white);
  const BoardGeometry& g = scene.geometry;
  if (g.cell() > 0) {
    if (scene.showCoordinates) paintCoordinates(painter, g, scene.woodenBoard);
    if (scene.woodenBoard) paintWood(painter, g, images);
    paintGrid(painter, g);
    paintStones(painter, scene, images);
    paintLabels(painter, scene, images);
    paintMarks(painter, scene);
    paintCursor(painter, scene);
  }
  painter.restore();
}

}  // namespace mh
