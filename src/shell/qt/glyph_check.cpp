#include "shell/qt/glyph_check.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QTimer>

namespace mh {

namespace {

// How many rows of an item view are checked: what a window shows at once, not a whole library.
constexpr int kRowsChecked = 100;

struct Checker {
  QStringList faults;

  void check(const QWidget& widget, const QString& text) {
    if (text.isEmpty()) return;
    const QString missing = undrawableCharacters(text, widget.font());
    if (!missing.isEmpty())
      faults << QStringLiteral("%1: %2 [%3]").arg(QString::fromLatin1(widget.metaObject()->className()), text, missing);
  }

  void checkActions(const QWidget& widget) {
    for (const QAction* action : widget.actions()) {
      if (action->isSeparator() || !action->isVisible()) continue;
      check(widget, action->text());
      if (const QMenu* menu = action->menu()) check(*menu, menu->title());
    }
  }

  void checkModel(const QAbstractItemView& view) {
    const QAbstractItemModel* model = view.model();
    if (!model) return;
    for (int c = 0; c < model->columnCount(); ++c) check(view, model->headerData(c, Qt::Horizontal).toString());
    const int rows = std::min(model->rowCount(view.rootIndex()), kRowsChecked);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < model->columnCount(view.rootIndex()); ++c)
        check(view, model->index(r, c, view.rootIndex()).data().toString());
  }

  void checkWidget(const QWidget& w) {
    if (w.isWindow()) check(w, w.windowTitle());
    if (const auto* label = qobject_cast<const QLabel*>(&w)) {
      const bool rich = label->textFormat() == Qt::RichText ||
                        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
      check(w, rich ? QTextDocumentFragment::fromHtml(label->text()).toPlainText() : label->text());
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) {
      check(w, button->text());
    } else if (const auto* group = qobject_cast<const QGroupBox*>(&w)) {
      check(w, group->title());
    } else if (const auto* combo = qobject_cast<const QComboBox*>(&w)) {
      for (int i = 0; i < combo->count(); ++i) check(w, combo->itemText(i));
    } else if (const auto* tabs = qobject_cast<const QTabBar*>(&w)) {
      for (int i = 0; i < tabs->count(); ++i) check(w, tabs->tabText(i));
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(&w)) {
      check(w, edit->text());
    } else if (const auto* view = qobject_cast<const QAbstractItemView*>(&w)) {
      checkModel(*view);
    }
    if (qobject_cast<const QMenu*>(&w) || qobject_cast<const QMenuBar*>(&w)) checkActions(w);
    for (const QWidget* child : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (!child->isWindow()) checkWidget(*child);
  }
};

void appendReport(const QString& path, const QWidget& window) {
  QFile file(path);
  if (!file.open(QIODevice::Append | QIODevice::Text)) return;
  const QString title = window.windowTitle().isEmpty() && qobject_cast<const QMenu*>(&window)
                            ? static_cast<const QMenu&>(window).title()
                            : window.windowTitle();
  QStringList lines{QStringLiteral("checked %1 %2").arg(QString::fromLatin1(window.metaObject()->className()), title)};
  for (const QString& fault : undrawableTexts(window)) lines << "undrawable " + fault;
  file.write((lines.join('\n') + '\n').toUtf8());
}

// Reports every window and menu a little after it is shown, when its texts are in place.
class GlyphReporter : public QObject {
 public:
  GlyphReporter(QApplication& app, QString path) : QObject(&app), path_(std::move(path)) { app.installEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* widget = static_cast<QWidget*>(watched);
      if (widget->isWindow()) {
        QTimer::singleShot(100, this, [this, w = QPointer<QWidget>(widget)] {
          if (w && w->isVisible()) appendReport(path_, *w);
        });
      }
    }
    return false;
  }

 private:
  QString path_;
};

}  // namespace

QString undrawableCharacters(const QString& text, const QFont& font) {
  const QFontMetrics metrics(font);
  QString missing;
  for (const char32_t ch : text.toUcs4()) {
    if (QChar::isSpace(ch) || QChar::category(ch) == QChar::Other_Control) continue;
    const QString one = QString::fromUcs4(&ch, 1);
    if (!metrics.inFontUcs4(ch) && !missing.contains(one)) missing += one;
  }
  return missing;
}

QStringList undrawableTexts(const QWidget& root) {
  Checker checker;
  checker.checkWidget(root);
  return checker.faults;
}

void installGlyphReport(QApplication& app, const QString& reportPath) { new GlyphReporter(app, reportPath); }

}  // namespace mh
