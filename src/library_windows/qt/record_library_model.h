#pragma once

#include <QAbstractTableModel>

#include "library_windows/record_library_view.h"

namespace mh {

// The record library's six columns over a RecordLibraryView: each cell is read from the game-record
// index and decoded when the table asks for it, so a hundred thousand games cost the view's 4 bytes
// each and nothing more. Rows alternate between white and light grey.
class RecordLibraryModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit RecordLibraryModel(QObject* parent = nullptr);

  // Names, ranks and results are shown through the GB to BIG5 conversion.
  void setDisplayInBig5(bool on) { big5_ = on; }
  const RecordLibraryView& view() const { return view_; }

  // The operations of the view, each followed by a reset of the table.
  void setIndex(const GameIndex* index);
  void setFilter(PlayerFilter filter);
  HeaderClick clickHeader(int column);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // The text of a cell as shown ("--" for an empty field).
  QString cellText(int row, int column) const;

 private:
  RecordLibraryView view_;
  bool big5_ = false;
};

}  // namespace mh
