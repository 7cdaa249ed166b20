// Draws the program's icon into an icon-theme tree.
//
//   generate_icon --theme DIR --name NAME [--stamp FILE] [--contact-sheet FILE.png]
//
// Writes DIR/<n>x<n>/apps/NAME.png for each size the desktop asks for and
// DIR/scalable/apps/NAME.svg; --contact-sheet puts every size side by side, each also enlarged
// to 128 pixels without smoothing, for a person to judge how the small ones read. Runs without a
// display.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "icon_art.h"

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

bool writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()) return true;
  std::fprintf(stderr, "generate_icon: cannot write %s\n", qPrintable(path));
  return false;
}

bool writeImage(const QString& path, const QImage& image) {
  QDir().mkpath(QFileInfo(path).path());
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "generate_icon: cannot write %s\n", qPrintable(path));
  return false;
}

QImage contactSheet() {
  const int cell = 140;
  QImage sheet(cell * static_cast<int>(std::size(kSizes)), 2 * cell + 560, QImage::Format_ARGB32);
  sheet.fill(QColor(0xDD, 0xDD, 0xDD));
  QPainter p(&sheet);
  int x = 0;
  for (int size : kSizes) {
    const QImage icon = mh::iconart::drawIcon(size);
    if (size <= 128) p.drawImage(x + (cell - size) / 2, (cell - size) / 2, icon);
    p.drawImage(QRect(x + 6, cell + 6, 128, 128), icon);  // enlarged, pixels kept square
    x += cell;
  }
  p.drawImage(0, 2 * cell, mh::iconart::drawIcon(512));
  p.fillRect(560, 2 * cell, 300, 300, QColor(0x30, 0x30, 0x30));  // a dark panel
  p.drawImage(560 + 10, 2 * cell + 10, mh::iconart::drawIcon(48));
  p.drawImage(560 + 70, 2 * cell + 10, mh::iconart::drawIcon(24));
  p.drawImage(560 + 100, 2 * cell + 10, mh::iconart::drawIcon(16));
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  QString theme, name, stamp, sheet;
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == "--theme") theme = args[i + 1];
    else if (args[i] == "--name") name = args[i + 1];
    else if (args[i] == "--stamp") stamp = args[i + 1];
    else if (args[i] == "--contact-sheet") sheet = args[i + 1];
  }
  if ((theme.isEmpty() || name.isEmpty()) && sheet.isEmpty()) {
    std::fprintf(stderr, "usage: generate_icon --theme DIR --name NAME [--stamp FILE] [--contact-sheet FILE.png]\n");
    return 2;
  }
  bool ok = true;
  if (!theme.isEmpty()) {
    for (int size : kSizes)
      ok &= writeImage(QStringLiteral("%1/%2x%2/apps/%3.png").arg(theme).arg(size).arg(name), mh::iconart::drawIcon(size));
    ok &= writeFile(QStringLiteral("%1/scalable/apps/%2.svg").arg(theme, name), mh::iconart::iconSvg().toUtf8());
  }
  if (!sheet.isEmpty()) ok &= writeImage(sheet, contactSheet());
  if (ok && !stamp.isEmpty()) ok &= writeFile(stamp, "ok\n");
  return ok ? 0 : 1;
}
