#include "library_windows/qt/player_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "library_windows/players_file.h"
#include "platform/text_codec.h"

namespace mh {

PlayerDialog::PlayerDialog(PlayersFilePath path, bool displayInBig5, const PlayerFilter& current, QWidget* parent)
    : QDialog(parent), path_(std::move(path)), big5_(displayInBig5) {
  setWindowTitle(tr("选择 棋手"));
  tabs_ = new QTabBar(this);
  tabs_->setExpanding(false);
  for (const char* title : {QT_TR_NOOP("全部棋手"), QT_TR_NOOP("著名职业棋手"), QT_TR_NOOP("网络知名棋手"),
                            QT_TR_NOOP("著名业余棋手")})
    tabs_->addTab(tr(title));
  list_ = new QListWidget(this);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  colours_ = new QComboBox(this);
  colours_->addItems({tr("全部"), tr("执黑对局"), tr("执白对局")});
  auto* colourRow = new QHBoxLayout;
  colourRow->addWidget(new QLabel(tr("选择 黑/白 对局: "), this));
  colourRow->addWidget(colours_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(tr("确定"));
  buttons->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
  all_ = buttons->addButton(tr("选择所有棋谱"), QDialogButtonBox::ActionRole);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(list_, 1);
  layout->addLayout(colourRow);
  layout->addWidget(buttons);
  // Wide enough for the four tabs side by side.
  resize(qMax(360, tabs_->sizeHint().width() + 24), 460);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(all_, &QPushButton::clicked, this, [this] {
    list_->clearSelection();
    list_->setCurrentRow(-1);
    accept();
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

  // Open where the current filter was chosen: the first tab that lists its name.
  int tab = 0;
  if (!current.name.empty()) {
    for (int t = 0; t < static_cast<int>(kPlayersFileNames.size()); ++t) {
      const auto names = readPlayersFile(path_(kPlayersFileNames[static_cast<size_t>(t)]));
      if (std::binary_search(names.begin(), names.end(), current.name)) {
        tab = t;
        break;
      }
    }
  }
  tabs_->setCurrentIndex(tab);
  showTab(tab);
  const auto at = std::lower_bound(shown_.begin(), shown_.end(), current.name);
  if (!current.name.empty() && at != shown_.end() && *at == current.name)
    list_->setCurrentRow(static_cast<int>(at - shown_.begin()));
  colours_->setCurrentIndex(std::clamp(current.colour, 0, 2));
  connect(tabs_, &QTabBar::currentChanged, this, &PlayerDialog::showTab);
}

void PlayerDialog::showTab(int tab) {
  list_->clear();
  shown_ = tab >= 0 && tab < static_cast<int>(kPlayersFileNames.size())
               ? readPlayersFile(path_(kPlayersFileNames[static_cast<size_t>(tab)]))
               : std::vector<std::string>{};
  QStringList items;
  items.reserve(static_cast<qsizetype>(shown_.size()));
  for (const std::string& name : shown_) items << QString::fromStdString(text::displayText(name, big5_));
  list_->addItems(items);
  if (!shown_.empty()) list_->setCurrentRow(0);
}

PlayerFilter PlayerDialog::chosenFilter() const {
  PlayerFilter f;
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  const int row = selected.isEmpty() ? -1 : list_->row(selected.front());
  if (row >= 0 && row < static_cast<int>(shown_.size())) f.name = shown_[static_cast<size_t>(row)];
  f.colour = colours_->currentIndex();
  return f;
}

}  // namespace mh
