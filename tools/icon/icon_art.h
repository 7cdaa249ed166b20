#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <vector>

namespace mh::iconart {

// The program's icon: the corner of a wooden board holding a cross-cut, two black and two white
// stones on the diagonals. One description, drawn two ways: into a bitmap of any size (lines and
// stone centres snapped to whole pixels at small sizes so that 16 px stays crisp) and as SVG.

// The icon drawn into a square bitmap of size x size pixels (transparent outside the board).
QImage drawIcon(int size);

// The icon as an SVG document on a 256 x 256 view box.
QString iconSvg();

}  // namespace mh::iconart
