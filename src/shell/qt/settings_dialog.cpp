#include "shell/qt/settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mh {

SettingsDialog::SettingsDialog(const AppSettings& settings, QWidget* parent) : QDialog(parent), original_(settings) {
  setWindowTitle(tr("设置"));
  global_ = new QCheckBox(tr("全局模式库匹配信息( A, B, C... )"), this);
  local_ = new QCheckBox(tr("局部模式库匹配信息( A1, B1,... )"), this);
  matrix_ = new QCheckBox(tr("矩阵模式库匹配信息( * )"), this);
  matrix_->hide();
  global_->setChecked(settings.globalHints);
  local_->setChecked(settings.localHints);
  matrix_->setChecked(settings.matrixHints);

  auto* chimes = new QGroupBox(tr("提示音"), this);
  studySound_ = new QCheckBox(tr("打开"), chimes);
  studySound_->setChecked(settings.studySound);
  (new QVBoxLayout(chimes))->addWidget(studySound_);

  auto* stones = new QGroupBox(tr("落子音量"), this);
  auto* stonesLayout = new QVBoxLayout(stones);
  auto* group = new QButtonGroup(this);
  const char* modes[3] = {QT_TR_NOOP("全部打开"), QT_TR_NOOP("只打开当前房间"), QT_TR_NOOP("全部关闭")};
  for (int mode = 0; mode < 3; ++mode) {
    stoneSound_[mode] = new QRadioButton(tr(modes[mode]), stones);
    group->addButton(stoneSound_[mode], mode);
    stonesLayout->addWidget(stoneSound_[mode]);
  }
  const int current = settings.stoneSoundMode;
  stoneSound_[current >= 0 && current < 3 ? current : 0]->setChecked(true);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(global_);
  layout->addWidget(local_);
  layout->addWidget(matrix_);
  layout->addWidget(chimes);
  layout->addWidget(stones);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

AppSettings SettingsDialog::settings() const {
  AppSettings s = original_;
  s.globalHints = global_->isChecked();
  s.localHints = local_->isChecked();
  s.matrixHints = matrix_->isChecked();
  s.studySound = studySound_->isChecked();
  for (int mode = 0; mode < 3; ++mode)
    if (stoneSound_[mode]->isChecked()) s.stoneSoundMode = mode;
  return s;
}

}  // namespace mh
