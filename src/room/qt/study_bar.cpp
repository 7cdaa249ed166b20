#include "room/qt/study_bar.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "room/qt/room_view.h"

namespace mh {

namespace {

// A button that shows its action's text and follows its enabling, as wide as its cell allows.
QToolButton* buttonFor(QAction* action, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setDefaultAction(action);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return button;
}

}  // namespace

StudyBar::StudyBar(QWidget* parent) : QWidget(parent) {
  moveNumbers_ = new QPushButton(tr("显示手数"), this);
  hintDetails_ = new QPushButton(tr("查看标记详细信息(...)"), this);
  info_ = new QPlainTextEdit(this);
  info_->setReadOnly(true);
  // Narrow by default, so that a small window leaves the board most of its width.
  info_->setMinimumWidth(120);

  auto* study = new QGroupBox(tr("研究"), this);
  auto* grid = new QGridLayout(study);
  grid->setSpacing(2);
  const struct {
    StudyCommand command;
    const char* text;
    const char* tip;
  } steps[] = {
      {StudyCommand::First, QT_TR_NOOP("|<"), QT_TR_NOOP("到开始")},
      {StudyCommand::PreviousFive, QT_TR_NOOP("<5"), QT_TR_NOOP("后退五手")},
      {StudyCommand::Previous, QT_TR_NOOP("<"), QT_TR_NOOP("后退一手")},
      {StudyCommand::Next, QT_TR_NOOP(">"), QT_TR_NOOP("前进一手")},
      {StudyCommand::NextFive, QT_TR_NOOP(">5"), QT_TR_NOOP("前进五手")},
      {StudyCommand::Last, QT_TR_NOOP(">|"), QT_TR_NOOP("到最后")},
  };
  int column = 0;
  for (const auto& s : steps) grid->addWidget(buttonFor(makeAction(s.command, tr(s.text), tr(s.tip)), study), 0, column++);
  // The remaining buttons in rows of two or three, each row spanning the six step columns.
  const auto row = [&](int r, std::initializer_list<QAction*> actions) {
    const int span = 6 / static_cast<int>(actions.size());
    int c = 0;
    for (QAction* a : actions) {
      grid->addWidget(buttonFor(a, study), r, c, 1, span);
      c += span;
    }
  };
  row(1, {makeAction(StudyCommand::PreviousComment, tr("前注"), tr("上一个有注释的位置")),
          makeAction(StudyCommand::NextComment, tr("后注"), tr("下一个有注释的位置"))});
  row(2, {makeAction(StudyCommand::TakeBack, tr("悔一步棋"), {}),
          makeAction(StudyCommand::TakeBackToHere, tr("悔到当前位置"), {})});
  row(3, {makeAction(StudyCommand::Study, tr("试下"), {}), makeAction(StudyCommand::Restudy, tr("重新研究"), {}),
          makeAction(StudyCommand::EndStudy, tr("研讨结束"), {})});

  auto* libraryLabel = new QLabel(tr("选择全局库: "), this);
  library_ = new QComboBox(this);
  libraryLabel->hide();
  library_->hide();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(moveNumbers_);
  layout->addWidget(hintDetails_);
  layout->addWidget(info_, 1);
  layout->addWidget(study);
  layout->addWidget(libraryLabel);
  layout->addWidget(library_);

  connect(moveNumbers_, &QPushButton::clicked, this, [this] {
    if (room_) room_->cycleMoveNumbers();
  });
  connect(hintDetails_, &QPushButton::clicked, this, &StudyBar::hintDetailsRequested);
  connect(library_, &QComboBox::activated, this, [this](int n) {
    if (room_) room_->selectLibrary(n);
    emit libraryChosen(n);
  });
  updateFromRoom();
}

QAction* StudyBar::makeAction(StudyCommand command, const QString& text, const QString& tip) {
  auto* action = new QAction(text, this);
  if (!tip.isEmpty()) action->setToolTip(tip);
  connect(action, &QAction::triggered, this, [this, command] {
    if (room_) room_->runStudyCommand(command);
  });
  actions_[command] = action;
  return action;
}

void StudyBar::setLibraryTitles(const QStringList& titles) {
  library_->clear();
  library_->addItems(titles);
  updateFromRoom();
}

void StudyBar::showInfoText(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  info_->setPlainText(shown);
}

void StudyBar::setRoom(RoomView* room) {
  room_ = room;
  updateFromRoom();
}

void StudyBar::updateFromRoom() {
  const bool open = room_ != nullptr;
  const StudyBarState state = open ? room_->room().studyBarState() : StudyBarState{};
  for (const auto& [command, action] : actions_) action->setEnabled(studyCommandEnabled(state, command));
  moveNumbers_->setEnabled(open);
  hintDetails_->setEnabled(open);
  library_->setEnabled(open);
  if (open) library_->setCurrentIndex(room_->room().libraryIndex());
}

}  // namespace mh
