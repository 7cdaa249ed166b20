#pragma once

#include "model/point.h"

namespace mh {

// Where a board of columns x rows points sits inside a view of a given pixel size: a square cell
// pitch, a margin for coordinates, and the mapping between pixels and points. Qt-free so that
// the layout and the click mapping are tested without a window.
class BoardGeometry {
 public:
  BoardGeometry(int viewWidth, int viewHeight, int columns, int rows);

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  // Distance between neighbouring lines, in pixels (at least 2).
  int cell() const { return cell_; }
  // Pixel centre of the intersection (x, y).
  int centreX(int x) const { return originX_ + x * cell_; }
  int centreY(int y) const { return originY_ + y * cell_; }
  // The intersection nearest to a pixel, or nothing when the pixel is more than half a cell
  // outside the grid.
  bool pointAt(int px, int py, Coord& out) const;

  // Star points of the usual board sizes (9, 13, 19, and any odd size from 7 up gets at least
  // the centre); none on smaller boards.
  static CoordList starPoints(int columns, int rows);

 private:
  int columns_;
  int rows_;
  int cell_;
  int originX_;
  int originY_;
};

}  // namespace mh
