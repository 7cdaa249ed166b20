#include "shell/qt/ui_language.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRawFont>

#include "room/qt/record_file_dialog.h"
#include "shell/language_setting.h"
#include "ts_file.h"

namespace {

using mh::LanguageSetting;

const QStringList kBuiltTranslations = {QStringLiteral(MOONHAVEN_QM_DIR)};

QString programText(const char* context, const char* source) { return QCoreApplication::translate(context, source); }

class UiLanguageTest : public testing::Test {
 protected:
  // Every test leaves the application as the other widget tests expect it: Simplified Chinese.
  void TearDown() override { mh::installUiLanguage(*qApp, LanguageSetting::SimplifiedChinese, kBuiltTranslations); }
};

// Start-up in each language: the program's texts, Qt's own texts (the file dialog) and the
// file dialog's encoding entries all follow the language chosen from lang.ini.
TEST_F(UiLanguageTest, EachLanguageShowsItsOwnTexts) {
  struct Case {
    int language;
    const char* fileMenu;
    const char* room;
    const char* qtLookIn;
    const char* gb;
    const char* big5;
    const char* encodingLabel;
  };
  const Case cases[] = {
      {LanguageSetting::English, "&File", "Room %1", "Look in:", "Simple Chinese(GB)", "Traditional Chinese(BIG5)",
       "Language: "},
      {LanguageSetting::SimplifiedChinese, "文件(&F)", "%1棋室", "查找范围：", "简体中文(GB)", "繁体中文(BIG5)", "语言: "},
      {LanguageSetting::TraditionalChinese, "檔案(&F)", "%1棋室", "尋找於：", "簡體中文(GB)", "繁體中文(BIG5)", "語言: "},
  };
  for (const auto& c : cases) {
    const mh::UiLanguageReport report = mh::installUiLanguage(*qApp, c.language, kBuiltTranslations);
    EXPECT_EQ(report.programTexts, c.language != LanguageSetting::SimplifiedChinese) << c.language;
    EXPECT_TRUE(report.qtTexts) << c.language;
    EXPECT_EQ(programText("mh::FrameCommands", "文件(&F)"), QString::fromUtf8(c.fileMenu));
    EXPECT_EQ(programText("mh::RoomView", "%1棋室"), QString::fromUtf8(c.room));
    EXPECT_EQ(programText("QFileDialog", "Look in:"), QString::fromUtf8(c.qtLookIn));
    mh::RecordFileDialog dialog;
    ASSERT_EQ(dialog.encodingBox()->count(), 2);
    EXPECT_EQ(dialog.encodingBox()->itemText(0), QString::fromUtf8(c.gb));
    EXPECT_EQ(dialog.encodingBox()->itemText(1), QString::fromUtf8(c.big5));
    EXPECT_EQ(dialog.encodingBox()->currentIndex(), 0);
    bool labelled = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) labelled |= label->text() == QString::fromUtf8(c.encodingLabel);
    EXPECT_TRUE(labelled) << c.encodingLabel;
  }
}

// Without its translation file the program keeps its Simplified Chinese texts, as it does when a
// language module is missing; switching languages replaces the earlier translation.
TEST_F(UiLanguageTest, MissingTranslationsLeaveTheSimplifiedTexts) {
  ASSERT_TRUE(mh::installUiLanguage(*qApp, LanguageSetting::English, kBuiltTranslations).programTexts);
  const mh::UiLanguageReport report =
      mh::installUiLanguage(*qApp, LanguageSetting::TraditionalChinese, {QStringLiteral("/nonexistent")});
  EXPECT_FALSE(report.programTexts);
  EXPECT_EQ(programText("mh::FrameCommands", "文件(&F)"), QString::fromUtf8("文件(&F)"));
}

// Every character each language shows is in the interface font it chooses, so that nothing comes
// out as an empty box: the Simplified texts (the sources), the English and the Traditional
// translations, each drawn with that language's font.
TEST_F(UiLanguageTest, TheInterfaceFontHasEveryCharacterOfItsLanguage) {
  const auto english = mh::test::readTsFile(QStringLiteral(MOONHAVEN_TS_DIR "/moonhaven_en.ts"));
  const auto traditional = mh::test::readTsFile(QStringLiteral(MOONHAVEN_TS_DIR "/moonhaven_zh_TW.ts"));
  ASSERT_FALSE(english.empty());
  ASSERT_FALSE(traditional.empty());
  struct Case {
    int language;
    const std::vector<mh::test::TsMessage>* messages;
    bool sources;
  };
  const Case cases[] = {{LanguageSetting::English, &english, false},
                        {LanguageSetting::SimplifiedChinese, &english, true},
                        {LanguageSetting::TraditionalChinese, &traditional, false}};
  for (const auto& c : cases) {
    const mh::UiLanguageReport report = mh::installUiLanguage(*qApp, c.language, kBuiltTranslations);
    if (c.language != LanguageSetting::English) {
      EXPECT_FALSE(report.fontFamily.isEmpty()) << "no Chinese font";
    }
    const QRawFont font = QRawFont::fromFont(QApplication::font());
    ASSERT_TRUE(font.isValid());
    QString missing;
    for (const auto& m : *c.messages) {
      const QString text = c.sources ? m.source : m.translation;
      for (const char32_t ch : text.toUcs4())
        if (!QChar::isSpace(ch) && !font.supportsCharacter(ch) && !missing.contains(QString::fromUcs4(&ch, 1)))
          missing += QString::fromUcs4(&ch, 1);
    }
    EXPECT_TRUE(missing.isEmpty()) << font.familyName().toStdString() << " lacks \"" << missing.toStdString()
                                   << "\" for language " << c.language;
  }
}

}  // namespace
