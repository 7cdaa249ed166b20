#pragma once

#include <QDialog>

class QLabel;

namespace mh {

// The about box: the program's picture, its name and version "Moonhaven(Stonelark) 2.2 版", and
// what it is for.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  QLabel* versionLabel() const { return version_; }

 private:
  QLabel* version_;
};

}  // namespace mh
