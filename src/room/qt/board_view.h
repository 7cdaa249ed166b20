#pragma once

#include <QWidget>

#include "model/board.h"

namespace mh {

// Draws a position: wooden background, grid, star points, coordinates and stones. Thin: the
// layout comes from BoardGeometry; the widget holds a copy of the board it was last given.
class BoardView : public QWidget {
  Q_OBJECT

 public:
  explicit BoardView(QWidget* parent = nullptr);

  // Replaces the shown position and repaints.
  void setBoard(const Board& board);
  const Board& board() const { return board_; }

  QSize sizeHint() const override { return {640, 640}; }

 signals:
  // A click on an intersection.
  void pointChosen(int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Board board_;
};

}  // namespace mh
