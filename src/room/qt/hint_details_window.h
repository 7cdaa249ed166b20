#pragma once

#include <QWidget>
#include <vector>

#include "room/hint_details.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace mh {

// "标记详细信息:": the hints of a room's position, each with the games it was played in. A
// double-click on a game asks for that game to be opened at the move where the hint was played.
class HintDetailsWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HintDetailsWindow(QWidget* parent = nullptr);

  // Replaces the rows; parents start folded. A hint's game rows are made when it first unfolds:
  // a popular hint of a large collection has tens of thousands.
  void setRows(std::vector<HintDetailRow> rows);
  QTreeWidget* tree() const { return tree_; }

 signals:
  // A game row was double-clicked: its record file (file system bytes) and move index.
  void openGame(const QByteArray& path, int move);

 private:
  void activated(QTreeWidgetItem* item);
  void addGames(QTreeWidgetItem* hint);

  QTreeWidget* tree_;
  std::vector<HintDetailRow> rows_;
};

}  // namespace mh
