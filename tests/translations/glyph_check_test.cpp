#include "shell/qt/glyph_check.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

namespace {

// A private-use character, as a user-defined BIG5 code decodes to: no installed font draws it.
const QString kBox = QString(QChar(0xF6B1));

TEST(GlyphCheckTest, FindsCharactersNoFontDraws) {
  struct Case {
    QString text;
    QString missing;
  };
  const Case cases[] = {
      {QStringLiteral("&File"), {}},
      {QString::fromUtf8("文件(&F) 檔案 ぁ Ж №"), {}},
      {QStringLiteral("a") + kBox + kBox + QStringLiteral("b"), kBox},
      {QStringLiteral("\t\n "), {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(mh::undrawableCharacters(c.text, QApplication::font()), c.missing) << c.text.toStdString();
}

// Every kind of text a window shows is looked at; a window of good texts reports nothing.
TEST(GlyphCheckTest, ChecksTheTextsOfAWindowAndItsMenus) {
  QWidget window;
  window.setWindowTitle(QString::fromUtf8("游戏设置"));
  auto* layout = new QVBoxLayout(&window);
  auto* label = new QLabel(QString::fromUtf8("规则:"));
  auto* group = new QGroupBox(QStringLiteral("Black"));
  auto* combo = new QComboBox;
  combo->addItems({QString::fromUtf8("简体中文(GB)"), QString::fromUtf8("繁體中文(BIG5)")});
  QMenu menu(QString::fromUtf8("文件(&F)"));
  menu.addAction(QString::fromUtf8("打开棋谱(&O)..."));
  layout->addWidget(label);
  layout->addWidget(group);
  layout->addWidget(combo);
  EXPECT_TRUE(mh::undrawableTexts(window).isEmpty()) << mh::undrawableTexts(window).join('\n').toStdString();
  EXPECT_TRUE(mh::undrawableTexts(menu).isEmpty());

  label->setText("<b>" + kBox + "</b>");
  group->setTitle(kBox);
  combo->addItem(kBox);
  menu.addAction(QStringLiteral("x") + kBox);
  EXPECT_EQ(mh::undrawableTexts(window).size(), 3) << mh::undrawableTexts(window).join('\n').toStdString();
  ASSERT_EQ(mh::undrawableTexts(menu).size(), 1);
  EXPECT_TRUE(mh::undrawableTexts(menu).front().startsWith("QMenu: x"));
}

}  // namespace
