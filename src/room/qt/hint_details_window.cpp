#include "room/qt/hint_details_window.h"

#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mh {

namespace {

enum Role { kPathRole = Qt::UserRole, kMoveRole, kHintRole };

// The row icons: a hint, a game, and a game won by the side to move.
enum RowIcon { kHintIcon, kGameIcon, kWonIcon };

QIcon drawIcon(RowIcon which) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (which) {
    case kHintIcon:
      p.setPen(QPen(QColor(40, 40, 40), 1));
      p.setBrush(QColor(230, 190, 110));
      p.drawRect(QRectF(1.5, 1.5, 13, 13));
      p.setPen(QPen(QColor(200, 0, 0), 2));
      p.drawLine(5, 11, 8, 4);
      p.drawLine(8, 4, 11, 11);
      break;
    case kGameIcon:
    case kWonIcon:
      p.setPen(QPen(QColor(90, 90, 90), 1));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2.5, 1.5, 11, 13));
      p.drawLine(5, 5, 11, 5);
      p.drawLine(5, 8, 11, 8);
      if (which == kWonIcon) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(QRectF(8, 8, 7, 7));
      }
      break;
  }
  return QIcon(pixmap);
}

const QIcon& rowIcon(RowIcon which) {
  static const QIcon icons[] = {drawIcon(kHintIcon), drawIcon(kGameIcon), drawIcon(kWonIcon)};
  return icons[which];
}

void fill(QTreeWidgetItem* item, const HintDetailRow& row, RowIcon icon) {
  item->setText(0, QString::fromStdString(row.position));
  item->setText(1, QString::fromStdString(row.text));
  item->setIcon(0, rowIcon(icon));
  if (!row.path.empty()) {
    item->setData(0, kPathRole, QByteArray::fromStdString(row.path));
    item->setData(0, kMoveRole, row.move);
  }
}

}  // namespace

HintDetailsWindow::HintDetailsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(tr("标记详细信息:"));
  tree_ = new QTreeWidget(this);
  tree_->setColumnCount(2);
  tree_->setHeaderLabels({tr("位置"), tr("信息")});
  tree_->setColumnWidth(0, 100);
  tree_->setIndentation(12);
  tree_->setColumnWidth(1, 500);
  tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tree_->setAllColumnsShowFocus(true);
  tree_->setUniformRowHeights(true);
  // Grid lines between the cells.
  tree_->setStyleSheet(QStringLiteral("QTreeView::item { border-right: 1px solid #d8d8d8; "
                                      "border-bottom: 1px solid #d8d8d8; }"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tree_);
  resize(640, 360);
  connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { activated(item); });
  connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { addGames(item); });
}

void HintDetailsWindow::setRows(std::vector<HintDetailRow> rows) {
  tree_->clear();
  rows_ = std::move(rows);
  for (size_t i = 0; i < rows_.size(); ++i) {
    auto* hint = new QTreeWidgetItem(tree_);
    fill(hint, rows_[i], kHintIcon);
    hint->setData(0, kHintRole, static_cast<int>(i));
    if (!rows_[i].children.empty()) hint->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  }
}

void HintDetailsWindow::addGames(QTreeWidgetItem* hint) {
  if (hint->parent() || hint->childCount() > 0) return;
  const QVariant index = hint->data(0, kHintRole);
  if (!index.isValid() || index.toInt() < 0 || index.toInt() >= static_cast<int>(rows_.size())) return;
  QList<QTreeWidgetItem*> games;
  for (const HintDetailRow& game : rows_[static_cast<size_t>(index.toInt())].children) {
    auto* item = new QTreeWidgetItem;
    fill(item, game, game.wonBySideToMove ? kWonIcon : kGameIcon);
    games.push_back(item);
  }
  hint->addChildren(games);
}

void HintDetailsWindow::activated(QTreeWidgetItem* item) {
  if (!item) return;
  const QByteArray path = item->data(0, kPathRole).toByteArray();
  if (path.isEmpty()) return;
  emit openGame(path, item->data(0, kMoveRole).toInt());
}

}  // namespace mh
