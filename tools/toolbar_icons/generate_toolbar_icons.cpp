// Draws the toolbar's pictures that the program falls back on when the desktop's icon theme has
// none for a command: one PNG per command identifier and size, "<id>.png" (16 x 16) and
// "<id>@2x.png" (32 x 32).
//
//   generate_toolbar_icons OUT_DIR
//
// Runs without a display.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Every picture is drawn on a 16 x 16 grid and scaled.
using Draw = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 40);
const QColor kPaper(250, 250, 245);
const QColor kWood(232, 190, 110);
const QColor kBlue(52, 101, 164);
const QColor kGreen(78, 154, 6);

void pen(QPainter& p, const QColor& colour, double width = 1.0) {
  p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// A small board: wood, three lines each way.
void board(QPainter& p, const QRectF& r) {
  pen(p, kInk, 0.8);
  p.setBrush(kWood);
  p.drawRect(r);
  for (int i = 1; i <= 3; ++i) {
    const double x = r.left() + r.width() * i / 4, y = r.top() + r.height() * i / 4;
    p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
  }
}

void stone(QPainter& p, QPointF centre, double radius, bool black) {
  pen(p, kInk, 0.7);
  p.setBrush(black ? kInk : kPaper);
  p.drawEllipse(centre, radius, radius);
}

void window(QPainter& p, const QRectF& r) {
  pen(p, kInk, 0.9);
  p.setBrush(kPaper);
  p.drawRect(r);
  p.setBrush(kBlue);
  p.drawRect(QRectF(r.left(), r.top(), r.width(), 2.5));
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
  pen(p, colour, 1.4);
  p.drawLine(from, to);
  const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
  const QPointF n(-d.y(), d.x());
  QPainterPath head;
  head.moveTo(to + d * 1.0);
  head.lineTo(to - d * 2.8 + n * 2.4);
  head.lineTo(to - d * 2.8 - n * 2.4);
  head.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(head);
}

void floppy(QPainter& p) {
  pen(p, kInk, 0.9);
  p.setBrush(kBlue);
  p.drawRoundedRect(QRectF(2, 2, 12, 12), 1, 1);
  p.setBrush(kPaper);
  p.drawRect(QRectF(4.5, 2, 7, 4.5));
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(QRectF(4, 9, 8, 5));
}

void folder(QPainter& p) {
  pen(p, QColor(140, 100, 20), 0.9);
  p.setBrush(QColor(237, 190, 80));
  QPainterPath back;
  back.moveTo(1.5, 4);
  back.lineTo(6, 4);
  back.lineTo(7.5, 5.5);
  back.lineTo(14.5, 5.5);
  back.lineTo(14.5, 13.5);
  back.lineTo(1.5, 13.5);
  back.closeSubpath();
  p.drawPath(back);
  p.setBrush(QColor(250, 215, 120));
  QPainterPath front;
  front.moveTo(3, 7.5);
  front.lineTo(15.5, 7.5);
  front.lineTo(14, 13.5);
  front.lineTo(1.5, 13.5);
  front.closeSubpath();
  p.drawPath(front);
}

const std::vector<std::pair<int, Draw>> kPictures = {
    {57600,  // new room: a board with a plus
     [](QPainter& p) {
       board(p, QRectF(1.5, 3.5, 11, 11));
       pen(p, kGreen, 2.0);
       p.drawLine(QPointF(12.5, 1), QPointF(12.5, 7));
       p.drawLine(QPointF(9.5, 4), QPointF(15.5, 4));
     }},
    {57601,  // open a record: a folder
     [](QPainter& p) { folder(p); }},
    {32789,  // the record library: a stack of records
     [](QPainter& p) {
       for (int i = 0; i < 3; ++i) {
         pen(p, kInk, 0.8);
         p.setBrush(i == 2 ? kWood : kPaper);
         p.drawRect(QRectF(2.5 + i * 1.5, 2 + i * 2.5, 9, 8));
       }
       stone(p, QPointF(9.5, 11), 1.6, true);
       stone(p, QPointF(12.5, 11), 1.6, false);
     }},
    {57603,  // save
     [](QPainter& p) { floppy(p); }},
    {57604,  // save as: a disk and a pen
     [](QPainter& p) {
       floppy(p);
       pen(p, QColor(200, 60, 20), 2.0);
       p.drawLine(QPointF(8.5, 14.5), QPointF(15, 8));
     }},
    {32771,  // new game: a board with a black and a white stone
     [](QPainter& p) {
       board(p, QRectF(1.5, 1.5, 13, 13));
       stone(p, QPointF(6, 6), 2.6, true);
       stone(p, QPointF(10.5, 10.5), 2.6, false);
     }},
    {32792,  // swap x and y: a stone moved across the diagonal
     [](QPainter& p) {
       pen(p, QColor(150, 150, 150), 0.8);
       p.drawLine(QPointF(1.5, 1.5), QPointF(14.5, 14.5));
       stone(p, QPointF(11.5, 4), 2.3, true);
       stone(p, QPointF(4, 11.5), 2.3, false);
       arrow(p, QPointF(10, 7), QPointF(7, 10), kBlue);
     }},
    {32793,  // flip horizontally
     [](QPainter& p) {
       pen(p, QColor(150, 150, 150), 0.8);
       p.drawLine(QPointF(8, 1), QPointF(8, 15));
       stone(p, QPointF(3.5, 4), 2.3, true);
       stone(p, QPointF(12.5, 4), 2.3, false);
       arrow(p, QPointF(4, 11), QPointF(12.5, 11), kBlue);
     }},
    {32794,  // flip vertically
     [](QPainter& p) {
       pen(p, QColor(150, 150, 150), 0.8);
       p.drawLine(QPointF(1, 8), QPointF(15, 8));
       stone(p, QPointF(4, 3.5), 2.3, true);
       stone(p, QPointF(4, 12.5), 2.3, false);
       arrow(p, QPointF(11, 4), QPointF(11, 12.5), kBlue);
     }},
    {57650,  // cascade
     [](QPainter& p) {
       window(p, QRectF(1.5, 1.5, 9, 7));
       window(p, QRectF(3.5, 4.5, 9, 7));
       window(p, QRectF(5.5, 7.5, 9, 7));
     }},
    {57651,  // tile horizontally: windows one above the other
     [](QPainter& p) {
       window(p, QRectF(1.5, 1.5, 13, 6));
       window(p, QRectF(1.5, 8.5, 13, 6));
     }},
    {57652,  // tile vertically: windows side by side
     [](QPainter& p) {
       window(p, QRectF(1.5, 1.5, 6, 13));
       window(p, QRectF(8.5, 1.5, 6, 13));
     }},
    {57664,  // about: an "i" on a blue disc
     [](QPainter& p) {
       pen(p, kBlue.darker(130), 0.8);
       p.setBrush(kBlue);
       p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
       p.setPen(Qt::NoPen);
       p.setBrush(Qt::white);
       p.drawEllipse(QPointF(8, 4.8), 1.2, 1.2);
       p.drawRoundedRect(QRectF(7, 7, 2, 5.5), 0.6, 0.6);
     }},
};

bool drawAll(const QString& folder) {
  for (const auto& [id, draw] : kPictures) {
    for (const int size : {16, 32}) {
      QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing);
      p.scale(size / 16.0, size / 16.0);
      draw(p);
      p.end();
      const QString path = QStringLiteral("%1/%2%3.png").arg(folder).arg(id).arg(size == 16 ? "" : "@2x");
      if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "generate_toolbar_icons: cannot write %s\n", qPrintable(path));
        return false;
      }
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: generate_toolbar_icons OUT_DIR\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) return 1;
  return drawAll(folder) ? 0 : 1;
}
