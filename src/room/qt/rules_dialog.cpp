#include "room/qt/rules_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mh {

RuleKomiFields::RuleKomiFields(int ruleType, QWidget* parent)
    : rule_(new QComboBox(parent)), komiLabel_(new QLabel(parent)), komi_(new QDoubleSpinBox(parent)) {
  rule_->addItem(tr("中国规则"));
  rule_->addItem(tr("日本规则"));
  komi_->setRange(-100, 100);
  komi_->setDecimals(2);
  komi_->setSingleStep(0.25);
  komiLabel_->setBuddy(komi_);
  QObject::connect(rule_, &QComboBox::currentIndexChanged, komi_, [this](int index) { ruleChosen(index); });
  rule_->setCurrentIndex(ruleType == GameSettings::Chinese ? 0 : 1);
  ruleChosen(rule_->currentIndex());
}

void RuleKomiFields::addRows(QFormLayout* form, const QString& ruleLabel) const {
  form->addRow(ruleLabel, rule_);
  form->addRow(komiLabel_, komi_);
}

int RuleKomiFields::ruleType() const {
  return rule_->currentIndex() == 1 ? GameSettings::Japanese : GameSettings::Chinese;
}

double RuleKomiFields::komi() const { return komi_->value(); }

void RuleKomiFields::setKomi(double komi) { komi_->setValue(komi); }

void RuleKomiFields::ruleChosen(int index) {
  komiLabel_->setText(index == 1 ? tr("贴目数:") : tr("贴子数:"));
  komi_->setValue(RuleSettings::defaultKomi(ruleType()));
}

RulesDialog::RulesDialog(int ruleType, QWidget* parent) : QDialog(parent), fields_(ruleType, this) {
  setWindowTitle(tr("规则设置"));
  default_ = new QCheckBox(tr("保存为缺省规则"), this);
  auto* form = new QFormLayout;
  fields_.addRows(form, tr("规则类型: "));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(tr("确定"));
  buttons->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(default_);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

RuleSettings RulesDialog::rules() const { return {fields_.ruleType(), fields_.komi()}; }

bool RulesDialog::saveAsDefault() const { return default_->isChecked(); }

}  // namespace mh
