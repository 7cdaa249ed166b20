#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/point.h"

namespace mh {

// GTP vertices as GNU Go speaks them: a column letter A..T without I, and the row counted from
// the bottom (19 - y on a 19-row board).

// The column letter for x (A..H, then J..), as in "J16".
char gtpColumnLetter(int x);
// "%c%d": column letter and row number for point p on a board of width x rows; empty for a
// pass or an invalid point.
std::string gtpVertex(Point p, int width = 19, int rows = 19);

// What one reply line says about a move.
struct GtpMoveReply {
  enum Kind { Vertex, Pass, Resign } kind = Vertex;
  int x = -1;
  int y = -1;
};

// Reads a reply line: one leading "=" dropped, then leading blanks; "pass" (any case) is a pass,
// "resign" a resignation; otherwise a letter and a digit start a vertex (y = rows - n for a row
// n >= 1, else n - 1). Nothing for any other line, such as the empty reply "=" or an error "?".
std::optional<GtpMoveReply> parseGtpMoveReply(std::string_view line, int rows = 19);

// The point of a vertex reply on a board of the given size, or -1 when (x, y) is off it.
Point gtpReplyPoint(const GtpMoveReply& reply, int width, int height);

}  // namespace mh
