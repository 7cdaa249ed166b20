#include "room/qt/record_file_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace mh {

RecordFileDialog::RecordFileDialog(QWidget* parent) : QFileDialog(parent, tr("打开棋谱")) {
  // The extra row needs Qt's own dialog: a platform dialog cannot carry it.
  setOption(QFileDialog::DontUseNativeDialog);
  setFileMode(QFileDialog::ExistingFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  setNameFilters({tr("All Go Files (*.sgf *.gib)"), tr("sgf file (*.sgf)"), tr("gib file (*.gib)"),
                  tr("All Files (*)")});
  setDefaultSuffix(QStringLiteral("sgf"));
  encoding_ = new QComboBox(this);
  encoding_->addItem(tr("简体中文(GB)"));
  encoding_->addItem(tr("繁体中文(BIG5)"));
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(tr("语言: "), this), row, 0);
    grid->addWidget(encoding_, row, 1);
  }
}

bool RecordFileDialog::big5() const { return encoding_->currentIndex() == 1; }

bool RecordFileDialog::getOpenRecord(QWidget* parent, QString& path, bool& big5) {
  RecordFileDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = dialog.selectedFiles().front();
  big5 = dialog.big5();
  return true;
}

}  // namespace mh
