#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "library_windows/player_filter.h"

class QComboBox;
class QListWidget;
class QPushButton;
class QTabBar;

namespace mh {

// "选择 棋手": four tabs of players files, the list of the chosen tab's names, the colour the
// player had, and "选择所有棋谱", which closes the dialog as accepted with no player chosen.
class PlayerDialog : public QDialog {
  Q_OBJECT

 public:
  // The path of a players file by its name; the dialog reads a tab's file when the tab is shown.
  using PlayersFilePath = std::function<std::string(const char* fileName)>;

  // Opens at the tab, and with the name and colour, of the current filter when they are found.
  PlayerDialog(PlayersFilePath path, bool displayInBig5, const PlayerFilter& current, QWidget* parent = nullptr);

  // The filter chosen: the selected name (GB, as the file holds it; empty when none) and colour.
  PlayerFilter chosenFilter() const;

  QTabBar* tabs() const { return tabs_; }
  QListWidget* names() const { return list_; }
  QComboBox* colours() const { return colours_; }
  QPushButton* allGamesButton() const { return all_; }

 private:
  void showTab(int tab);

  PlayersFilePath path_;
  bool big5_;
  QTabBar* tabs_;
  QListWidget* list_;
  QComboBox* colours_;
  QPushButton* all_;
  std::vector<std::string> shown_;
};

}  // namespace mh
