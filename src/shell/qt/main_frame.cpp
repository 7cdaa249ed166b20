#include "shell/qt/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFile>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QUrlQuery>
#include <atomic>
#include <thread>

#include "library_windows/qt/library_windows.h"
#include "patterns/file_game_loader.h"
#include "patterns/skipped_records.h"
#include "patterns/wpb_list.h"
#include "platform/text_codec.h"
#include "room/app_settings.h"
#include "room/qt/board_view.h"
#include "room/qt/child_frame.h"
#include "room/qt/hint_details_window.h"
#include "room/qt/room_view.h"
#include "room/qt/study_bar.h"
#include "room/room_title.h"
#include "shell/app_title.h"
#include "shell/qt/about_dialog.h"
#include "shell/qt/frame_actions.h"
#include "shell/qt/room_bar.h"
#include "shell/qt/settings_dialog.h"
#include "shell/window_tiling.h"

namespace mh {

namespace {

// Where feedback mail goes.
constexpr const char* kFeedbackAddress = "moonhaven@localhost";

// The frame command behind a room command of the older menus.
FrameCommand frameCommandOf(RoomCommand command) {
  for (const FrameCommandInfo& info : frameCommands())
    if (roomCommandOf(info.command) == command) return info.command;
  return FrameCommand::NewRoom;
}

}  // namespace

CMainFrame::CMainFrame(RoomContext context, FrameServices services, QWidget* parent)
    : QMainWindow(parent), context_(std::move(context)), services_(std::move(services)) {
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
  actions_ = new FrameActions(this);
  menus_ = actions_->fillMenuBar(menuBar());
  createLibraryMenu(menus_[3]);
  createToolBar();
  statusBar()->showMessage(tr("就绪"));
  createStudyBar();
  createRoomBar();
  showPatternBases();
  connect(libraryWindows_, &LibraryWindows::patternBasesChanged, this, &CMainFrame::showPatternBases);
  connectCommands();
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
  // The docks report being hidden while the window part of this frame is torn down, after this
  // frame's own members are gone.
  disconnect(studyDock_, nullptr, this, nullptr);
  disconnect(roomDock_, nullptr, this, nullptr);
  for (CChildFrame* room : findChildren<CChildFrame*>()) delete room;
}

QAction* CMainFrame::action(FrameCommand command) const { return actions_->action(command); }

QAction* CMainFrame::action(RoomCommand command) const {
  if (command == RoomCommand::LibraryChoice) return libraryMenu_->menuAction();
  return action(frameCommandOf(command));
}

void CMainFrame::connectRoomCommand(FrameCommand command, void (RoomView::*slot)()) {
  connect(action(command), &QAction::triggered, this, [this, slot] {
    if (RoomView* room = activeRoom()) (room->*slot)();
  });
}

void CMainFrame::connectCommands() {
  using C = FrameCommand;
  const auto on = [this](FrameCommand command, auto&& slot) { connect(action(command), &QAction::triggered, this, slot); };
  on(C::NewRoom, [this] { (void)newRoom(); });
  on(C::Exit, [this] { close(); });
  connectRoomCommand(C::Open, &RoomView::openRecordWithDialog);
  connectRoomCommand(C::Save, &RoomView::save);
  connectRoomCommand(C::SaveAs, &RoomView::saveAs);
  connectRoomCommand(C::Export, &RoomView::exportDefault);
  connectRoomCommand(C::NewGame, &RoomView::newGame);
  connectRoomCommand(C::EndGame, &RoomView::endGame);
  connectRoomCommand(C::Pass, &RoomView::pass);
  connectRoomCommand(C::Play, &RoomView::showPlayDialog);
  connectRoomCommand(C::MoveNumbers, &RoomView::cycleMoveNumbers);
  connectRoomCommand(C::MarkDead, &RoomView::toggleDeadStoneMode);
  connectRoomCommand(C::Count, &RoomView::count);
  connectRoomCommand(C::Rules, &RoomView::showRulesDialog);
  for (const auto& [command, kind] : {std::pair{C::SwapXY, 0}, std::pair{C::FlipX, 1}, std::pair{C::FlipY, 2}}) {
    on(command, [this, kind = kind] {
      if (RoomView* room = activeRoom()) room->transform(kind);
    });
  }
  on(C::HintDetails, [this] { showHintDetails(); });
  on(C::CloseRoom, [this] {
    if (QMdiSubWindow* window = mdi_->activeSubWindow()) window->close();
  });
  on(C::RecordLibrary, [this] { libraryWindows_->showRecordLibrary(); });
  on(C::PatternLibrary, [this] { libraryWindows_->showPatternLibraryManager(); });
  on(C::Settings, [this] { showSettings(); });
  on(C::UpdateCustomIndex, [this] { updateCustomIndex(); });
  on(C::Cascade, [this] { mdi_->cascadeSubWindows(); });
  on(C::TileHorizontally, [this] { tile(true); });
  on(C::TileVertically, [this] { tile(false); });
  on(C::ArrangeIcons, [this] { arrangeIcons(); });
  on(C::CloseAllRooms, [this] { closeAllRooms(); });
  on(C::KeepOnTop, [this](bool checked) { setKeepOnTop(checked); });
  on(C::LanguageChinese, [this] { chooseLanguage(LanguageSetting::kLangChinese); });
  on(C::LanguageEnglish, [this] { chooseLanguage(LanguageSetting::kLangEnglish); });
  on(C::HelpTopics, [this] { showHelpPage(); });
  on(C::HomePage, [this] { showHelpPage(); });
  on(C::Feedback, [this] { sendFeedback(); });
  on(C::About, [this] { showAbout(); });

  // The bars' menu items show and hide them, and follow them when they are hidden otherwise.
  const struct {
    FrameCommand command;
    QWidget* bar;
  } bars[] = {{C::ViewToolbar, toolBar_}, {C::ViewStatusBar, statusBar()}, {C::ViewStudyBar, studyDock_},
              {C::ViewRoomBar, roomDock_}};
  for (const auto& [command, bar] : bars) {
    QAction* item = action(command);
    item->setChecked(true);
    connect(item, &QAction::toggled, bar, &QWidget::setVisible);
  }
  connect(toolBar_, &QToolBar::visibilityChanged, action(C::ViewToolbar), &QAction::setChecked);
  connect(studyDock_, &QDockWidget::visibilityChanged, this, [this] {
    if (!isMinimized()) action(FrameCommand::ViewStudyBar)->setChecked(!studyDock_->isHidden());
  });
  connect(roomDock_, &QDockWidget::visibilityChanged, this, [this] {
    if (!isMinimized()) action(FrameCommand::ViewRoomBar)->setChecked(!roomDock_->isHidden());
  });
  action(C::LanguageChinese)->setChecked(services_.language.isChinese());
  action(C::LanguageEnglish)->setChecked(!services_.language.isChinese());
}

void CMainFrame::createToolBar() {
  toolBar_ = new QToolBar(tr("工具栏"), this);
  toolBar_->setObjectName(QStringLiteral("toolBar"));
  toolBar_->setIconSize(QSize(16, 16));
  actions_->fillToolBar(toolBar_);
  addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::createLibraryMenu(QMenu* roomMenu) {
  libraryMenu_ = roomMenu->addMenu(tr("选择全局库: "));
  libraryGroup_ = new QActionGroup(this);
}

QStringList CMainFrame::patternBaseTitles() const {
  QStringList titles;
  const bool big5 = context_.services.settings && context_.services.settings->displayInBig5;
  if (const WpbList* bases = context_.services.patternBases)
    for (int n = 0; n < bases->count(); ++n)
      titles << QString::fromStdString(text::displayText(bases->at(n)->title(), big5));
  return titles;
}

void CMainFrame::showPatternBases() {
  const QStringList titles = patternBaseTitles();
  for (QAction* choice : libraryGroup_->actions()) delete choice;
  for (int n = 0; n < titles.size(); ++n) {
    auto* choice = libraryMenu_->addAction(titles[n]);
    choice->setCheckable(true);
    libraryGroup_->addAction(choice);
    connect(choice, &QAction::triggered, this, [this, n] {
      if (RoomView* room = activeRoom()) room->selectLibrary(n);
      studyBar_->libraryBox()->setCurrentIndex(n);
    });
  }
  studyBar_->setLibraryTitles(titles);
  if (active_) {
    const int library = active_->room().libraryIndex();
    if (library >= 0 && library < titles.size()) libraryGroup_->actions()[library]->setChecked(true);
  }
  // New rooms take hints from the list's default base.
  if (services_.settings && context_.services.patternBases)
    services_.settings->defaultPatternBase = context_.services.patternBases->defaultNumber();
  updateActions();
}

void CMainFrame::createStudyBar() {
  studyBar_ = new StudyBar(this);
  connect(studyBar_, &StudyBar::hintDetailsRequested, this, &CMainFrame::showHintDetails);
  connect(studyBar_, &StudyBar::libraryChosen, this, [this](int n) {
    const QList<QAction*> choices = libraryGroup_->actions();
    if (n >= 0 && n < choices.size()) choices[n]->setChecked(true);
  });
  studyDock_ = new QDockWidget(tr("对局信息"), this);
  studyDock_->setObjectName(QStringLiteral("studyBar"));
  studyDock_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable |
                          QDockWidget::DockWidgetClosable);
  studyDock_->setWidget(studyBar_);
  addDockWidget(Qt::RightDockWidgetArea, studyDock_);
  // Narrow by default, so that a small window leaves the board most of its width.
  resizeDocks({studyDock_}, {230}, Qt::Horizontal);
}

QPlainTextEdit* CMainFrame::infoBox() const { return studyBar_->infoBox(); }

void CMainFrame::createRoomBar() {
  roomBar_ = new RoomBar(this);
  roomDock_ = new QDockWidget(tr("棋室信息"), this);
  roomDock_->setObjectName(QStringLiteral("roomBar"));
  roomDock_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetClosable);
  roomDock_->setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
  // A plain grip instead of the title: the tabs say what the bar is.
  auto* grip = new QWidget(roomDock_);
  auto* gripLayout = new QHBoxLayout(grip);
  gripLayout->setContentsMargins(0, 0, 0, 0);
  gripLayout->addSpacerItem(new QSpacerItem(0, 4, QSizePolicy::Expanding, QSizePolicy::Fixed));
  roomDock_->setTitleBarWidget(grip);
  roomDock_->setWidget(roomBar_);
  addDockWidget(Qt::BottomDockWidgetArea, roomDock_);
  connect(roomBar_, &RoomBar::roomChosen, this, [this](CChildFrame* room) { mdi_->setActiveSubWindow(room); });
}

int CMainFrame::openRoomCount() const { return static_cast<int>(rooms().size()); }

CChildFrame* CMainFrame::newRoom() {
  if (openRoomCount() >= kMaxRooms) return nullptr;
  std::vector<int> numbers;
  for (CChildFrame* room : rooms()) numbers.push_back(room->number());
  const bool maximised = !mdi_->activeSubWindow() || mdi_->activeSubWindow()->isMaximized();
  auto* frame = new CChildFrame(nextRoomNumber(numbers), context_);
  mdi_->addSubWindow(frame);
  roomBar_->addRoom(frame);
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
  updateActions();
  return frame;
}

QList<CChildFrame*> CMainFrame::rooms() const {
  QList<CChildFrame*> list;
  for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder))
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
  roomBar_->setActiveRoom(frame);
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
  FrameState state;
  state.openRooms = openRoomCount();
  state.patternBases = context_.services.patternBases ? context_.services.patternBases->count() : 0;
  state.activeRoom = room ? room->room().commandState() : RoomCommandState{};
  actions_->updateEnabled(state);
  libraryMenu_->menuAction()->setEnabled(roomCommandEnabled(RoomCommand::LibraryChoice, state.activeRoom));
  action(FrameCommand::MarkDead)->setChecked(room && room->room().deadStoneMode());
  // The bar keeps acting on the last active room while another window (a message box) is active.
  studyBar_->setRoom(active_);
}

void CMainFrame::closeAllRooms() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  while (QMdiSubWindow* window = mdi_->activeSubWindow() ? mdi_->activeSubWindow() : mdi_->currentSubWindow()) {
    if (!window->close()) break;
  }
  // Rooms not active (the frame itself inactive) close too.
  for (CChildFrame* room : rooms()) room->close();
  QApplication::restoreOverrideCursor();
  updateActions();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Every room ends its game as closing it does: drivers stopped, GNU Go players ended.
  for (CChildFrame* room : rooms()) room->close();
  hintDetails_->close();
  event->accept();
}

void CMainFrame::tile(bool horizontally) {
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder))
    if (!w->isMinimized()) windows.push_back(w);
  const QRect area = mdi_->viewport()->rect();
  const std::vector<TileRect> places =
      tileWindows(static_cast<int>(windows.size()), area.width(), area.height(), horizontally);
  for (size_t i = 0; i < places.size(); ++i) {
    QMdiSubWindow* w = windows[static_cast<qsizetype>(i)];
    if (w->isMaximized()) w->showNormal();
    w->setGeometry(places[i].x, places[i].y, places[i].width, places[i].height);
  }
}

void CMainFrame::arrangeIcons() {
  // Minimised rooms in a row along the bottom of the area, in the order they were opened.
  int x = 0;
  const int bottom = mdi_->viewport()->height();
  for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (!w->isMinimized()) continue;
    const QSize size = w->size();
    if (x > 0 && x + size.width() > mdi_->viewport()->width()) x = 0;
    w->move(x, bottom - size.height());
    x += size.width();
  }
}

bool CMainFrame::keepsOnTop() const { return windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

void CMainFrame::setKeepOnTop(bool on) {
  if (on == keepsOnTop()) return;
  const QRect geometry = normalGeometry();
  const Qt::WindowStates state = windowState();
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  // Changing the flag may take the window down: bring it back where it was.
  if (shown && !isVisible()) {
    setGeometry(geometry);
    setWindowState(state);
    show();
  }
  action(FrameCommand::KeepOnTop)->setChecked(on);
}

void CMainFrame::chooseLanguage(int lang) {
  // The check marks name the running language until the next start.
  action(FrameCommand::LanguageChinese)->setChecked(services_.language.isChinese());
  action(FrameCommand::LanguageEnglish)->setChecked(!services_.language.isChinese());
  const std::string path = LanguageSetting::langIniPath(context_.services.programDirectory);
  if (!LanguageSetting::writeLang(path, lang)) {
    showMessage(tr("无法写入文件 %1").arg(QFile::decodeName(path.c_str())));
    return;
  }
  showMessage(tr("语言的设置将会在程序重启的时候有效."));
}

void CMainFrame::showHelpPage() {
  const QString page = QString::fromStdString(services_.dataDirectory) +
                       (services_.language.isChinese() ? QStringLiteral("help/index_zh.html")
                                                       : QStringLiteral("help/index.html"));
  if (services_.dataDirectory.empty() || !QFile::exists(page)) {
    showMessage(tr("找不到帮助文件 %1").arg(page));
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

void CMainFrame::sendFeedback() {
  QUrl mail(QStringLiteral("mailto:%1").arg(QString::fromLatin1(kFeedbackAddress)));
  QUrlQuery query;
  query.addQueryItem(QStringLiteral("subject"), tr("反馈 Moonhaven 2.2"));
  mail.setQuery(query);
  QDesktopServices::openUrl(mail);
}

void CMainFrame::showSettings() {
  if (!services_.settings) return;
  SettingsDialog dialog(*services_.settings, this);
  if (dialog.exec() != QDialog::Accepted) return;
  *services_.settings = dialog.settings();
  // The rooms show the new hint switches at once (a refresh of the same position stays silent).
  for (CChildFrame* room : rooms()) room->roomView()->refresh();
}

void CMainFrame::showAbout() {
  AboutDialog dialog(this);
  dialog.exec();
}

void CMainFrame::showMessage(const QString& text) {
  QMessageBox::information(this, QString::fromUtf8(kAppTitle), text);
}

void CMainFrame::updateCustomIndex() {
  WpbList* bases = context_.services.patternBases;
  if (!bases || bases->count() < 2) return;
  Wpb* custom = bases->at(1);
  // The rooms and the record library let go of the custom base while its index is rebuilt.
  libraryWindows_->releasePatternBase(1);
  custom->close();
  struct Job {
    std::atomic<int> run{1}, total{0}, current{0}, result{-1};
    std::atomic<bool> done{false};
  };
  auto job = std::make_shared<Job>();
  std::thread worker([job, directory = custom->recordDirectory(), path = custom->filePath("idx"),
                      log = context_.services.log] {
    // Record files that do not load are logged as a pattern-base build logs them.
    SkippedRecordLog skipped(log);
    GameIndexScan scan;
    scan.load = skipped.watching(fileGameLoader());
    scan.log = log;
    scan.runFlag = &job->run;
    scan.total = &job->total;
    scan.current = &job->current;
    job->result = rebuildGameIndexFile(directory, path, scan);
    skipped.finish();
    job->done = true;
  });
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // A large folder shows its progress after a moment, with a way to stop.
  QProgressDialog progress(tr("正在更新自定义棋谱库索引..."), tr("取消"), 0, 0, this);
  progress.setWindowTitle(QString::fromUtf8(kAppTitle));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(800);
  QEventLoop loop;
  QTimer poll;
  connect(&poll, &QTimer::timeout, this, [&] {
    if (job->done) {
      loop.quit();
      return;
    }
    if (progress.wasCanceled()) job->run = 0;
    progress.setMaximum(std::max(1, job->total.load()));
    progress.setValue(std::min(job->current.load(), progress.maximum() - 1));
  });
  poll.start(50);
  loop.exec();
  worker.join();
  progress.reset();
  QApplication::restoreOverrideCursor();
  libraryWindows_->patternBaseRebuilt(1);
  const int count = job->result;
  if (count < 0) {
    if (!progress.wasCanceled())
      showMessage(tr("无法写入文件 %1").arg(QFile::decodeName(custom->filePath("idx").c_str())));
    return;
  }
  showMessage(tr("自定义棋谱总数: ") + QStringLiteral(" %1").arg(count));
}

}  // namespace mh
