#pragma once

#include <QHeaderView>

namespace mh {

// A table's column header that marks the sort column with an arrow at the section's right end:
// red and pointing up while sorted ascending, blue and pointing down while descending.
class SortArrowHeader : public QHeaderView {
  Q_OBJECT

 public:
  static const QColor kAscendingColour;
  static const QColor kDescendingColour;

  explicit SortArrowHeader(QWidget* parent = nullptr);

  // The marked column (-1: none) and its direction (1 ascending, 2 descending).
  void setSortMark(int column, int direction);
  int markedColumn() const { return column_; }

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

 private:
  int column_ = -1;
  int direction_ = 1;
};

}  // namespace mh
