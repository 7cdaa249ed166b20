#include "toolbar_icons.h"

#include <QFile>

namespace mh {

QString toolbarPicturePath(int commandId) {
  const QString path = QStringLiteral(":/toolbar/%1.png").arg(commandId);
  return QFile::exists(path) ? path : QString();
}

}  // namespace mh
