#include "library_windows/qt/pattern_library_dialog.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "patterns/file_game_loader.h"
#include "platform/text_codec.h"

namespace mh {

namespace {

std::string utf8(const QString& s) { return s.toStdString(); }

BuildProgressWords progressWords() {
  BuildProgressWords w;
  w.index = utf8(PatternLibraryDialog::tr("正在创建index"));
  w.global = utf8(PatternLibraryDialog::tr("正在创建全局模式库, \n棋谱总数:%1, \n当前:%2"));
  w.local = utf8(PatternLibraryDialog::tr("正在创建局部模式库, \n棋谱总数:%1, \n当前:%2"));
  w.stopping = utf8(PatternLibraryDialog::tr("正在停止, 保存已完成的部分..."));
  return w;
}

}  // namespace

PatternLibraryDialog::PatternLibraryDialog(WpbList* bases, PatternBaseUsers& users, std::string iniPath,
                                           bool displayInBig5, GameLoader load, LogLine log, QWidget* parent)
    : QDialog(parent), bases_(bases), iniPath_(std::move(iniPath)), big5_(displayInBig5) {
  setWindowTitle(tr("全局模式库管理"));
  setModal(false);
  if (bases_)
    session_ = std::make_unique<PatternBuildSession>(*bases_, users, load ? std::move(load) : fileGameLoader(),
                                                     std::move(log));

  list_ = new QListWidget(this);
  const int count = bases_ ? bases_->count() : 0;
  for (int n = 0; n < count; ++n) {
    const std::string title = text::displayText(bases_->at(n)->title(), big5_);
    list_->addItem(QString::fromStdString(patternBaseLine(title, n == bases_->defaultNumber())));
  }
  title_ = new QLineEdit(this);
  title_->setReadOnly(true);
  folder_ = new QLineEdit(this);
  folder_->setReadOnly(true);
  browse_ = new QPushButton(tr("..."), this);
  browse_->setFixedWidth(32);
  file_ = new QLineEdit(this);
  file_->setReadOnly(true);
  index_ = new QCheckBox(tr("创建sgfs 索引"), this);
  global_ = new QCheckBox(tr("创建全局模式库"), this);
  local_ = new QCheckBox(tr("创建局部模式库"), this);
  for (QCheckBox* box : {index_, global_, local_}) box->setChecked(true);
  build_ = new QPushButton(tr("创建WPB数据"), this);
  status_ = new QPlainTextEdit(this);
  status_->setReadOnly(true);
  status_->setFixedHeight(status_->fontMetrics().lineSpacing() * 4 + 12);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 1);
  bar_->setValue(0);
  auto* close = new QPushButton(tr("关闭"), this);

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(tr("标题:"), this), 0, 0);
  fields->addWidget(title_, 0, 1, 1, 2);
  fields->addWidget(new QLabel(tr("棋谱路径:"), this), 1, 0);
  fields->addWidget(folder_, 1, 1);
  fields->addWidget(browse_, 1, 2);
  fields->addWidget(new QLabel(tr("文件名:"), this), 2, 0);
  fields->addWidget(file_, 2, 1, 1, 2);
  auto* switches = new QHBoxLayout;
  for (QCheckBox* box : {index_, global_, local_}) switches->addWidget(box);
  switches->addStretch(1);
  switches->addWidget(build_);
  auto* progress = new QHBoxLayout;
  progress->addWidget(status_, 1);
  progress->addWidget(bar_, 1);
  auto* closeRow = new QHBoxLayout;
  closeRow->addStretch(1);
  closeRow->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("全局模式库列表:"), this));
  layout->addWidget(list_, 1);
  layout->addLayout(fields);
  layout->addLayout(switches);
  layout->addWidget(new QLabel(tr("状态:"), this));
  layout->addLayout(progress);
  layout->addLayout(closeRow);
  resize(560, 460);

  timer_ = new QTimer(this);
  timer_->setInterval(1000);
  connect(timer_, &QTimer::timeout, this, &PatternLibraryDialog::tick);
  connect(list_, &QListWidget::currentRowChanged, this, &PatternLibraryDialog::selectBase);
  connect(build_, &QPushButton::clicked, this, &PatternLibraryDialog::buildClicked);
  connect(browse_, &QPushButton::clicked, this, &PatternLibraryDialog::browse);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  if (count > 0) list_->setCurrentRow(0);
  updateControls();
}

PatternLibraryDialog::~PatternLibraryDialog() = default;

void PatternLibraryDialog::selectBase(int row) {
  const Wpb* wpb = bases_ ? bases_->at(row) : nullptr;
  title_->setText(wpb ? QString::fromStdString(text::displayText(wpb->title(), big5_)) : QString());
  folder_->setText(wpb ? QFile::decodeName(QByteArray::fromStdString(wpb->recordDirectory())) : QString());
  file_->setText(wpb ? QString::fromStdString(text::fileNameToUtf8(wpb->fileName())) : QString());
  updateControls();
}

void PatternLibraryDialog::buildClicked() {
  if (!session_) return;
  if (session_->state() == PatternBuildSession::State::Running) {
    session_->requestStop();
    tick();
  } else if (session_->state() == PatternBuildSession::State::Idle) {
    const BuildSwitches s{index_->isChecked(), global_->isChecked(), local_->isChecked()};
    if (!session_->start(list_->currentRow(), s)) return;
    status_->clear();
    bar_->setRange(0, 1);
    bar_->setValue(0);
    // The first tick comes a second later, so the button shows "停止" even for a build that ends at
    // once; that tick reaps it.
    timer_->start();
  }
  updateControls();
}

void PatternLibraryDialog::tick() {
  if (!session_) return;
  const BuildTick t = session_->tick();
  showTick(t);
  if (!t.active) timer_->stop();
  updateControls();
}

void PatternLibraryDialog::showTick(const BuildTick& t) {
  if (t.active) {
    QString text = QString::fromStdString(buildProgressText(progressWords(), t));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (status_->toPlainText() != text) status_->setPlainText(text);
    bar_->setRange(0, qMax(1, t.total));
    bar_->setValue(qBound(0, t.current, qMax(1, t.total)));
    return;
  }
  if (t.ended && !t.ended->ok) {
    status_->setPlainText(tr("创建失败: %1").arg(QString::fromStdString(t.ended->error)));
    return;
  }
  status_->clear();
  if (t.ended && t.ended->completed()) bar_->setValue(bar_->maximum());
}

void PatternLibraryDialog::updateControls() {
  using State = PatternBuildSession::State;
  const State state = session_ ? session_->state() : State::Idle;
  const bool idle = state == State::Idle;
  const bool haveBase = bases_ && bases_->at(list_->currentRow());
  // The label the build button had before a build ran stays until the first build has ended.
  static const char* const kStart = QT_TR_NOOP("创建WPBs");
  if (state == State::Running) build_->setText(tr("停止"));
  else if (build_->text() == tr("停止")) build_->setText(tr(kStart));
  build_->setEnabled(session_ && haveBase && state != State::Stopping);
  for (QCheckBox* box : {index_, global_, local_}) box->setEnabled(idle);
  browse_->setEnabled(haveBase && (!session_ || session_->building() != list_->currentRow()));
}

void PatternLibraryDialog::browse() {
  const Wpb* wpb = bases_ ? bases_->at(list_->currentRow()) : nullptr;
  if (!wpb) return;
  const QString start = QFile::decodeName(QByteArray::fromStdString(wpb->recordDirectory()));
  const QString folder = QFileDialog::getExistingDirectory(this, tr("选择棋谱路径"), start);
  if (!folder.isEmpty()) (void)setRecordFolder(folder);
}

bool PatternLibraryDialog::setRecordFolder(const QString& folder) {
  const int row = list_->currentRow();
  if (!session_ || !session_->changeRecordFolder(row, QFile::encodeName(folder).toStdString(), iniPath_)) return false;
  selectBase(row);
  return true;
}

void PatternLibraryDialog::done(int result) {
  // The build stops, keeps what it has done, and is reaped by the timer meanwhile.
  if (session_) session_->requestStop();
  updateControls();
  QDialog::done(result);
}

}  // namespace mh
