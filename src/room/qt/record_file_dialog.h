#pragma once

#include <QFileDialog>

class QComboBox;

namespace mh {

// The dialog that opens a game record: a file chooser for SGF and GIB files with one more
// control, "语言: ", choosing whether the file's text is GB or BIG5.
class RecordFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  explicit RecordFileDialog(QWidget* parent = nullptr);

  // True when the file's text is to be read as BIG5.
  bool big5() const;
  QComboBox* encodingBox() const { return encoding_; }

  // Runs the dialog; on OK sets the chosen path and encoding and returns true.
  static bool getOpenRecord(QWidget* parent, QString& path, bool& big5);

 private:
  QComboBox* encoding_;
};

}  // namespace mh
