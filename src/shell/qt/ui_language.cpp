#include "shell/qt/ui_language.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/program_paths.h"
#include "shell/language_setting.h"

namespace mh {

namespace {

// The object name that marks the translators installUiLanguage owns.
constexpr const char* kTranslatorName = "moonhaven-ui-language";

QString folderOf(const std::string& directory) { return QString::fromStdString(directory); }

QLocale localeOf(int language) {
  switch (language) {
    case LanguageSetting::SimplifiedChinese: return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    case LanguageSetting::TraditionalChinese: return QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    default: return QLocale(QLocale::English, QLocale::UnitedStates);
  }
}

// Loads a translation file from the first folder that has it and installs it; false when none has.
bool installTranslator(QCoreApplication& app, const QString& name, const QStringList& folders) {
  if (name.isEmpty()) return false;
  auto* translator = new QTranslator(&app);
  translator->setObjectName(kTranslatorName);
  for (const QString& folder : folders) {
    if (translator->load(name, folder)) {
      QCoreApplication::installTranslator(translator);
      return true;
    }
  }
  delete translator;
  return false;
}

}  // namespace

QStringList translationFolders() {
  QStringList folders;
  if (const std::string data = dataDirectory(); !data.empty()) folders << folderOf(data + "translations/");
  const std::string home = programDirectory();
  if (!home.empty()) folders << folderOf(home + "translations/");
  folders.removeDuplicates();
  return folders;
}

QString programTranslationName(int language) {
  switch (language) {
    case LanguageSetting::English: return QStringLiteral("moonhaven_en");
    case LanguageSetting::TraditionalChinese: return QStringLiteral("moonhaven_zh_TW");
    default: return {};
  }
}

QString qtTranslationName(int language) {
  switch (language) {
    case LanguageSetting::SimplifiedChinese: return QStringLiteral("qtbase_zh_CN");
    case LanguageSetting::TraditionalChinese: return QStringLiteral("qtbase_zh_TW");
    default: return QStringLiteral("qtbase_en");
  }
}

QString chineseFontFamily(int language) {
  const bool traditional = language == LanguageSetting::TraditionalChinese;
  const QStringList simplified = {"Noto Sans CJK SC", "Noto Sans SC", "Source Han Sans SC", "Source Han Sans CN",
                                  "WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "AR PL UMing CN", "Droid Sans Fallback"};
  const QStringList traditionalFirst = {"Noto Sans CJK TC", "Noto Sans TC", "Source Han Sans TC", "Source Han Sans TW",
                                        "AR PL UMing TW", "Noto Sans CJK HK"};
  const QStringList installed = QFontDatabase::families();
  for (const QString& family : traditional ? traditionalFirst + simplified : simplified)
    if (installed.contains(family, Qt::CaseInsensitive)) return family;
  const auto system = traditional ? QFontDatabase::TraditionalChinese : QFontDatabase::SimplifiedChinese;
  const QStringList any = QFontDatabase::families(system);
  return any.isEmpty() ? QString() : any.first();
}

QFont interfaceFont(const QFont& base, int language) {
  const QString chinese = chineseFontFamily(language);
  if (chinese.isEmpty()) return base;
  QFont font = base;
  QStringList families = base.families();
  if (families.isEmpty()) families << base.family();
  families.removeAll(chinese);
  if (language == LanguageSetting::English) families.append(chinese);
  else families.prepend(chinese);
  font.setFamilies(families);
  return font;
}

UiLanguageReport installUiLanguage(QCoreApplication& app, int language, const QStringList& folders) {
  for (QTranslator* old : app.findChildren<QTranslator*>(kTranslatorName, Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  QLocale::setDefault(localeOf(language));
  UiLanguageReport report;
  report.programTexts = installTranslator(app, programTranslationName(language), folders);
  report.qtTexts = installTranslator(app, qtTranslationName(language),
                                     {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
  if (qobject_cast<QApplication*>(&app)) {
    // Built on the font the application started with, so that a second call does not stack.
    static const QFont startFont = QApplication::font();
    const QFont font = interfaceFont(startFont, language);
    QApplication::setFont(font);
    report.fontFamily = font.families().value(0);
  }
  return report;
}

}  // namespace mh
