#include "shell/qt/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QMdiArea>
#include <QMenuBar>

#include "library_windows/qt/library_windows.h"
#include "patterns/wpb_list.h"
#include "room/qt/board_view.h"
#include "room/qt/child_frame.h"
#include "room/qt/hint_details_window.h"
#include "room/qt/room_view.h"
#include "room/qt/study_bar.h"
#include "room/room_title.h"
#include "shell/app_title.h"

namespace mh {

CMainFrame::CMainFrame(RoomContext context, QWidget* parent) : QMainWindow(parent), context_(std::move(context)) {
  setWindowTitle(QString::fromUtf8(kAppTitle));
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  hintDetails_ = new HintDetailsWindow(this);
  libraryWindows_ = new LibraryWindows(
      context_, [this] { return activeRoom(); },
      [this] {
        QList<RoomView*> views;
        for (CChildFrame* frame : rooms()) views.push_back(frame->roomView());
        return views;
      },
      this);
  createActions();
  createMenus();
  createStudyBar();
  connect(mdi_, &QMdiArea::subWindowActivated, this, &CMainFrame::roomActivated);
  connect(hintDetails_, &HintDetailsWindow::openGame, this, [this](const QByteArray& path, int move) {
    if (RoomView* room = activeRoom()) (void)room->openRecordFile(QFile::decodeName(path), false, move);
  });
  resize(1100, 820);
  updateActions();
}

CMainFrame::~CMainFrame() {
  // The rooms go first: what they signal on their way out still finds every member here.
  // Closed rooms waiting for their deferred deletion are children too.
  disconnect(mdi_, nullptr, this, nullptr);
  for (CChildFrame* room : findChildren<CChildFrame*>()) delete room;
}

QAction* CMainFrame::roomAction(RoomCommand command, const QString& text, const QKeySequence& shortcut,
                                void (RoomView::*slot)()) {
  auto* action = new QAction(text, this);
  action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, [this, slot] {
    if (RoomView* room = activeRoom()) (room->*slot)();
  });
  actions_[command] = action;
  return action;
}

void CMainFrame::createActions() {
  newRoom_ = new QAction(tr("新建棋室(&N)"), this);
  newRoom_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  connect(newRoom_, &QAction::triggered, this, [this] { (void)newRoom(); });
  recordLibrary_ = new QAction(tr("从棋谱库中打开(&D)..."), this);
  recordLibrary_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  connect(recordLibrary_, &QAction::triggered, libraryWindows_, &LibraryWindows::showRecordLibrary);
  patternLibrary_ = new QAction(tr("全局模式库管理"), this);
  connect(patternLibrary_, &QAction::triggered, libraryWindows_, &LibraryWindows::showPatternLibraryManager);
  exit_ = new QAction(tr("退出(&X)"), this);
  connect(exit_, &QAction::triggered, this, &QWidget::close);

  roomAction(RoomCommand::NewGame, tr("开始新局"), QKeySequence(Qt::CTRL | Qt::Key_Return), &RoomView::newGame);
  roomAction(RoomCommand::EndGame, tr("结束"), QKeySequence(Qt::CTRL | Qt::Key_X), &RoomView::endGame);
  roomAction(RoomCommand::Play, tr("对弈"), {}, &RoomView::showPlayDialog);
  roomAction(RoomCommand::Open, tr("打开棋谱(&O)..."), QKeySequence(Qt::CTRL | Qt::Key_O),
             &RoomView::openRecordWithDialog);
  roomAction(RoomCommand::Save, tr("保存棋谱(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S), &RoomView::save);
  roomAction(RoomCommand::SaveAs, tr("另存棋谱为(&A)..."), {}, &RoomView::saveAs);
  roomAction(RoomCommand::Export, tr("导出到缺省sgf文件"), QKeySequence(Qt::CTRL | Qt::Key_F5), &RoomView::exportDefault);
  roomAction(RoomCommand::MoveNumbers, tr("显示手数"), {}, &RoomView::cycleMoveNumbers);
  roomAction(RoomCommand::MarkDead, tr("标记死子"), {}, &RoomView::toggleDeadStoneMode)->setCheckable(true);
  roomAction(RoomCommand::Count, tr("点算胜负"), {}, &RoomView::count);
  roomAction(RoomCommand::Rules, tr("规则"), {}, &RoomView::showRulesDialog);
  const struct {
    RoomCommand command;
    const char* text;
    int kind;
  } transforms[] = {{RoomCommand::SwapXY, QT_TR_NOOP("棋盘XY交换"), 0},
                    {RoomCommand::FlipX, QT_TR_NOOP("水平翻转"), 1},
                    {RoomCommand::FlipY, QT_TR_NOOP("垂直翻转"), 2}};
  for (const auto& t : transforms) {
    auto* action = new QAction(tr(t.text), this);
    connect(action, &QAction::triggered, this, [this, kind = t.kind] {
      if (RoomView* room = activeRoom()) room->transform(kind);
    });
    actions_[t.command] = action;
  }
  auto* details = new QAction(tr("查看标记详细信息(...)"), this);
  connect(details, &QAction::triggered, this, &CMainFrame::showHintDetails);
  actions_[RoomCommand::HintDetails] = details;
  auto* close = new QAction(tr("关闭"), this);
  close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
  connect(close, &QAction::triggered, this, [this] {
    if (QMdiSubWindow* window = mdi_->activeSubWindow()) window->close();
  });
  actions_[RoomCommand::Close] = close;
}

void CMainFrame::createMenus() {
  QMenu* file = menuBar()->addMenu(tr("文件(&F)"));
  file->addAction(newRoom_);
  file->addAction(action(RoomCommand::Open));
  file->addAction(recordLibrary_);
  for (RoomCommand c : {RoomCommand::Save, RoomCommand::SaveAs, RoomCommand::Export}) file->addAction(action(c));
  file->addSeparator();
  file->addAction(action(RoomCommand::Close));
  file->addAction(exit_);

  QMenu* game = menuBar()->addMenu(tr("游戏(&G)"));
  for (RoomCommand c : {RoomCommand::NewGame, RoomCommand::EndGame}) game->addAction(action(c));
  game->addSeparator();
  for (RoomCommand c : {RoomCommand::SwapXY, RoomCommand::FlipX, RoomCommand::FlipY}) game->addAction(action(c));
  game->addSeparator();
  for (RoomCommand c : {RoomCommand::Play, RoomCommand::MarkDead, RoomCommand::Count, RoomCommand::Rules})
    game->addAction(action(c));
  game->addSeparator();
  game->addAction(patternLibrary_);

  QMenu* room = menuBar()->addMenu(tr("棋室(&R)"));
  room->addAction(action(RoomCommand::MoveNumbers));
  room->addAction(action(RoomCommand::HintDetails));
  libraryMenu_ = room->addMenu(tr("选择全局库: "));
  actions_[RoomCommand::LibraryChoice] = libraryMenu_->menuAction();
  libraryGroup_ = new QActionGroup(this);
  fillLibraryChoices();
}

void CMainFrame::fillLibraryChoices() {
  WpbList* bases = context_.services.patternBases;
  const int count = bases ? bases->count() : 0;
  for (int n = 0; n < count; ++n) {
    const QString title = QString::fromStdString(bases->at(n)->title());
    auto* choice = libraryMenu_->addAction(title);
    choice->setCheckable(true);
    libraryGroup_->addAction(choice);
    connect(choice, &QAction::triggered, this, [this, n] {
      if (RoomView* room = activeRoom()) room->selectLibrary(n);
      studyBar_->libraryBox()->setCurrentIndex(n);
    });
  }
}

void CMainFrame::createStudyBar() {
  studyBar_ = new StudyBar(this);
  QStringList titles;
  if (WpbList* bases = context_.services.patternBases)
    for (int n = 0; n < bases->count(); ++n) titles << QString::fromStdString(bases->at(n)->title());
  studyBar_->setLibraryTitles(titles);
  connect(studyBar_, &StudyBar::hintDetailsRequested, this, &CMainFrame::showHintDetails);
  connect(studyBar_, &StudyBar::libraryChosen, this, [this](int n) {
    const QList<QAction*> choices = libraryGroup_->actions();
    if (n >= 0 && n < choices.size()) choices[n]->setChecked(true);
  });
  auto* dock = new QDockWidget(tr("对局信息"), this);
  dock->setObjectName(QStringLiteral("studyBar"));
  dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  dock->setWidget(studyBar_);
  addDockWidget(Qt::RightDockWidgetArea, dock);
  resizeDocks({dock}, {230}, Qt::Horizontal);
}

QPlainTextEdit* CMainFrame::infoBox() const { return studyBar_->infoBox(); }

CChildFrame* CMainFrame::newRoom() {
  std::vector<int> numbers;
  for (CChildFrame* room : rooms()) numbers.push_back(room->number());
  const bool maximised = !mdi_->activeSubWindow() || mdi_->activeSubWindow()->isMaximized();
  auto* frame = new CChildFrame(nextRoomNumber(numbers), context_);
  mdi_->addSubWindow(frame);
  RoomView* room = frame->roomView();
  connect(room, &RoomView::infoTextChanged, this, [this, room](const QString& text) {
    if (room == active_) studyBar_->showInfoText(text);
  });
  connect(room, &RoomView::stateChanged, this, [this, room] {
    if (room == active_) updateActions();
  });
  connect(room, &QObject::destroyed, this, [this, room] {
    if (room == active_) active_ = nullptr;
    updateActions();
  });
  if (maximised) frame->showMaximized();
  else frame->show();
  mdi_->setActiveSubWindow(frame);
  room->newGame();
  return frame;
}

QList<CChildFrame*> CMainFrame::rooms() const {
  QList<CChildFrame*> list;
  for (QMdiSubWindow* w : mdi_->subWindowList())
    if (auto* frame = qobject_cast<CChildFrame*>(w)) list.push_back(frame);
  return list;
}

CChildFrame* CMainFrame::activeRoomFrame() const { return qobject_cast<CChildFrame*>(mdi_->activeSubWindow()); }

RoomView* CMainFrame::activeRoom() const {
  CChildFrame* frame = activeRoomFrame();
  return frame ? frame->roomView() : nullptr;
}

void CMainFrame::roomActivated(QMdiSubWindow* window) {
  // A sub-window loses activation when the frame itself does: the active room stays the last one.
  auto* frame = qobject_cast<CChildFrame*>(window);
  if (!frame) {
    if (mdi_->subWindowList().isEmpty()) {
      active_ = nullptr;
      studyBar_->showInfoText({});
    }
    updateActions();
    return;
  }
  if (active_ && active_ != frame->roomView()) active_->setActive(false);
  active_ = frame->roomView();
  active_->setActive(true);
  active_->boardView()->setFocus();
  const int library = active_->room().libraryIndex();
  const QList<QAction*> choices = libraryGroup_->actions();
  if (library >= 0 && library < choices.size()) choices[library]->setChecked(true);
  studyBar_->setRoom(active_);
  studyBar_->showInfoText(active_->infoText());
  updateActions();
}

void CMainFrame::showHintDetails() {
  RoomView* room = activeRoom();
  if (!room) return;
  hintDetails_->setRows(room->room().hintDetails(RoomView::detailWords()));
  hintDetails_->show();
  hintDetails_->raise();
}

void CMainFrame::updateActions() {
  RoomView* room = activeRoom();
  const RoomCommandState state = room ? room->room().commandState() : RoomCommandState{};
  for (const auto& [command, action] : actions_) action->setEnabled(roomCommandEnabled(command, state));
  action(RoomCommand::MarkDead)->setChecked(room && room->room().deadStoneMode());
  // The bar keeps acting on the last active room while another window (a message box) is active.
  studyBar_->setRoom(active_);
}

}  // namespace mh
