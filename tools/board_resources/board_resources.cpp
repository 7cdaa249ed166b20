#include "board_resources.h"

namespace mh {

QString builtinBoardImagePath(int number) {
  switch (number) {
    case 132:
    case 147:
    case 149:
    case 177:
    case 180:
      return QStringLiteral(":/board/%1.png").arg(number);
    default:
      return {};
  }
}

}  // namespace mh
