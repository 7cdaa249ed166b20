#include "icon_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace mh::iconart {

namespace {

// The design, in parts of the icon's side.
constexpr double kCorner = 0.18;    // where the board's edge lines run
constexpr double kSpacing = 0.30;   // between lines
constexpr double kStone = 0.135;    // stone radius
constexpr double kSmallStone = 0.16;
constexpr double kEdgeLine = 0.022;
constexpr double kInnerLine = 0.012;
constexpr double kRadius = 0.14;    // of the board's rounded corners

const QColor kWoodLight(0xF3, 0xCD, 0x82);
const QColor kWoodDark(0xD2, 0x98, 0x48);
const QColor kWoodEdge(0x8B, 0x5A, 0x24);
const QColor kGrain(0xA8, 0x6F, 0x2C, 46);
const QColor kInk(0x3A, 0x27, 0x12);

enum class Stone { Black, White };

struct StonePlace {
  int column;  // lines from the board's edge
  int row;
  Stone colour;
};
// A cross-cut: black on one diagonal, white on the other.
constexpr StonePlace kStones[] = {
    {1, 1, Stone::Black}, {2, 1, Stone::White}, {1, 2, Stone::White}, {2, 2, Stone::Black}};

// The icon laid out for a side of `side` pixels. Below 48 pixels lines and stone centres fall
// on pixel centres and nothing finer than a pixel is drawn (no grain, no shadows).
struct Layout {
  double side;
  bool small;
  double inset;       // of the board from the icon's edge
  double lines[3];    // positions of the edge line and the next two
  double edgeWidth;
  double innerWidth;
  double stone;       // radius

  explicit Layout(double s) : side(s), small(s < 48) {
    inset = s <= 24 ? 0 : s / 32;
    for (int k = 0; k < 3; ++k) {
      const double at = (kCorner + k * kSpacing) * s;
      lines[k] = small ? std::floor(at) + 0.5 : at;
    }
    edgeWidth = std::max(1.0, kEdgeLine * s);
    innerWidth = std::max(1.0, kInnerLine * s);
    if (small) edgeWidth = innerWidth = 1.0;
    // Small stones swell to touch their neighbours, so the four still read as stones.
    stone = (small ? kSmallStone : kStone) * s;
  }
  QRectF board() const { return QRectF(inset, inset, side - 2 * inset, side - 2 * inset); }
  double radius() const { return kRadius * (side - 2 * inset); }
  double border() const { return std::max(1.0, side / 128); }
  // Gently wavy lines of grain across the board.
  QPainterPath grain(int n) const {
    QPainterPath path;
    const double y = side * (0.12 + 0.19 * n);
    const double wave = side * (n % 2 ? 0.025 : -0.02);
    path.moveTo(0, y);
    path.cubicTo(side * 0.3, y + wave, side * 0.6, y - wave, side, y + wave * 0.5);
    return path;
  }
};

QRadialGradient stoneGradient(QPointF centre, double r, Stone colour) {
  QRadialGradient g(centre + QPointF(-0.35 * r, -0.4 * r), 1.3 * r);
  if (colour == Stone::Black) {
    g.setColorAt(0, QColor(0x62, 0x62, 0x62));
    g.setColorAt(0.35, QColor(0x2A, 0x2A, 0x2A));
    g.setColorAt(1, QColor(0x08, 0x08, 0x08));
  } else {
    g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    g.setColorAt(0.5, QColor(0xF0, 0xEE, 0xE8));
    g.setColorAt(1, QColor(0xB4, 0xAE, 0xA3));
  }
  return g;
}

QString number(double v) { return QString::number(v, 'f', 2); }

}  // namespace

QImage drawIcon(int size) {
  const Layout l(size);
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);

  QPainterPath board;
  board.addRoundedRect(l.board(), l.radius(), l.radius());
  QLinearGradient wood(l.board().topLeft(), l.board().bottomRight());
  wood.setColorAt(0, kWoodLight);
  wood.setColorAt(1, kWoodDark);
  p.fillPath(board, wood);
  p.save();
  p.setClipPath(board);
  if (!l.small) {
    for (int n = 0; n < 5; ++n) p.strokePath(l.grain(n), QPen(kGrain, size / 100.0));
  }
  p.setRenderHint(QPainter::Antialiasing, !l.small);
  for (int k = 0; k < 3; ++k) {
    QColor ink = kInk;
    if (l.small && k > 0) ink.setAlpha(170);
    const QPen pen(ink, k == 0 ? l.edgeWidth : l.innerWidth, Qt::SolidLine, Qt::FlatCap);
    p.setPen(pen);
    const double start = l.lines[0] - (k == 0 ? l.edgeWidth / 2 : 0);
    p.drawLine(QPointF(start, l.lines[k]), QPointF(size, l.lines[k]));
    p.drawLine(QPointF(l.lines[k], start), QPointF(l.lines[k], size));
  }
  p.setRenderHint(QPainter::Antialiasing);
  p.restore();
  p.setPen(QPen(kWoodEdge, l.border()));
  p.setBrush(Qt::NoBrush);
  const double half = l.border() / 2;
  p.drawRoundedRect(l.board().adjusted(half, half, -half, -half), l.radius() - half, l.radius() - half);

  for (const StonePlace& s : kStones) {
    const QPointF centre(l.lines[s.column], l.lines[s.row]);
    if (!l.small) {
      QRadialGradient shadow(centre + QPointF(0.08 * l.stone, 0.12 * l.stone), 1.12 * l.stone);
      shadow.setColorAt(0.8, QColor(0, 0, 0, 90));
      shadow.setColorAt(1, QColor(0, 0, 0, 0));
      p.setPen(Qt::NoPen);
      p.setBrush(shadow);
      p.drawEllipse(centre + QPointF(0.08 * l.stone, 0.12 * l.stone), 1.12 * l.stone, 1.12 * l.stone);
    }
    p.setBrush(stoneGradient(centre, l.stone, s.colour));
    p.setPen(s.colour == Stone::White ? QPen(QColor(0x5A, 0x52, 0x46, 200), l.small ? 0.7 : size / 200.0)
                                      : Qt::NoPen);
    p.drawEllipse(centre, l.stone, l.stone);
  }
  return image;
}

QString iconSvg() {
  const Layout l(256);
  QString svg;
  const QRectF b = l.board();
  svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
         "  <defs>\n";
  svg += QString("    <linearGradient id=\"wood\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\">"
                 "<stop offset=\"0\" stop-color=\"%1\"/><stop offset=\"1\" stop-color=\"%2\"/></linearGradient>\n")
             .arg(kWoodLight.name(), kWoodDark.name());
  // Stone gradients in the stone's bounding box: the light falls from the upper left.
  const QString stop = "<stop offset=\"%1\" stop-color=\"%2\"/>";
  const QString radial = "    <radialGradient id=\"%1\" cx=\"0.325\" cy=\"0.3\" r=\"0.65\">%2</radialGradient>\n";
  svg += radial.arg("black", stop.arg("0", "#626262") + stop.arg("0.35", "#2a2a2a") + stop.arg("1", "#080808"));
  svg += radial.arg("white", stop.arg("0", "#ffffff") + stop.arg("0.5", "#f0eee8") + stop.arg("1", "#b4aea3"));
  svg += "    <radialGradient id=\"shadow\"><stop offset=\"0.8\" stop-color=\"#000\" stop-opacity=\"0.35\"/>"
         "<stop offset=\"1\" stop-color=\"#000\" stop-opacity=\"0\"/></radialGradient>\n";
  svg += QString("    <clipPath id=\"board\"><rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\"/></clipPath>\n")
             .arg(number(b.x()), number(b.width()), number(l.radius()));
  svg += "  </defs>\n";
  svg += QString("  <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" fill=\"url(#wood)\"/>\n")
             .arg(number(b.x()), number(b.width()), number(l.radius()));
  svg += "  <g clip-path=\"url(#board)\" fill=\"none\">\n";
  for (int n = 0; n < 5; ++n) {
    const QPainterPath g = l.grain(n);
    const QPainterPath::Element s = g.elementAt(0), c1 = g.elementAt(1), c2 = g.elementAt(2), e = g.elementAt(3);
    svg += QString("    <path d=\"M%1 %2C%3 %4 %5 %6 %7 %8\" stroke=\"%9\" stroke-opacity=\"%10\" stroke-width=\"%11\"/>\n")
               .arg(number(s.x), number(s.y), number(c1.x), number(c1.y), number(c2.x), number(c2.y), number(e.x),
                    number(e.y), kGrain.name(QColor::HexRgb))
               .arg(number(kGrain.alphaF()), number(2.56));
  }
  for (int k = 0; k < 3; ++k) {
    const double w = k == 0 ? l.edgeWidth : l.innerWidth;
    const double start = l.lines[0] - (k == 0 ? w / 2 : 0);
    svg += QString("    <path d=\"M%1 %2H256M%2 %1V256\" stroke=\"%3\" stroke-width=\"%4\"/>\n")
               .arg(number(start), number(l.lines[k]), kInk.name(), number(w));
  }
  svg += "  </g>\n";
  svg += QString("  <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" fill=\"none\" stroke=\"%4\" stroke-width=\"%5\"/>\n")
             .arg(number(b.x() + l.border() / 2), number(b.width() - l.border()), number(l.radius() - l.border() / 2),
                  kWoodEdge.name(), number(l.border()));
  for (const StonePlace& s : kStones) {
    const double x = l.lines[s.column], y = l.lines[s.row];
    svg += QString("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"url(#shadow)\"/>\n")
               .arg(number(x + 0.08 * l.stone), number(y + 0.12 * l.stone), number(1.12 * l.stone));
    const bool white = s.colour == Stone::White;
    svg += QString("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"url(#%4)\"%5/>\n")
               .arg(number(x), number(y), number(l.stone), white ? "white" : "black",
                    white ? " stroke=\"#5a5246\" stroke-opacity=\"0.78\" stroke-width=\"1.28\"" : "");
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace mh::iconart
