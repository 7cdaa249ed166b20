#pragma once

#include <QDialog>

#include "room/play_setup.h"
#include "room/qt/rules_dialog.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace mh {

// One player's controls of the play dialog: who plays, the name, and GNU Go's program, level and
// assist, shown only when GNU Go is chosen.
class PlayerPaneWidget : public QWidget {
  Q_OBJECT

 public:
  explicit PlayerPaneWidget(QWidget* parent = nullptr);
  void setPane(const PlayerPane& pane);
  PlayerPane pane() const;

  QComboBox* typeBox() const { return type_; }
  QLineEdit* nameEdit() const { return name_; }
  QLineEdit* programEdit() const { return program_; }
  QToolButton* browseButton() const { return browse_; }

 private:
  void showGnuGoControls();
  void browse();

  QComboBox* type_;
  QLineEdit* name_;
  QWidget* gnuGo_;
  QLineEdit* program_;
  QToolButton* browse_;
  QSpinBox* level_;
  QCheckBox* assist_;
};

// "游戏设置": rules and komi, handicap, and the two players, with a swap of the two panes.
class PlayDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PlayDialog(const PlaySetup& initial, QWidget* parent = nullptr);

  // What the controls hold now.
  PlaySetup setup() const;

  QComboBox* ruleBox() const { return rules_.ruleBox(); }
  QDoubleSpinBox* komiBox() const { return rules_.komiBox(); }
  QSpinBox* handicapBox() const { return handicap_; }
  PlayerPaneWidget* blackPane() const { return black_; }
  PlayerPaneWidget* whitePane() const { return white_; }

 public slots:
  void swapPlayers();

 private:
  RuleKomiFields rules_;
  QSpinBox* handicap_;
  PlayerPaneWidget* black_;
  PlayerPaneWidget* white_;
};

}  // namespace mh
