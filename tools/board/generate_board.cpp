// Draws and synthesises the board module and the built-in board images.
//
//   generate_board --module DIR --builtin DIR [--stamp FILE] [--contact-sheet FILE.png]
//
// --module DIR receives one file per resource number: the wood texture 20002.png, the black
// stones 20110.png ... 20159.png, the white stones 20210.png ... 20259.png and the sounds
// 20716.wav ... 20727.wav. --builtin DIR receives the images compiled into the program: the
// wood tile 132.png and the stones 147.png, 149.png, 177.png, 180.png. --contact-sheet draws
// the stones on boards of several cell sizes for a person to look at. Runs without a display.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <vector>

#include "board_sounds.h"
#include "stone_image.h"
#include "wood_texture.h"

namespace {

using mh::boardart::StoneColour;
using mh::boardart::StoneFrame;
using mh::boardart::WoodLook;

// Board-module stone images exist for stone squares of 10 to 59 pixels (a = cell - 2).
constexpr int kSmallestStone = 10;
constexpr int kLargestStone = 59;

// The pixel size of stone image 20100 + a. The view draws it at the top-left of the point's
// rectangle shrunk by 1 pixel on every side; that rectangle runs from centre - cell/2 to
// centre + cell/2 (right edge exclusive), so it is 2 * (cell / 2) - 2 pixels wide: a for an even
// a, a - 1 for an odd one. The image is exactly that size, so it never spills past its point.
int stoneImageSize(int a) {
  const int cell = a + 2;
  return 2 * (cell / 2) - 2;
}

const WoodLook kModuleWood{QColor(248, 215, 135), 28, 0.5, 1.0, 20002};
const WoodLook kBuiltinWood{QColor(255, 195, 101), 4, 0.12, 1.0, 132};

bool saveImage(const QImage& image, const QString& path) {
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "generate_board: cannot write %s\n", qPrintable(path));
  return false;
}

bool saveBytes(const std::vector<std::uint8_t>& bytes, const QString& path) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
      file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
          static_cast<qint64>(bytes.size())) {
    return true;
  }
  std::fprintf(stderr, "generate_board: cannot write %s\n", qPrintable(path));
  return false;
}

bool writeModule(const QString& dir) {
  bool ok = saveImage(mh::boardart::drawWood(QSize(512, 512), kModuleWood), dir + "/20002.png");
  for (int a = kSmallestStone; a <= kLargestStone; ++a) {
    const int size = stoneImageSize(a);
    ok &= saveImage(mh::boardart::drawStone(size, StoneColour::Black, StoneFrame::WithShadow),
                    QStringLiteral("%1/%2.png").arg(dir).arg(20100 + a));
    ok &= saveImage(mh::boardart::drawStone(size, StoneColour::White, StoneFrame::WithShadow),
                    QStringLiteral("%1/%2.png").arg(dir).arg(20200 + a));
  }
  for (const auto& sound : mh::boardart::boardSounds()) {
    const auto samples = mh::boardart::synthesiseSound(sound.number);
    ok &= saveBytes(mh::boardart::encodeWav(samples, mh::boardart::kSoundRate),
                    QStringLiteral("%1/%2.wav").arg(dir).arg(sound.number));
  }
  return ok;
}

bool writeBuiltin(const QString& dir) {
  bool ok = saveImage(mh::boardart::drawWood(QSize(69, 75), kBuiltinWood), dir + "/132.png");
  ok &= saveImage(mh::boardart::drawStone(23, StoneColour::White, StoneFrame::Full), dir + "/147.png");
  ok &= saveImage(mh::boardart::drawStone(23, StoneColour::Black, StoneFrame::Full), dir + "/149.png");
  ok &= saveImage(mh::boardart::drawStone(20, StoneColour::Black, StoneFrame::Full), dir + "/177.png");
  ok &= saveImage(mh::boardart::drawStone(20, StoneColour::White, StoneFrame::Full), dir + "/180.png");
  return ok;
}

// One corner of a board at a given cell size, drawn the way the board view draws it: tiled
// wood, grid lines, star point, and stone images at the top-left of each point's rectangle
// shrunk by 1 pixel (or stretched to it, as the built-in stones are).
QImage boardCorner(int cell, const QImage& wood, const QImage& black, const QImage& white, bool stretch) {
  constexpr int kLines = 7;
  const int margin = cell;
  const int side = margin * 2 + (kLines - 1) * cell;
  QImage image(side, side, QImage::Format_RGB32);
  QPainter p(&image);
  for (int y = 0; y < side; y += wood.height()) {
    for (int x = 0; x < side; x += wood.width()) p.drawImage(x, y, wood);
  }
  p.setPen(QPen(Qt::black, 1));
  for (int i = 0; i < kLines; ++i) {
    p.drawLine(margin, margin + i * cell, margin + (kLines - 1) * cell, margin + i * cell);
    p.drawLine(margin + i * cell, margin, margin + i * cell, margin + (kLines - 1) * cell);
  }
  p.setBrush(Qt::black);
  p.setRenderHint(QPainter::Antialiasing);
  const int r = std::min(cell / 2, 4);
  p.drawEllipse(QPointF(margin + 3 * cell + 0.5, margin + 3 * cell + 0.5), r, r);
  p.setRenderHint(QPainter::Antialiasing, false);
  // A small fight: a few stones touching, one in the open, one on the edge.
  static const int kStones[][3] = {{2, 2, 1}, {3, 2, 2}, {2, 3, 1}, {3, 3, 2}, {4, 3, 1}, {3, 4, 2}, {4, 4, 1},
                                   {1, 4, 2}, {5, 1, 1}, {0, 6, 2}, {6, 6, 1}, {5, 5, 2}, {2, 5, 1}};
  for (const auto& s : kStones) {
    const int cx = margin + s[0] * cell;
    const int cy = margin + s[1] * cell;
    const QRect shrunk(cx - cell / 2 + 1, cy - cell / 2 + 1, 2 * (cell / 2) - 2, 2 * (cell / 2) - 2);
    const QImage& stone = s[2] == 1 ? black : white;
    if (stretch) {
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      p.drawImage(shrunk, stone);
    } else {
      p.drawImage(shrunk.topLeft(), stone);
    }
  }
  return image;
}

bool writeContactSheet(const QString& moduleDir, const QString& builtinDir, const QString& path) {
  const QImage wood(moduleDir + "/20002.png");
  std::vector<QImage> panels;
  for (int cell : {12, 17, 23, 30, 40, 48, 61}) {
    const int a = cell - 2;
    panels.push_back(boardCorner(cell, wood, QImage(QStringLiteral("%1/%2.png").arg(moduleDir).arg(20100 + a)),
                                 QImage(QStringLiteral("%1/%2.png").arg(moduleDir).arg(20200 + a)), false));
  }
  const QImage tile(builtinDir + "/132.png");
  for (int cell : {25, 40}) {
    panels.push_back(boardCorner(cell, tile, QImage(builtinDir + "/149.png"), QImage(builtinDir + "/147.png"), true));
  }
  panels.push_back(boardCorner(22, tile, QImage(builtinDir + "/177.png"), QImage(builtinDir + "/180.png"), true));
  // The wood textures two by two, to show their seams.
  QImage woods(wood.width() * 2 + 20 + tile.width() * 4, wood.height() * 2, QImage::Format_RGB32);
  woods.fill(Qt::white);
  {
    QPainter p(&woods);
    for (int i = 0; i < 4; ++i) p.drawImage((i % 2) * wood.width(), (i / 2) * wood.height(), wood);
    for (int i = 0; i < 16; ++i) p.drawImage(wood.width() * 2 + 20 + (i % 4) * tile.width(), (i / 4) * tile.height(), tile);
  }
  panels.push_back(woods);
  // Stones magnified without smoothing, to judge their edges and shading pixel by pixel.
  for (int cell : {14, 24, 40}) {
    const QImage corner = boardCorner(cell, wood, QImage(QStringLiteral("%1/%2.png").arg(moduleDir).arg(20098 + cell)),
                                      QImage(QStringLiteral("%1/%2.png").arg(moduleDir).arg(20198 + cell)), false);
    const QRect fight(cell + cell * 3 / 2, cell + cell * 3 / 2, cell * 3, cell * 3);
    panels.push_back(corner.copy(fight).scaled(fight.size() * (cell < 30 ? 6 : 4)));
  }

  int width = 0;
  int height = 0;
  int rowWidth = 0;
  int rowHeight = 0;
  std::vector<QPoint> at;
  for (const QImage& panel : panels) {
    if (rowWidth > 0 && rowWidth + panel.width() > 1400) {
      height += rowHeight + 10;
      rowWidth = 0;
      rowHeight = 0;
    }
    at.emplace_back(rowWidth, height);
    rowWidth += panel.width() + 10;
    rowHeight = std::max(rowHeight, panel.height());
    width = std::max(width, rowWidth);
  }
  height += rowHeight;
  QImage sheet(width, height, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter p(&sheet);
  for (std::size_t i = 0; i < panels.size(); ++i) p.drawImage(at[i], panels[i]);
  p.end();
  return saveImage(sheet, path);
}

}  // namespace

int main(int argc, char** argv) {
  QString moduleDir;
  QString builtinDir;
  QString stamp;
  QString sheet;
  for (int i = 1; i + 1 < argc; i += 2) {
    const QString option = QString::fromLocal8Bit(argv[i]);
    const QString value = QString::fromLocal8Bit(argv[i + 1]);
    if (option == "--module") {
      moduleDir = value;
    } else if (option == "--builtin") {
      builtinDir = value;
    } else if (option == "--stamp") {
      stamp = value;
    } else if (option == "--contact-sheet") {
      sheet = value;
    } else {
      std::fprintf(stderr, "generate_board: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  if (moduleDir.isEmpty() || builtinDir.isEmpty() || argc % 2 == 0) {
    std::fprintf(stderr,
                 "usage: generate_board --module DIR --builtin DIR [--stamp FILE] [--contact-sheet FILE.png]\n");
    return 2;
  }
  if (!QDir().mkpath(moduleDir) || !QDir().mkpath(builtinDir)) {
    std::fprintf(stderr, "generate_board: cannot create the output folders\n");
    return 1;
  }
  bool ok = writeModule(moduleDir) && writeBuiltin(builtinDir);
  if (ok && !sheet.isEmpty()) ok = writeContactSheet(moduleDir, builtinDir, sheet);
  if (ok && !stamp.isEmpty()) ok = saveBytes({}, stamp);
  return ok ? 0 : 1;
}
