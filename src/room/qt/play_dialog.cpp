#include "room/qt/play_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace mh {

PlayerPaneWidget::PlayerPaneWidget(QWidget* parent) : QWidget(parent) {
  type_ = new QComboBox(this);
  type_->addItem(tr("人"));
  type_->addItem(tr("GNU Go + Moonhaven助手"));
  name_ = new QLineEdit(this);
  name_->setMaxLength(PlaySetup::kNameCharacters);

  gnuGo_ = new QWidget(this);
  program_ = new QLineEdit(gnuGo_);
  browse_ = new QToolButton(gnuGo_);
  browse_->setText(QStringLiteral("..."));
  level_ = new QSpinBox(gnuGo_);
  level_->setRange(1, 10);
  assist_ = new QCheckBox(tr("使用 Moonhaven助手"), gnuGo_);
  auto* programRow = new QHBoxLayout;
  programRow->addWidget(program_);
  programRow->addWidget(browse_);
  auto* gnuGoForm = new QFormLayout(gnuGo_);
  gnuGoForm->setContentsMargins(0, 0, 0, 0);
  gnuGoForm->addRow(tr("GNU Go 程序:"), programRow);
  gnuGoForm->addRow(tr("等级:"), level_);
  gnuGoForm->addRow(assist_);

  auto* form = new QFormLayout(this);
  form->addRow(tr("棋手:"), type_);
  form->addRow(tr("名字:"), name_);
  form->addRow(gnuGo_);
  connect(type_, &QComboBox::currentIndexChanged, this, &PlayerPaneWidget::showGnuGoControls);
  connect(browse_, &QToolButton::clicked, this, &PlayerPaneWidget::browse);
  showGnuGoControls();
}

void PlayerPaneWidget::setPane(const PlayerPane& pane) {
  type_->setCurrentIndex(pane.gnuGo ? 1 : 0);
  name_->setText(QString::fromStdString(pane.name));
  program_->setText(QString::fromStdString(pane.program));
  level_->setValue(pane.level);
  assist_->setChecked(pane.assist);
  showGnuGoControls();
}

PlayerPane PlayerPaneWidget::pane() const {
  PlayerPane p;
  p.gnuGo = type_->currentIndex() == 1;
  p.name = name_->text().toUtf8().toStdString();
  p.program = program_->text().toUtf8().toStdString();
  p.level = level_->value();
  p.assist = assist_->isChecked();
  return p;
}

void PlayerPaneWidget::showGnuGoControls() { gnuGo_->setVisible(type_->currentIndex() == 1); }

void PlayerPaneWidget::browse() {
  const QString chosen = QFileDialog::getOpenFileName(this, tr("GNU Go 程序"), program_->text());
  if (!chosen.isEmpty()) program_->setText(chosen);
}

PlayDialog::PlayDialog(const PlaySetup& initial, QWidget* parent)
    : QDialog(parent), rules_(initial.ruleType, this) {
  setWindowTitle(tr("游戏设置"));
  handicap_ = new QSpinBox(this);
  handicap_->setRange(0, 9);

  auto* rules = new QFormLayout;
  rules_.addRows(rules, tr("规则:"));
  rules->addRow(tr("让子 (0,2-9)"), handicap_);

  black_ = new PlayerPaneWidget(this);
  white_ = new PlayerPaneWidget(this);
  auto* blackFrame = new QGroupBox(tr("Black"), this);
  (new QVBoxLayout(blackFrame))->addWidget(black_);
  auto* whiteFrame = new QGroupBox(tr("White"), this);
  (new QVBoxLayout(whiteFrame))->addWidget(white_);
  auto* panes = new QHBoxLayout;
  panes->addWidget(blackFrame, 1, Qt::AlignTop);
  panes->addWidget(whiteFrame, 1, Qt::AlignTop);

  auto* swap = new QPushButton(tr("交换黑白双方"), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->addButton(swap, QDialogButtonBox::ActionRole);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(rules);
  layout->addLayout(panes);
  layout->addWidget(buttons);

  connect(swap, &QPushButton::clicked, this, &PlayDialog::swapPlayers);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  rules_.setKomi(initial.komi);
  handicap_->setValue(initial.handicap);
  black_->setPane(initial.black);
  white_->setPane(initial.white);
}

void PlayDialog::swapPlayers() {
  PlaySetup s = setup();
  s.swapPlayers();
  black_->setPane(s.black);
  white_->setPane(s.white);
}

PlaySetup PlayDialog::setup() const {
  PlaySetup s;
  s.ruleType = rules_.ruleType();
  s.komi = rules_.komi();
  s.handicap = handicap_->value();
  s.black = black_->pane();
  s.white = white_->pane();
  return s;
}

}  // namespace mh
