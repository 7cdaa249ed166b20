#pragma once

#include "model/board_transform.h"
#include "model/sgf_node.h"

namespace mh {

// Rewrites the point values of a node's TR, CR, SQ, MA, AB, AW, LB, B and W properties (the first
// property of each identifier, the one the accessors read) through the transform. The transform
// takes its size from the node's SZ when that is present. Only the two letters of a point change:
// label texts, surrounding blanks and the property order stay. A compressed list value "aa:cc"
// maps its two corners and is written back with the upper-left corner first. A property with a
// point that cannot be mapped (off the board, a pass "tt") is left unchanged as a whole; values
// that are not points are kept as they are.
void transformNode(SgfNode& node, const BoardTransform& transform);

}  // namespace mh
