#pragma once

#include <QCoreApplication>
#include <QDialog>

#include "room/rule_settings.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;

namespace mh {

// The rule-type box and the komi box with its label, as the play and rules dialogs show them:
// choosing a rule type sets the label ("贴子数:" in stones, "贴目数:" in points) and that type's
// usual komi. The widgets belong to the parent given.
class RuleKomiFields {
  Q_DECLARE_TR_FUNCTIONS(RuleKomiFields)

 public:
  // Starts on ruleType (anything but Chinese shows Japanese rules) with its usual komi.
  RuleKomiFields(int ruleType, QWidget* parent);

  // Adds the two rows to a form, the rule box under ruleLabel.
  void addRows(QFormLayout* form, const QString& ruleLabel) const;
  int ruleType() const;
  double komi() const;
  void setKomi(double komi);

  QComboBox* ruleBox() const { return rule_; }
  QLabel* komiLabel() const { return komiLabel_; }
  QDoubleSpinBox* komiBox() const { return komi_; }

 private:
  void ruleChosen(int index);

  QComboBox* rule_;
  QLabel* komiLabel_;
  QDoubleSpinBox* komi_;
};

// "规则设置": a room's rule type and komi, optionally kept as the default of new games. It opens on
// the room's rule type with that type's usual komi, not the room's own.
class RulesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit RulesDialog(int ruleType, QWidget* parent = nullptr);

  RuleSettings rules() const;
  bool saveAsDefault() const;

  const RuleKomiFields& fields() const { return fields_; }
  QCheckBox* defaultBox() const { return default_; }

 private:
  RuleKomiFields fields_;
  QCheckBox* default_;
};

}  // namespace mh
