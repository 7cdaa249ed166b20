#include "shell/qt/program_icon.h"

#include <QPixmap>

#include "icon_art.h"

namespace mh {

QIcon programIcon() {
  QIcon drawn;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) drawn.addPixmap(QPixmap::fromImage(iconart::drawIcon(size)));
  return QIcon::fromTheme(QString::fromLatin1(kDesktopAppId), drawn);
}

}  // namespace mh
