#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "library_windows/qt/player_dialog.h"

class QComboBox;
class QPushButton;
class QTableView;

namespace mh {

class RecordLibraryModel;
class SortArrowHeader;
class WpbList;

// "棋谱库管理": the games of one pattern base's game-record index in a sortable table, filtered
// by player; a double-click asks for the game to be opened. Modeless; hiding it keeps its pattern
// base, filter and sort.
class RecordLibraryWindow : public QWidget {
  Q_OBJECT

 public:
  // The pattern bases must outlive the window; it shows the default one at first.
  RecordLibraryWindow(WpbList* bases, bool displayInBig5, PlayerDialog::PlayersFilePath playersFile,
                      QWidget* parent = nullptr);

  // Shows pattern base n (opening it when it is closed), through the filter and the sort.
  void showBase(int n);
  int shownBase() const { return base_; }
  // Lets go of the shown base's index before the base is closed.
  void releaseBase(int n);
  // Shows pattern base n afresh when it is the one shown (after a build or a new record folder).
  void reloadBase(int n);
  // Lists the pattern bases afresh after one was added or removed (newNumbers[n]: base n's number
  // now, -1 when removed); a removed base's table gives way to the default base's.
  void basesRenumbered(const std::vector<int>& newNumbers);
  // The filter chosen in the player dialog (as its OK does).
  void applyFilter(PlayerFilter filter);
  // The player dialog, then its filter.
  void choosePlayer();

  RecordLibraryModel* model() const { return model_; }
  QTableView* table() const { return table_; }
  SortArrowHeader* header() const { return header_; }
  QComboBox* baseChoice() const { return bases_combo_; }
  QPushButton* playerButton() const { return player_; }

 signals:
  // A row was double-clicked: its game's record file (file system bytes).
  void openRecord(const QByteArray& path);

 private:
  void fillBaseChoice();
  void headerClicked(int column);
  void activated(const QModelIndex& index);
  // Runs a change of the rows, keeping the selected game selected and in sight.
  void keepingSelection(const std::function<void()>& change);

  WpbList* bases_;
  bool big5_;
  PlayerDialog::PlayersFilePath playersFile_;
  int base_ = -1;
  RecordLibraryModel* model_;
  QTableView* table_;
  SortArrowHeader* header_;
  QComboBox* bases_combo_;
  QPushButton* player_;
};

}  // namespace mh
