#include "library_windows/qt/pattern_library_dialog.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <QtMath>

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
  w.stopped = utf8(PatternLibraryDialog::tr("已停止, 已完成的部分已保存"));
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
  add_ = new QPushButton(tr("添加..."), this);
  remove_ = new QPushButton(tr("移除"), this);
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
  {
    // Room for a phase's three lines and the stopping line, measured on Chinese text: the font
    // that draws it may have taller lines than the box's own font.
    QTextDocument probe;
    probe.setDefaultFont(status_->font());
    probe.setDocumentMargin(status_->document()->documentMargin());
    probe.setPlainText(QStringLiteral("棋\n棋\n棋\n棋"));
    status_->setFixedHeight(qCeil(probe.size().height()) + 2 * status_->frameWidth() + 2);
  }
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
  auto* listRow = new QHBoxLayout;
  auto* listButtons = new QVBoxLayout;
  listButtons->addWidget(add_);
  listButtons->addWidget(remove_);
  listButtons->addStretch(1);
  listRow->addWidget(list_, 1);
  listRow->addLayout(listButtons);
  layout->addLayout(listRow, 1);
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
  connect(add_, &QPushButton::clicked, this, qOverload<>(&PatternLibraryDialog::addBase));
  connect(remove_, &QPushButton::clicked, this, &PatternLibraryDialog::removeSelected);
  fillList(0);
}

void PatternLibraryDialog::fillList(int row) {
  const QSignalBlocker quiet(list_);
  list_->clear();
  const int count = bases_ ? bases_->count() : 0;
  for (int n = 0; n < count; ++n) {
    const std::string title = text::displayText(bases_->at(n)->title(), big5_);
    list_->addItem(QString::fromStdString(patternBaseLine(title, n == bases_->defaultNumber())));
  }
  list_->setCurrentRow(count > 0 ? qBound(0, row, count - 1) : -1);
  selectBase(list_->currentRow());
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
  // A failed build keeps the bar where it failed, beside the error. A stopped one empties it: the
  // bar counts one phase only, so where it stopped says nothing of what was kept.
  if (t.ended && !t.ended->ok) {
    status_->setPlainText(tr("创建失败: %1").arg(QString::fromStdString(t.ended->error)));
    return;
  }
  QString text = QString::fromStdString(buildProgressText(progressWords(), t));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (status_->toPlainText() != text) status_->setPlainText(text);
  if (t.active) {
    bar_->setRange(0, qMax(1, t.total));
    bar_->setValue(qBound(0, t.current, qMax(1, t.total)));
  } else if (t.ended && t.ended->completed()) {
    bar_->setValue(bar_->maximum());
  } else if (t.ended) {
    bar_->reset();
  }
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
  add_->setEnabled(session_ != nullptr);
  remove_->setEnabled(session_ && session_->canRemove(list_->currentRow()));
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

void PatternLibraryDialog::addBase() {
  if (!session_) return;
  AddPatternBaseDialog ask(
      [this](const QString& title) {
        return QString::fromStdString(session_->proposeFileName(text::utf8ToGb(utf8(title))));
      },
      [this](const AddPatternBaseDialog::Values& values) { return addBase(values); }, this);
  if (ask.exec() == QDialog::Accepted) fillList(list_->count());
}

QString PatternLibraryDialog::addBase(const AddPatternBaseDialog::Values& values) {
  if (!session_) return {};
  WpbListEditor::NewBase base;
  base.title = text::utf8ToGb(utf8(values.title.trimmed()));
  base.recordDirectory = QFile::encodeName(values.folder).toStdString();
  base.fileName = QFile::encodeName(values.fileName).toStdString();
  const WpbEditStatus status = session_->addBase(base);
  if (status == WpbEditStatus::Ok) return {};
  return refusalText(status, status == WpbEditStatus::FileNameTaken ? values.fileName : values.folder);
}

void PatternLibraryDialog::removeSelected() {
  const int row = list_->currentRow();
  if (!session_ || !session_->canRemove(row)) return;
  QMessageBox ask(QMessageBox::Question, tr("移除模式库"), tr("从列表中移除模式库“%1”?")
                      .arg(QString::fromStdString(text::displayText(bases_->at(row)->title(), big5_))),
                  QMessageBox::NoButton, this);
  QPushButton* yes = ask.addButton(tr("移除"), QMessageBox::AcceptRole);
  ask.addButton(tr("取消"), QMessageBox::RejectRole);
  ask.setCheckBox(new QCheckBox(tr("同时删除它的索引和模式库文件"), &ask));
  ask.exec();
  if (ask.clickedButton() == yes) (void)removeBase(row, ask.checkBox()->isChecked());
}

bool PatternLibraryDialog::removeBase(int row, bool deleteFiles) {
  if (!session_) return false;
  std::vector<std::string> kept;
  const WpbEditStatus status = session_->removeBase(row, deleteFiles, &kept);
  if (status == WpbEditStatus::Ok || status == WpbEditStatus::FilesNotDeleted) fillList(row);
  if (status == WpbEditStatus::Ok) return true;
  QStringList files;
  for (const std::string& file : kept) files << QFile::decodeName(QByteArray::fromStdString(file));
  QMessageBox::warning(this, windowTitle(), refusalText(status, files.join(QLatin1Char('\n'))));
  return status == WpbEditStatus::FilesNotDeleted;
}

QString PatternLibraryDialog::refusalText(WpbEditStatus status, const QString& detail) const {
  const QString ini = QFile::decodeName(QByteArray::fromStdString(iniPath_));
  using S = WpbEditStatus;
  switch (status) {
    case S::Ok: return {};
    case S::Unreadable: return tr("无法读取 %1, 它保持原样。").arg(ini);
    case S::CannotWrite: return tr("无法写入 %1, 它保持原样。").arg(ini);
    case S::BadTitle: return tr("请填写标题: 一行, 不超过 %1 字节。").arg(WpbListEditor::kMaxValueBytes);
    case S::BadFolder: return tr("请选择棋谱路径 (完整路径, 一行)。");
    case S::NoSuchFolder: return tr("棋谱路径不存在: %1").arg(detail);
    case S::NoRecords: return tr("棋谱路径中没有棋谱 (.sgf 或 .gib 文件): %1").arg(detail);
    case S::BadFileName:
      return tr("文件名不能为空, 不能含有 \"/\" 或控制字符, 首尾不能是空格, 不超过 %1 字节。")
          .arg(WpbListEditor::kMaxFileNameBytes);
    case S::FileNameTaken: return tr("另一个模式库已使用文件名 \"%1\"。").arg(detail);
    case S::NoSuchBase: return tr("这个模式库正在创建, 不能移除。");
    case S::FilesNotDeleted: return tr("模式库已从列表中移除, 但以下文件未能删除:\n%1").arg(detail);
  }
  return {};
}

AddPatternBaseDialog::AddPatternBaseDialog(std::function<QString(const QString&)> proposeFileName,
                                           std::function<QString(const Values&)> add, QWidget* parent)
    : QDialog(parent), propose_(std::move(proposeFileName)), add_(std::move(add)) {
  setWindowTitle(PatternLibraryDialog::tr("添加模式库"));
  title_ = new QLineEdit(this);
  folder_ = new QLineEdit(this);
  browse_ = new QPushButton(PatternLibraryDialog::tr("..."), this);
  browse_->setFixedWidth(32);
  file_ = new QLineEdit(this);
  refusal_ = new QLabel(this);
  refusal_->setWordWrap(true);
  QPalette palette = refusal_->palette();
  palette.setColor(QPalette::WindowText, QColor(176, 0, 0));
  refusal_->setPalette(palette);
  refusal_->hide();
  ok_ = new QPushButton(PatternLibraryDialog::tr("确定"), this);
  ok_->setDefault(true);
  auto* cancel = new QPushButton(PatternLibraryDialog::tr("取消"), this);

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(PatternLibraryDialog::tr("标题:"), this), 0, 0);
  fields->addWidget(title_, 0, 1, 1, 2);
  fields->addWidget(new QLabel(PatternLibraryDialog::tr("棋谱路径:"), this), 1, 0);
  fields->addWidget(folder_, 1, 1);
  fields->addWidget(browse_, 1, 2);
  fields->addWidget(new QLabel(PatternLibraryDialog::tr("文件名:"), this), 2, 0);
  fields->addWidget(file_, 2, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(refusal_);
  layout->addStretch(1);
  layout->addLayout(buttons);
  resize(480, sizeHint().height());

  connect(title_, &QLineEdit::textEdited, this, &AddPatternBaseDialog::titleEdited);
  connect(file_, &QLineEdit::textEdited, this, [this] { fileNameEdited_ = true; });
  connect(browse_, &QPushButton::clicked, this, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, PatternLibraryDialog::tr("选择棋谱路径"),
                                                             folder_->text());
    if (!folder.isEmpty()) folder_->setText(folder);
  });
  connect(ok_, &QPushButton::clicked, this, &AddPatternBaseDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void AddPatternBaseDialog::titleEdited(const QString& title) {
  if (!fileNameEdited_ && propose_) file_->setText(title.trimmed().isEmpty() ? QString() : propose_(title.trimmed()));
}

void AddPatternBaseDialog::accept() {
  const QString refused = add_ ? add_({title_->text(), folder_->text(), file_->text()}) : QString();
  if (refused.isEmpty()) {
    QDialog::accept();
    return;
  }
  refusal_->setText(refused);
  refusal_->show();
}

}  // namespace mh
