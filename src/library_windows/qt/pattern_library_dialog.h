#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library_windows/pattern_build_session.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace mh {

// "Add...": asks a new pattern base's title, its record folder (typed or chosen in a folder
// dialog) and the name of its files, proposed from the title until the user edits it. OK hands the
// values to add, which answers an empty text when the base was added, else why it was refused:
// the dialog then stays open and shows that text.
class AddPatternBaseDialog : public QDialog {
  Q_OBJECT

 public:
  struct Values {
    QString title;
    QString folder;
    QString fileName;
  };
  AddPatternBaseDialog(std::function<QString(const QString& title)> proposeFileName,
                       std::function<QString(const Values&)> add, QWidget* parent = nullptr);

  QLineEdit* titleField() const { return title_; }
  QLineEdit* folderField() const { return folder_; }
  QLineEdit* fileField() const { return file_; }
  QPushButton* browseButton() const { return browse_; }
  QPushButton* okButton() const { return ok_; }
  QLabel* refusal() const { return refusal_; }

 public slots:
  void accept() override;

 private:
  void titleEdited(const QString& title);

  std::function<QString(const QString&)> propose_;
  std::function<QString(const Values&)> add_;
  bool fileNameEdited_ = false;
  QLineEdit* title_;
  QLineEdit* folder_;
  QLineEdit* file_;
  QPushButton* browse_;
  QPushButton* ok_;
  QLabel* refusal_;
};

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
  // "Add...": the add dialog, then the list with the new base selected.
  void addBase();
  // Adds a pattern base (the add dialog's OK): an empty text when it was added, else why not.
  QString addBase(const AddPatternBaseDialog::Values& values);
  // "Remove": asks, offering to delete the selected base's files, then removes it.
  void removeSelected();
  // Removes the base in row (with its files when deleteFiles holds); a refusal or files left
  // behind are told in a message box.
  bool removeBase(int row, bool deleteFiles);

  QListWidget* list() const { return list_; }
  QLineEdit* titleField() const { return title_; }
  QLineEdit* folderField() const { return folder_; }
  QLineEdit* fileField() const { return file_; }
  QPushButton* browseButton() const { return browse_; }
  QPushButton* addButton() const { return add_; }
  QPushButton* removeButton() const { return remove_; }
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
  // Lists the pattern bases afresh and selects row (the last one when row is past the end).
  void fillList(int row);
  // Why an edit of WPBs.ini was refused, in the interface language.
  QString refusalText(WpbEditStatus status, const QString& detail) const;

  WpbList* bases_;
  std::string iniPath_;
  bool big5_;
  std::unique_ptr<PatternBuildSession> session_;
  QListWidget* list_;
  QLineEdit* title_;
  QLineEdit* folder_;
  QLineEdit* file_;
  QPushButton* browse_;
  QPushButton* add_;
  QPushButton* remove_;
  QPushButton* build_;
  QCheckBox* index_;
  QCheckBox* global_;
  QCheckBox* local_;
  QPlainTextEdit* status_;
  QProgressBar* bar_;
  QTimer* timer_;
};

}  // namespace mh
