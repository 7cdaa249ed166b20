#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QApplication;
class QWidget;

namespace mh {

// Finds texts that would show empty boxes: characters that neither a widget's font nor any
// fallback font the system offers can draw.

// The characters of text that no font draws in the given font (its fallbacks included), each once;
// spaces and control characters are not checked.
QString undrawableCharacters(const QString& text, const QFont& font);

// The texts a window shows, checked in each widget's own font: window and group titles, labels,
// buttons, combo box items, tabs, line edits, item views' headers and first rows, and the texts of
// menus and their actions. One line "<class>: <text> [<characters>]" for each text with
// characters no font draws; empty when every text can be drawn.
QStringList undrawableTexts(const QWidget& root);

// For end-to-end runs: whenever a window or menu is shown, checks it (once it has laid out) and
// appends "checked <class> <title>" and then one "undrawable ..." line per faulty text to the
// report file.
void installGlyphReport(QApplication& app, const QString& reportPath);

}  // namespace mh
