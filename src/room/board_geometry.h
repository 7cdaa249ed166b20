#pragma once

#include <optional>

#include "model/point.h"

namespace mh {

// A point's square on the screen, edges included: left..right, top..bottom.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Where the lines of a board of columns x rows lie inside a view: the pixel centres of the first
// and last column and row and the distance between lines. A wooden frame and the coordinates
// (shown below and right of the grid) take room of their own. Qt-free, so that the layout and the
// click mapping are tested without a window. A value: recomputed whenever the view's size changes.
class BoardGeometry {
 public:
  // What a view shows around the grid.
  struct Frame {
    bool wooden = true;
    bool coordinates = true;
  };

  // An empty geometry: cell 0, nothing hit, nothing drawn but white.
  BoardGeometry() = default;

  // The layout for a view of width x height pixels. A view 9 pixels or less wide or high, or too
  // small for one pixel per line, gets cell 0.
  static BoardGeometry layout(int width, int height, int columns, int rows, Frame frame);

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  // Pixel centre of column 0 / row 0, and of the last column / row.
  int x0() const { return x0_; }
  int y0() const { return y0_; }
  int xLast() const { return xLast_; }
  int yLast() const { return yLast_; }
  // Distance between neighbouring lines; 0 when the view is too small to draw a board.
  int cell() const { return cell_; }
  Frame frame() const { return frame_; }

  // Pixel centre of a column / row.
  int centreX(int column) const { return x0_ + column * cell_; }
  int centreY(int row) const { return y0_ + row * cell_; }
  // The square of point p (= row * columns + column), or nothing for a point off the board.
  std::optional<PixelRect> pointRect(Point p) const;
  // The point under a pixel, or -1. The half-cell offset and the division truncating toward zero
  // give each line the band of pixels nearest to it, widened on the outer side of the first line.
  Point pointAt(int x, int y) const;

  // How far the wooden frame reaches beyond the outer lines.
  int woodMargin() const;

 private:
  int columns_ = 19;
  int rows_ = 19;
  int x0_ = 0;
  int y0_ = 0;
  int xLast_ = 0;
  int yLast_ = 0;
  int cell_ = 0;
  Frame frame_;
};

// The star points (hoshi) shown on a board: the nine points of lines 3, 9 and 15 on 19 x 19 and
// none on any other size.
PointList starPoints(int columns, int rows);

}  // namespace mh
