#pragma once

#include "model/board.h"
#include "room/board_annotations.h"
#include "room/board_geometry.h"

namespace mh {

// Everything a board picture shows, as plain values: the position, where its lines lie, the
// labels and marks over it, and the keyboard cursor. The board view and the command line's
// render fill one and hand it to the same painting function.
struct BoardScene {
  Board board;
  BoardGeometry geometry;
  BoardAnnotations annotations;
  bool showCoordinates = true;
  bool woodenBoard = true;
  // Which built-in stone pair draws the stones when the board module is missing (0 or 1; any
  // other value draws plain discs).
  int stoneStyle = 0;
  bool cursorEnabled = false;
  Point cursorPoint = 0;

  // The frame the geometry is laid out with.
  BoardGeometry::Frame frame() const { return {woodenBoard, showCoordinates}; }
  // Lays the geometry out for a view of width x height pixels.
  void layout(int width, int height) {
    geometry = BoardGeometry::layout(width, height, board.width(), board.height(), frame());
  }
};

}  // namespace mh
