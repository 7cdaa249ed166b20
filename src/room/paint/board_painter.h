#pragma once

#include <QFont>

#include "room/board_scene.h"

class QPainter;

namespace mh {

class BoardImages;

// The serif face of the board's coordinates and labels at a point size.
QFont boardFont(int pointSize);

// Paints a board scene into a picture of width x height pixels starting at the painter's origin,
// in this order: white, coordinates, the wooden background with its shadow, grid and star points,
// stones, labels, marks and the keyboard cursor. With a cell of 0 only the white is painted. The
// one painting of a board: the board view and the command line's render both call it.
void paintBoard(QPainter& painter, int width, int height, const BoardScene& scene, const BoardImages& images);

}  // namespace mh
