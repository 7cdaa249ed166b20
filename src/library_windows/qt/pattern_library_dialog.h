#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "library_windows/pattern_build_session.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace mh {

// "全局模式库管理": the configured pattern bases, the selected one's title, record folder and file
// name, and the build of its index and libraries on a worker thread, with its progress read once a
// second. Modeless; closing it asks a running build to stop (the work done is kept).
class PatternLibraryDialog : public QDialog {
  Q_OBJECT

 public:
  // The pattern bases and their users must outlive the dialog; the record folder chosen with
  // "..." is written to iniPath. The build loads records with load (empty: the files' own loader)
  // and logs to log.
  PatternLibraryDialog(WpbList* bases, PatternBaseUsers& users, std::string iniPath, bool displayInBig5,
                       GameLoader load = {}, LogLine log = {}, QWidget* parent = nullptr);
  ~PatternLibraryDialog() override;

  PatternBuildSession& session() { return *session_; }
  // Reads the build's progress (the timer's tick, callable from tests).
  void tick();
  // Shows the selected pattern base's values.
  void selectBase(int row);
  // Gives the selected pattern base another record folder.
  bool setRecordFolder(const QString& folder);

  QListWidget* list() const { return list_; }
  QLineEdit* titleField() const { return title_; }
  QLineEdit* folderField() const { return folder_; }
  QLineEdit* fileField() const { return file_; }
  QPushButton* browseButton() const { return browse_; }
  QPushButton* buildButton() const { return build_; }
  QCheckBox* indexSwitch() const { return index_; }
  QCheckBox* globalSwitch() const { return global_; }
  QCheckBox* localSwitch() const { return local_; }
  QPlainTextEdit* statusText() const { return status_; }
  QProgressBar* progressBar() const { return bar_; }
  QTimer* timer() const { return timer_; }

 public slots:
  // Closing the dialog (its button, the window's close, Escape) asks a running build to stop.
  void done(int result) override;

 private:
  void buildClicked();
  void browse();
  void showTick(const BuildTick& t);
  void updateControls();

  WpbList* bases_;
  std::string iniPath_;
  bool big5_;
  std::unique_ptr<PatternBuildSession> session_;
  QListWidget* list_;
  QLineEdit* title_;
  QLineEdit* folder_;
  QLineEdit* file_;
  QPushButton* browse_;
  QPushButton* build_;
  QCheckBox* index_;
  QCheckBox* global_;
  QCheckBox* local_;
  QPlainTextEdit* status_;
  QProgressBar* bar_;
  QTimer* timer_;
};

}  // namespace mh
