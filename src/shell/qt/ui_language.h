#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace mh {

// The interface language of the running program: the program's own texts (their source is
// Simplified Chinese; English and Traditional Chinese come from translation files), Qt's own texts
// (the file dialog, standard buttons) and a font that shows Chinese.

// What installUiLanguage did.
struct UiLanguageReport {
  bool programTexts = false;  // the program's translation was loaded (Simplified needs none)
  bool qtTexts = false;       // Qt's own translation was loaded
  QString fontFamily;         // the font family put first for the interface; empty: Qt's default
};

// The folders searched for the program's translation files, in order: translations/ in the data
// directory (beside the executable in a build folder, share/moonhaven/ when installed), then in
// the program's directory.
QStringList translationFolders();

// The translation file of the program's texts for a language ("moonhaven_en" for English,
// "moonhaven_zh_TW" for Traditional Chinese; empty for Simplified Chinese, the source language).
QString programTranslationName(int language);
// Qt's own translation for a language ("qtbase_en", "qtbase_zh_CN", "qtbase_zh_TW").
QString qtTranslationName(int language);

// A font family installed on this machine that draws the language's Chinese characters in their
// regional forms (Traditional forms for Traditional Chinese, Simplified ones otherwise); empty when
// the machine has none.
QString chineseFontFamily(int language);

// The application font for a language: the default font with a Chinese family first for the Chinese
// interfaces, and second for English (so that Chinese record text still shows).
QFont interfaceFont(const QFont& base, int language);

// Installs the language into the application: replaces the translators an earlier call installed,
// sets the default locale and the application font. Call once at start-up before any window is made
// (texts are read when widgets are built). A missing translation file leaves the Simplified Chinese
// texts, as a missing language module does.
UiLanguageReport installUiLanguage(QCoreApplication& app, int language,
                                   const QStringList& folders = translationFolders());

}  // namespace mh
