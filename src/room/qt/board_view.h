#pragma once

#include <QImage>
#include <QWidget>

#include "room/board_scene.h"

namespace mh {

class BoardImages;

// The board of a room: paints its scene (position, labels, marks, keyboard cursor) through the
// one board painting, in one copy from an off-screen picture, and turns clicks and the keyboard
// cursor into points. It never changes the position: a chosen point goes out as pointChosen,
// which the room receives queued, after the click has returned.
class BoardView : public QWidget {
  Q_OBJECT

 public:
  // The mode in which clicks mark dead stones.
  static constexpr int kDeadStoneMode = 5;

  // The images must outlive the view.
  explicit BoardView(const BoardImages& images, QWidget* parent = nullptr);

  // Shows a position; sideToMove chooses the stone under the mouse pointer.
  void setPosition(const Board& board, int sideToMove);
  // Replaces the labels and marks drawn over the position.
  void setAnnotations(const BoardAnnotations& annotations);
  void setWoodenBoard(bool on);
  void setShowCoordinates(bool on);
  void setStoneStyle(int style);
  // 5 while dead stones are being marked; any other value is the normal mode.
  void setMode(int mode);
  int mode() const { return mode_; }
  void setCursorEnabled(bool on);

  const BoardScene& scene() const { return scene_; }
  const BoardGeometry& geometry() const { return scene_.geometry; }
  int sideToMove() const { return sideToMove_; }
  // The picture as it is painted at the view's current size.
  QImage picture() const;

  QSize sizeHint() const override { return {760, 760}; }

 signals:
  // A click on a point, or Enter on the keyboard cursor.
  void pointChosen(int point);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void relayout();
  void updatePointerShape(const QPoint& at);

  const BoardImages& images_;
  BoardScene scene_;
  int sideToMove_ = Black;
  int mode_ = 3;
};

}  // namespace mh
