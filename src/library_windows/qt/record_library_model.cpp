#include "library_windows/qt/record_library_model.h"

#include <QColor>

#include "library_windows/record_columns.h"
#include "platform/text_codec.h"

namespace mh {

RecordLibraryModel::RecordLibraryModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordLibraryModel::setIndex(const GameIndex* index) {
  beginResetModel();
  view_.setIndex(index);
  endResetModel();
}

void RecordLibraryModel::setFilter(PlayerFilter filter) {
  beginResetModel();
  view_.setFilter(std::move(filter));
  endResetModel();
}

HeaderClick RecordLibraryModel::clickHeader(int column) {
  beginResetModel();
  const HeaderClick click = view_.clickHeader(column);
  endResetModel();
  return click;
}

int RecordLibraryModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : view_.rowCount(); }

int RecordLibraryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kRecordColumnCount;
}

QString RecordLibraryModel::cellText(int row, int column) const {
  const std::string_view text = view_.cellText(row, column);
  if (text.empty()) return QStringLiteral("--");
  if (column == kFileColumn) return QString::fromStdString(text::fileNameToUtf8(text));
  return QString::fromStdString(text::displayText(text, big5_));
}

QVariant RecordLibraryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole: return cellText(index.row(), index.column());
    case Qt::BackgroundRole: return index.row() % 2 ? QColor(240, 240, 240) : QColor(Qt::white);
    default: return {};
  }
}

QVariant RecordLibraryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kBlackColumn: return tr("黑方");
    case kBlackRankColumn: return tr("黑方级别");
    case kWhiteColumn: return tr("白方");
    case kWhiteRankColumn: return tr("白方级别");
    case kResultColumn: return tr("结果");
    case kFileColumn: return tr("文件名");
    default: return {};
  }
}

}  // namespace mh
