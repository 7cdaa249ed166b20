#pragma once

#include <QDialog>

#include "room/app_settings.h"

class QCheckBox;
class QRadioButton;

namespace mh {

// "设置": the hint switches, the study chimes and where stone sounds play. It shows the settings it
// was opened with; settings() gives them back with the dialog's choices. The matrix-hint switch
// is present but hidden, as the program has always had it.
class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SettingsDialog(const AppSettings& settings, QWidget* parent = nullptr);

  // The settings opened with, changed as the controls now say.
  AppSettings settings() const;

  QCheckBox* globalHintsBox() const { return global_; }
  QCheckBox* localHintsBox() const { return local_; }
  QCheckBox* matrixHintsBox() const { return matrix_; }
  QCheckBox* studySoundBox() const { return studySound_; }
  // The stone sound mode's button (0 every room, 1 the active room only, 2 none).
  QRadioButton* stoneSoundButton(int mode) const { return stoneSound_[mode]; }

 private:
  AppSettings original_;
  QCheckBox* global_;
  QCheckBox* local_;
  QCheckBox* matrix_;
  QCheckBox* studySound_;
  QRadioButton* stoneSound_[3];
};

}  // namespace mh
