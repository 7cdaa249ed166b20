#include "shell/qt/about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

namespace mh {

namespace {

// Two stones on a corner of wood: the program's picture, drawn.
QPixmap programPicture(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(232, 190, 110));
  p.setPen(QPen(QColor(150, 110, 50), 1));
  p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), size / 10.0, size / 10.0);
  p.setPen(QPen(QColor(60, 40, 20), 1));
  for (int i = 1; i < 4; ++i) {
    const double at = size * i / 4.0;
    p.drawLine(QPointF(at, 1), QPointF(at, size - 1));
    p.drawLine(QPointF(1, at), QPointF(size - 1, at));
  }
  const double r = size * 0.17;
  for (const auto& [centre, black] : {std::pair{QPointF(size / 4.0, size / 4.0), true},
                                      std::pair{QPointF(size / 2.0, size / 2.0), false}}) {
    QRadialGradient shade(centre - QPointF(r / 3, r / 3), r * 1.4);
    shade.setColorAt(0, black ? QColor(100, 100, 100) : Qt::white);
    shade.setColorAt(1, black ? QColor(10, 10, 10) : QColor(205, 205, 200));
    p.setBrush(shade);
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, r, r);
  }
  return pixmap;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("关于Moonhaven(Stonelark)"));
  auto* picture = new QLabel(this);
  picture->setPixmap(programPicture(64));
  version_ = new QLabel(tr("Moonhaven(Stonelark) 2.2 版"), this);
  QFont bold = version_->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  version_->setFont(bold);
  auto* purpose = new QLabel(tr("围棋学习助手: 九个棋室, 来自棋谱库的提示, 与 GNU Go 对弈."), this);
  purpose->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QGridLayout(this);
  layout->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
  layout->addWidget(version_, 0, 1);
  layout->addWidget(purpose, 1, 1);
  layout->addWidget(buttons, 2, 0, 1, 2);
  layout->setColumnMinimumWidth(1, 280);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace mh
