#pragma once

#include <QImage>

namespace mh::boardart {

enum class StoneColour { Black, White };

// How a stone image is framed: a stone for the board module leaves a little room at its lower
// right for a soft shadow on the wood; a built-in stone fills its square, since the view
// stretches it to the point and a shadow would blur.
enum class StoneFrame { WithShadow, Full };

// A round stone of size x size pixels on a transparent background (ARGB, alpha only where the
// stone or its shadow is): black slate with a soft sheen and a small highlight, or white shell
// with gentle shading and faint growth lines. Edges are antialiased; no pixel is pure red.
QImage drawStone(int size, StoneColour colour, StoneFrame frame);

}  // namespace mh::boardart
