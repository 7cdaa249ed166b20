# Sourced by the scripts that drive the desktop program: where a board point lies on the screen.
#
#   board_point_pixel WIDTH HEIGHT COLUMN ROW
#
# prints "X Y", the pixel at the centre of point (COLUMN, ROW) (from 0, at the top left) of a
# 19 x 19 wooden board with coordinates in a board view of WIDTH x HEIGHT pixels: 2 pixels of
# border, 5 more for the shadow and the coordinates, 19.9 cells a side, the first line 0.8 cell
# in from the wood's edge.
board_point_pixel() {
  awk -v w="$1" -v h="$2" -v c="$3" -v r="$4" 'BEGIN {
    W = w - 9; H = h - 9; cell = int(W / 19.9 < H / 19.9 ? W / 19.9 : H / 19.9)
    ox = 2 + int((W - int(cell * 19.9) - 5) / 2); oy = 2 + int((H - int(cell * 19.9) - 5) / 2)
    print int(ox + cell * 0.8) + c * cell, int(oy + cell * 0.8) + r * cell }'
}
