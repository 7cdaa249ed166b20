#include "library_windows/qt/record_library_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "library_windows/qt/record_library_model.h"
#include "library_windows/qt/sort_arrow_header.h"
#include "library_windows/record_columns.h"
#include "patterns/wpb_list.h"
#include "platform/text_codec.h"

namespace mh {

namespace {

// The pattern-base list's items, one pixel taller than the default.
class TallerItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 1);
  }
};

constexpr int kTopStrip = 30;

}  // namespace

RecordLibraryWindow::RecordLibraryWindow(WpbList* bases, bool displayInBig5, PlayerDialog::PlayersFilePath playersFile,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window), bases_(bases), big5_(displayInBig5), playersFile_(std::move(playersFile)) {
  setWindowTitle(tr("棋谱库管理"));
  auto* strip = new QWidget(this);
  strip->setFixedHeight(kTopStrip);
  bases_combo_ = new QComboBox(strip);
  bases_combo_->setItemDelegate(new TallerItemDelegate(bases_combo_));
  bases_combo_->setMinimumContentsLength(16);
  fillBaseChoice();
  player_ = new QPushButton(tr("检索棋手"), strip);
  auto* stripLayout = new QHBoxLayout(strip);
  stripLayout->setContentsMargins(4, 2, 4, 2);
  stripLayout->addWidget(new QLabel(tr("选择棋谱库:"), strip));
  stripLayout->addWidget(bases_combo_);
  stripLayout->addWidget(player_);
  stripLayout->addStretch(1);

  model_ = new RecordLibraryModel(this);
  model_->setDisplayInBig5(big5_);
  table_ = new QTableView(this);
  header_ = new SortArrowHeader(table_);
  table_->setHorizontalHeader(header_);
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setShowGrid(true);
  table_->setWordWrap(false);
  table_->setSortingEnabled(false);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  for (int c = 0; c < kRecordColumnCount; ++c) table_->setColumnWidth(c, c == kFileColumn ? 200 : 100);
  header_->setStretchLastSection(true);
  // Below the rows the table stays white.
  QPalette palette = table_->palette();
  palette.setColor(QPalette::Base, Qt::white);
  table_->setPalette(palette);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(strip);
  layout->addWidget(table_, 1);
  resize(760, 520);

  connect(bases_combo_, &QComboBox::activated, this, &RecordLibraryWindow::showBase);
  connect(player_, &QPushButton::clicked, this, &RecordLibraryWindow::choosePlayer);
  connect(header_, &QHeaderView::sectionClicked, this, &RecordLibraryWindow::headerClicked);
  connect(table_, &QAbstractItemView::doubleClicked, this, &RecordLibraryWindow::activated);

  if (bases_ && bases_->count() > 0) showBase(bases_->defaultNumber());
}

void RecordLibraryWindow::fillBaseChoice() {
  bases_combo_->clear();
  const int count = bases_ ? bases_->count() : 0;
  for (int n = 0; n < count; ++n)
    bases_combo_->addItem(QString::fromStdString(text::displayText(bases_->at(n)->title(), big5_)));
}

void RecordLibraryWindow::showBase(int n) {
  if (!bases_ || !bases_->at(n)) return;
  base_ = n;
  bases_combo_->setCurrentIndex(n);
  (void)bases_->select(n);
  const Wpb* wpb = bases_->at(n);
  // A base being built stays closed: its table is empty until the build ends.
  model_->setIndex(wpb->isOpen() ? &wpb->gameIndex() : nullptr);
}

void RecordLibraryWindow::releaseBase(int n) {
  if (n == base_) model_->setIndex(nullptr);
}

void RecordLibraryWindow::reloadBase(int n) {
  if (n == base_) keepingSelection([&] { showBase(n); });
}

void RecordLibraryWindow::basesRenumbered(const std::vector<int>& newNumbers) {
  const bool listed = base_ >= 0 && base_ < static_cast<int>(newNumbers.size());
  base_ = listed ? newNumbers[static_cast<size_t>(base_)] : -1;
  // A base that is no longer listed is gone: nothing may read its index.
  if (base_ < 0) model_->setIndex(nullptr);
  fillBaseChoice();
  if (base_ >= 0) bases_combo_->setCurrentIndex(base_);
  else if (bases_ && bases_->count() > 0) showBase(bases_->defaultNumber());
}

void RecordLibraryWindow::applyFilter(PlayerFilter filter) {
  keepingSelection([&] { model_->setFilter(std::move(filter)); });
}

void RecordLibraryWindow::choosePlayer() {
  PlayerDialog dialog(playersFile_, big5_, model_->view().filter(), this);
  if (dialog.exec() == QDialog::Accepted) applyFilter(dialog.chosenFilter());
}

void RecordLibraryWindow::headerClicked(int column) {
  keepingSelection([&] { model_->clickHeader(column); });
  const RecordSortState& s = model_->view().sortState();
  header_->setSortMark(s.column, s.direction);
}

void RecordLibraryWindow::keepingSelection(const std::function<void()>& change) {
  const QModelIndex current = table_->currentIndex();
  const int game = current.isValid() ? model_->view().gameAt(current.row()) : -1;
  change();
  if (game < 0) return;
  const RecordLibraryView& v = model_->view();
  for (int row = 0; row < v.rowCount(); ++row) {
    if (v.gameAt(row) == game) {
      const QModelIndex at = model_->index(row, current.column());
      table_->setCurrentIndex(at);
      table_->scrollTo(at);
      return;
    }
  }
}

void RecordLibraryWindow::activated(const QModelIndex& index) {
  if (!index.isValid()) return;
  if (const auto path = model_->view().pathOf(index.row()); path && !path->empty())
    emit openRecord(QByteArray::fromStdString(*path));
}

}  // namespace mh
