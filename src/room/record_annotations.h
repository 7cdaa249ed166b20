#pragma once

#include <string>

#include "model/sgf_node.h"
#include "room/board_annotations.h"

namespace mh {

// Adds what a record's node shows on the board: triangles (TR) as mark 3, circles (CR) as 0,
// squares (SQ) as 2, crosses (MA) as 1, and its labels (LB) in blue with their own texts. Points
// off a board of width x height are left out. Returns the node's comment (C), GB bytes.
std::string addRecordAnnotations(const SgfNode& node, int width, int height, BoardAnnotations& out);

// The information text followed by a comment: the separator line goes between the two only when
// the text is not empty; an empty comment adds nothing.
std::string appendComment(std::string text, const std::string& comment);

}  // namespace mh
