#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include "ts_file.h"

namespace {

using mh::test::placeholderFault;
using mh::test::readTsFile;
using mh::test::TsMessage;

const QStringList kLanguageFiles = {QStringLiteral(MOONHAVEN_TS_DIR "/moonhaven_en.ts"),
                                    QStringLiteral(MOONHAVEN_TS_DIR "/moonhaven_zh_TW.ts")};

QString keyOf(const TsMessage& m) { return m.context + QChar(0x1F) + m.source; }

// The texts the sources hold now: lupdate run as update_translations runs it, into a scratch file.
std::vector<TsMessage> scanSources(QString& error) {
  QFile commandFile(QStringLiteral(MOONHAVEN_LUPDATE_COMMAND));
  if (!commandFile.open(QIODevice::ReadOnly)) {
    error = "cannot read " + commandFile.fileName();
    return {};
  }
  QStringList command = QString::fromUtf8(commandFile.readAll()).split('\n', Qt::SkipEmptyParts);
  const QString program = command.takeFirst();
  QTemporaryDir dir;
  const QString ts = dir.filePath("scan.ts");
  QProcess lupdate;
  lupdate.start(program, command << "-ts" << ts);
  if (!lupdate.waitForFinished(120000) || lupdate.exitCode() != 0) {
    error = "lupdate failed: " + QString::fromUtf8(lupdate.readAllStandardError());
    return {};
  }
  return readTsFile(ts);
}

// A text added to the sources without its translations fails here until `update_translations`
// brings it into the .ts files and someone translates it.
TEST(TranslationFilesTest, EveryTextOfTheSourcesIsTranslatedIntoEnglishAndTraditionalChinese) {
  QString error;
  const std::vector<TsMessage> sources = scanSources(error);
  ASSERT_TRUE(error.isEmpty()) << error.toStdString();
  ASSERT_GT(sources.size(), 50u) << "lupdate found too few texts; is it scanning the right folders?";
  for (const QString& file : kLanguageFiles) {
    QHash<QString, TsMessage> translated;
    for (const TsMessage& m : readTsFile(file)) translated.insert(keyOf(m), m);
    ASSERT_FALSE(translated.isEmpty()) << file.toStdString();
    QStringList missing;
    for (const TsMessage& m : sources) {
      const auto it = translated.constFind(keyOf(m));
      if (it == translated.cend() || !it->finished) missing << m.context + ": " + m.source;
    }
    EXPECT_TRUE(missing.isEmpty()) << file.toStdString() << " lacks " << missing.size()
                                   << " translations (run the update_translations target, then translate):\n"
                                   << missing.join('\n').toStdString();
  }
}

TEST(TranslationFilesTest, TranslationsKeepPlaceholdersAndMnemonics) {
  for (const QString& file : kLanguageFiles) {
    const std::vector<TsMessage> messages = readTsFile(file);
    ASSERT_FALSE(messages.empty()) << file.toStdString();
    for (const TsMessage& m : messages) {
      if (!m.finished) continue;
      EXPECT_EQ(placeholderFault(m.source, m.translation).toStdString(), "")
          << file.toStdString() << " " << m.context.toStdString() << ": " << m.source.toStdString() << " -> "
          << m.translation.toStdString();
    }
  }
}

// The check above must catch what goes wrong in practice.
TEST(TranslationFilesTest, PlaceholderCheckCatchesDroppedAddedAndMnemonicChanges) {
  struct Case {
    const char* source;
    const char* translation;
    bool sound;
  };
  const Case cases[] = {
      {"%1棋室", "Room %1", true},
      {"%1棋室", "Room", false},
      {"棋室", "Room %1", false},
      {"%1 对 %2", "%2 vs %1", true},
      {"%1 对 %2", "%1 vs %1", false},
      {"自定义棋谱总数: %d", "Custom records: %d", true},
      {"自定义棋谱总数: %d", "Custom records: %s", false},
      {"文件(&F)", "&File", true},
      {"文件(&F)", "File", false},
      {"对弈", "&Play", false},
      {"黑 && 白", "Black && White", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(placeholderFault(QString::fromUtf8(c.source), QString::fromUtf8(c.translation)).isEmpty(), c.sound)
        << c.source << " -> " << c.translation;
}

// lupdate writes a carriage return as an element; the reader must give it back as a character.
TEST(TranslationFilesTest, ReadsCarriageReturnsAndUnfinishedMarks) {
  QTemporaryDir dir;
  QFile file(dir.filePath("t.ts"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("<?xml version=\"1.0\" encoding=\"utf-8\"?><!DOCTYPE TS><TS version=\"2.1\" language=\"en\">"
             "<context><name>C</name>"
             "<message><source>a,<byte value=\"xd\"/>\nb %1</source><translation>A,<byte value=\"xd\"/>\nB %1</translation></message>"
             "<message><source>x</source><translation type=\"unfinished\"></translation></message>"
             "<message><source>y</source><translation type=\"vanished\">Y</translation></message>"
             "</context></TS>");
  file.close();
  const std::vector<TsMessage> m = readTsFile(file.fileName());
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].source, QStringLiteral("a,\r\nb %1"));
  EXPECT_EQ(m[0].translation, QStringLiteral("A,\r\nB %1"));
  EXPECT_TRUE(m[0].finished);
  EXPECT_FALSE(m[1].finished);
  EXPECT_FALSE(m[2].finished);
}

}  // namespace
