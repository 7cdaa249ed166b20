#include "room/qt/room_view.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QVBoxLayout>

#include "room/app_settings.h"
#include "room/qt/board_sounds.h"
#include "room/qt/board_view.h"
#include "room/qt/play_dialog.h"
#include "room/qt/queued_room_notifier.h"
#include "room/qt/record_file_dialog.h"
#include "room/qt/rules_dialog.h"
#include "room/room_sounds.h"

namespace mh {

namespace {

std::string utf8(const QString& s) { return s.toUtf8().toStdString(); }

std::string pathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

const AppSettings& appSettings(const RoomContext& c) {
  static const AppSettings defaults;
  return c.services.settings ? *c.services.settings : defaults;
}

}  // namespace

RoomView::RoomView(int number, RoomContext context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
  notifier_ = std::make_shared<QueuedRoomNotifier>(
      this, [this](int game) { onPositionChanged(game); }, [this](int game) { onGameOver(game); });
  room_ = std::make_unique<Room>(number, context_.services, notifier_);
  board_ = new BoardView(*context_.images, this);
  board_->setWoodenBoard(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(board_);
  setFocusProxy(board_);
  // Posted, so that a click is handled after the mouse event has returned.
  connect(board_, &BoardView::pointChosen, this, &RoomView::onPointChosen, Qt::QueuedConnection);
  title_ = QString::fromStdString(room_->title(words().title));
}

RoomView::~RoomView() {
  notifier_->detach();
  room_.reset();
}

RoomWords RoomView::words() {
  RoomWords w;
  w.title.room = utf8(tr("%1棋室"));
  w.title.noFile = utf8(tr("无名文件"));
  w.title.noInfo = utf8(tr("无比赛信息"));
  w.title.moves = utf8(tr("手数"));
  w.title.black = utf8(tr("黑"));
  w.title.white = utf8(tr("白"));
  w.title.result = utf8(tr("结果"));
  w.hints.total = utf8(tr("总"));
  w.hints.won = utf8(tr("赢"));
  w.hints.lost = utf8(tr("输"));
  return w;
}

HintDetailWords RoomView::detailWords() {
  const RoomWords w = words();
  HintDetailWords d;
  d.counts = w.hints;
  d.black = w.title.black;
  d.white = w.title.white;
  d.result = w.title.result;
  d.totalMoves = utf8(tr("总手"));
  d.moveNumber = w.title.moves;
  return d;
}

CountWords RoomView::countWords() {
  CountWords w;
  w.result = utf8(tr("结果"));
  w.black = utf8(tr("黑"));
  w.white = utf8(tr("白"));
  w.komiStones = utf8(tr("贴子"));
  w.handicap = utf8(tr("让子"));
  w.blackWins = utf8(tr("黑胜"));
  w.whiteWins = utf8(tr("白胜"));
  w.draw = utf8(tr("平局"));
  w.stones = utf8(tr("子"));
  w.blackSide = utf8(tr("黑方"));
  w.whiteSide = utf8(tr("白方"));
  w.territory = utf8(tr("空"));
  w.whiteStones = utf8(tr("白子"));
  w.blackStones = utf8(tr("黑子"));
  w.komiPoints = utf8(tr("贴目"));
  w.points = utf8(tr("目"));
  return w;
}

void RoomView::newGame() {
  room_->newGame();
  playStoneSound(kNewGameSound);
  emit stateChanged();
}

void RoomView::endGame() {
  room_->endGame();
  emit stateChanged();
}

void RoomView::pass() {
  if (room_->pass()) emit stateChanged();
}

void RoomView::showPlayDialog() {
  const AppSettings& app = appSettings(context_);
  PlayDialog dialog(PlaySetup::defaults(app.defaultRules.ruleType, utf8(tr("东方不败")), utf8(tr("蜘蛛侠"))), this);
  if (dialog.exec() == QDialog::Accepted) startGame(playChoice(dialog.setup(), app.displayInBig5));
}

void RoomView::startGame(const PlayChoice& choice) {
  room_->startGame(choice);
  playStoneSound(kNewGameSound);
  emit stateChanged();
}

void RoomView::openRecordWithDialog() {
  QString path;
  bool big5 = false;
  if (RecordFileDialog::getOpenRecord(this, path, big5)) (void)openRecordFile(path, big5);
}

bool RoomView::openRecordFile(const QString& path, bool big5, std::optional<int> move) {
  switch (room_->openRecord(pathBytes(path), big5, move)) {
    case RecordLoadStatus::Ok: break;
    case RecordLoadStatus::UnknownFormat: showMessage(tr("不认识的文件格式!")); return false;
    case RecordLoadStatus::SgfReadFailed: showMessage(tr("读sgf文件失败!")); return false;
    case RecordLoadStatus::SgfConvertFailed: showMessage(tr("sgf ---> qipu失败!")); return false;
    case RecordLoadStatus::GibReadFailed: showMessage(tr("读gib文件失败!")); return false;
    case RecordLoadStatus::GibConvertFailed: showMessage(tr("gib ---> qipu失败!")); return false;
  }
  playStoneSound(kNewGameSound);
  refresh();
  emit recordOpened(path);
  return true;
}

void RoomView::save() {
  if (room_->filePath().empty()) return saveAs();
  (void)saveTo(QFile::decodeName(QByteArray::fromStdString(room_->filePath())));
}

void RoomView::saveAs() {
  QFileDialog dialog(this, tr("另存棋谱为"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(tr("sgf file (*.sgf)"));
  dialog.setDefaultSuffix(QStringLiteral("sgf"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    (void)saveTo(dialog.selectedFiles().front());
}

bool RoomView::saveTo(const QString& path) {
  if (!room_->saveAs(pathBytes(path))) {
    showMessage(tr("保存棋谱失败!"));
    return false;
  }
  refresh();
  return true;
}

void RoomView::exportDefault() { showMessage(room_->exportDefault() ? tr("导出成功!") : tr("导出失败!")); }

void RoomView::transform(int kind) {
  if (room_->transform(kind)) refresh();
}

void RoomView::cycleMoveNumbers() {
  room_->cycleMoveNumbers();
  refresh();
}

void RoomView::selectLibrary(int n) {
  if (room_->selectLibrary(n)) refresh();
}

void RoomView::renumberLibrary(const std::vector<int>& newNumbers) {
  room_->renumberLibrary(newNumbers);
  refresh();
}

void RoomView::refresh() {
  const RoomRefresh r = room_->refresh(words());
  board_->setPosition(r.view.board, r.view.sideToMove);
  board_->setAnnotations(room_->annotations());
  board_->setMode(room_->deadStoneMode() ? BoardView::kDeadStoneMode : 0);
  if (r.sound != kNoSound) playStoneSound(r.sound);
  title_ = QString::fromStdString(r.title);
  emit infoTextChanged(QString::fromStdString(r.infoText));
  emit titleChanged(title_);
  emit stateChanged();
}

void RoomView::runStudyCommand(StudyCommand command) {
  const StudyOutcome out = room_->runStudy(command);
  if (out.chime == StudyOutcome::StudyStarted) playChime(kStudySound);
  else if (out.chime == StudyOutcome::StudyEnded) playChime(kEndStudySound);
  // The driver's notification of the re-read position refreshes the board.
  if (out.resync) {
    board_->setFocus();
    updateTitle();
  }
  emit stateChanged();
}

void RoomView::toggleDeadStoneMode() {
  room_->setDeadStoneMode(!room_->deadStoneMode());
  board_->setMode(room_->deadStoneMode() ? BoardView::kDeadStoneMode : 0);
  emit stateChanged();
}

void RoomView::count() {
  const std::optional<CountReport> report = room_->count(countWords());
  if (!report) return;
  (void)room_->storeResult(*report);
  updateTitle();
  room_->showCountMarks(*report);
  board_->setAnnotations(room_->annotations());
  board_->repaint();
  // Asynchronous like every message of the room; the earlier marks come back however it closes,
  // unless a newer position has been drawn meanwhile.
  auto* box = new QMessageBox(QMessageBox::NoIcon, context_.caption, QString::fromUtf8(report->text()),
                              QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setObjectName(QStringLiteral("countReport"));
  connect(box, &QMessageBox::finished, this, [this] {
    if (room_->restoreAnnotations()) board_->setAnnotations(room_->annotations());
  });
  box->open();
}

void RoomView::showRulesDialog() {
  RulesDialog dialog(room_->settings().ruleType, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const RuleSettings rules = dialog.rules();
  room_->setRules(rules.ruleType, rules.komi);
  if (dialog.saveAsDefault() && context_.setDefaultRules && !context_.setDefaultRules(rules))
    showMessage(tr("保存缺省规则失败!"));
}

void RoomView::updateTitle() {
  title_ = QString::fromStdString(room_->title(words().title));
  emit titleChanged(title_);
}

void RoomView::onPointChosen(int point) {
  switch (room_->choosePoint(point)) {
    case PointChoice::Toggled: board_->setAnnotations(room_->annotations()); break;
    case PointChoice::StudyStarted:
      // The chime has finished before the stone's sound.
      if (context_.sounds && appSettings(context_).studySound) context_.sounds->playThenWait(kStudySound);
      emit stateChanged();
      break;
    case PointChoice::Played:
    case PointChoice::Dropped: break;
  }
}

void RoomView::onPositionChanged(int game) {
  if (room_->isCurrentGame(game)) refresh();
}

void RoomView::onGameOver(int game) {
  if (!room_->isCurrentGame(game)) return;
  const std::string failed = room_->gameOver();
  emit stateChanged();
  if (failed.empty()) showMessage(tr("游戏结束!"));
  else showMessage(tr("GNU Go 程序 \"%1\" 无法运行或已退出, 游戏结束!").arg(QFile::decodeName(QByteArray::fromStdString(failed))));
}

void RoomView::playStoneSound(int number) {
  if (context_.sounds && stoneSoundAudible(appSettings(context_).stoneSoundMode, active_))
    context_.sounds->playAfter(number);
}

void RoomView::playChime(int number) {
  if (context_.sounds && appSettings(context_).studySound) context_.sounds->play(number);
}

void RoomView::showMessage(const QString& text) {
  // Window-modal and asynchronous: the room goes on drawing while the box is up.
  auto* box = new QMessageBox(QMessageBox::NoIcon, context_.caption, text, QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace mh
