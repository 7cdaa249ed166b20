#pragma once

#include <optional>

#include "model/board.h"
#include "model/board_snapshot.h"
#include "model/point.h"

namespace mh {

// One of the eight symmetries of a board: optional flip of x, flip of y and exchange of x and y.
// Forward order is flip x, flip y, swap; with inverse set the steps run in reverse, which undoes
// the forward transform. Kinds 0..6 (see select) are the seven non-identity symmetries; the
// pattern libraries store this numbering.
struct BoardTransform {
  int flipX = 0;
  int flipY = 0;
  int swapXY = 0;
  int inverse = 0;
  int width = 19;
  int height = 19;

  BoardTransform() = default;
  BoardTransform(int kind, int w, int h, bool inv = false) : width(w), height(h) {
    select(kind);
    inverse = inv ? 1 : 0;
  }

  // Clears all flags, then sets kind 0 flip x; 1 flip y; 2 swap; 3 flip x+y; 4 flip x+swap;
  // 5 flip y+swap; 6 flip x+y+swap; any other kind is the identity.
  void select(int kind);

  // The mapped coordinates, or nothing when (x, y) lies outside width x height.
  std::optional<Coord> map(int x, int y) const;
  // The mapped point (decoded and encoded with the transform's width), or -1 when the point or
  // its image lies outside width x height or is too large for a Point.
  Point mapPoint(Point p) const;
  // Writes the source's stones at their mapped points into target (may be the source). Fails,
  // leaving target alone, unless source is usable with the transform's size and every stone maps
  // onto the board.
  bool mapBoard(const Board& source, Board& target) const;
  // Maps every point in place; on the first unmappable point fails and leaves the list unchanged.
  bool mapList(PointList& list) const;
  bool mapCoordList(CoordList& list) const;
  // Maps a snapshot through a board; fails when the board cannot be mapped.
  bool mapSnapshot(const BoardSnapshot& item, BoardSnapshot& out) const;
};

// The images of every point of a 19 x 19 board under symmetry kind 0..6 (forwards), or nullptr
// for another size or kind: the size pattern libraries hold, turned without decoding points.
const Point* turnTable19(int kind, int width, int height);

// The snapshot turned forwards through symmetry kind 0..6, as mapSnapshot gives it. A snapshot
// as boards make it (counts matching the points, each list strictly ascending, no point in both
// lists, every image on the board) is mapped point by point and each list sorted again; anything
// else goes through a board, which drops what a board cannot hold. False when that fails.
bool turnSnapshot(int kind, const BoardSnapshot& in, BoardSnapshot& out);
// Whether turnSnapshot turns the snapshot point by point through turnTable19 under every kind,
// as it does every 19 x 19 snapshot a board makes: then each turned point is the table's image.
bool turnsThroughTable19(const BoardSnapshot& snapshot);

}  // namespace mh
