#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/board.h"
#include "model/point.h"

namespace mh {

// Colours of labels and marks, as 0xRRGGBB.
inline constexpr std::uint32_t kRed = 0xFF0000;
inline constexpr std::uint32_t kBlue = 0x0000FF;
inline constexpr std::uint32_t kBlackRgb = 0x000000;
inline constexpr std::uint32_t kWhiteRgb = 0xFFFFFF;

// A text on a point: a hint letter, a move number or a record's label. The text is GB bytes.
struct BoardLabel {
  Point point = kNoPoint;
  std::uint32_t rgb = 0;
  std::string text;

  friend bool operator==(const BoardLabel&, const BoardLabel&) = default;
};

// The figures a point can carry.
enum BoardMarkKind : int {
  kMarkCircle = 0,     // red disc
  kMarkCross = 1,      // diagonal cross
  kMarkSquare = 2,     // filled square
  kMarkTriangle = 3,   // filled triangle
  kMarkDead = 4,       // red square: a stone marked dead
  kMarkBlackArea = 5,  // black territory
  kMarkWhiteArea = 6,  // white territory
};

struct BoardMark {
  Point point = kNoPoint;
  int kind = kMarkCircle;

  friend bool operator==(const BoardMark&, const BoardMark&) = default;
};

// The two lists a board view draws over the position, in the order they were added: labels and
// marks. A point may carry several marks. A value; emptied before every refresh.
class BoardAnnotations {
 public:
  // The longest label text, in bytes.
  static constexpr size_t kMaxLabelBytes = 4;

  void clear();
  // Appends a label; false, adding nothing, when the text is longer than kMaxLabelBytes.
  bool addLabel(Point point, std::uint32_t rgb, std::string_view text);
  void addMark(Point point, int kind);
  bool hasMark(Point point, int kind) const;
  // Removes every mark equal to (point, kind).
  void removeMark(Point point, int kind);
  // The points carrying a kind, in list order.
  PointList marksOfKind(int kind) const;

  // Marks the whole string through point dead, or, when point already carries the dead mark,
  // unmarks the whole string (stones unmarked one by one before included). An empty or invalid
  // point changes nothing.
  void toggleDeadString(const Board& board, Point point);

  int labelCount() const { return static_cast<int>(labels_.size()); }
  int markCount() const { return static_cast<int>(marks_.size()); }
  const std::vector<BoardLabel>& labels() const { return labels_; }
  const std::vector<BoardMark>& marks() const { return marks_; }

  friend bool operator==(const BoardAnnotations&, const BoardAnnotations&) = default;

 private:
  std::vector<BoardLabel> labels_;
  std::vector<BoardMark> marks_;
};

// The number of characters of GB text: a byte with bit 7 set starts a two-byte character.
int gbCharacterCount(std::string_view gb);

// The keyboard cursor after a step of (dColumn, dRow) lines: a column or row that leaves the
// board comes back at the opposite edge (one past the last is 0, one before 0 is the last), so
// a step of 3 from column 17 of 19 gives 0. A cursor off the board starts from point 0.
Point stepCursor(Point cursor, int dColumn, int dRow, int columns, int rows);

}  // namespace mh
