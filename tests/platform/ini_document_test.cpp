#include "platform/ini_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file_bytes.h"
#include "platform/ini_file.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

// Section edits on one text, by name in any letter case; the other lines stay as they were.
TEST(IniDocumentTest, SectionEditsKeepEverythingElse) {
  const std::string text =
      "; head\n"
      "[A]\nX=1\n"
      "[b]\nY=2\n; about b\n\n"
      "[a]\nX=shadowed\n"
      "[C]\nZ=3\n";
  struct Case {
    const char* what;
    void (*edit)(IniDocument&);
    const char* expected;
  } cases[] = {
      {"remove every A", [](IniDocument& d) { d.removeSections("a"); },
       "; head\n[b]\nY=2\n; about b\n\n[C]\nZ=3\n"},
      {"drop the shadowed A", [](IniDocument& d) { d.removeShadowedSections("A"); },
       "; head\n[A]\nX=1\n[b]\nY=2\n; about b\n\n[C]\nZ=3\n"},
      {"rename the first A", [](IniDocument& d) { EXPECT_TRUE(d.renameSection("A", "D")); },
       "; head\n[D]\nX=1\n[b]\nY=2\n; about b\n\n[a]\nX=shadowed\n[C]\nZ=3\n"},
      {"rename nothing", [](IniDocument& d) { EXPECT_FALSE(d.renameSection("E", "F")); }, nullptr},
      {"set after the last filled line", [](IniDocument& d) { d.setValue("B", "w", "4"); },
       "; head\n[A]\nX=1\n[b]\nY=2\n; about b\nw=4\n\n[a]\nX=shadowed\n[C]\nZ=3\n"},
      {"set in the first A only", [](IniDocument& d) { d.setValue("a", "x", "9"); },
       "; head\n[A]\nx=9\n[b]\nY=2\n; about b\n\n[a]\nX=shadowed\n[C]\nZ=3\n"},
  };
  for (const Case& c : cases) {
    IniDocument document(text);
    c.edit(document);
    EXPECT_EQ(document.text(), c.expected ? c.expected : text) << c.what;
  }
  const IniDocument document(text);
  EXPECT_EQ(document.value("A", "x"), "1");
  EXPECT_EQ(document.value("C", "Y"), std::nullopt);
  EXPECT_TRUE(document.hasSection("c"));
}

TEST(IniDocumentTest, KeepsTheLineEndsItRead) {
  IniDocument document("[A]\r\nX=1\r\n");
  document.setValue("A", "Y", "2");
  EXPECT_EQ(document.text(), "[A]\r\nX=1\r\nY=2\r\n");
  EXPECT_EQ(IniDocument("[A]\nX=1").text(), "[A]\nX=1\n");
}

TEST(IniDocumentTest, AFileTooLargeToReadIsNeverOverwritten) {
  test::ScratchDir dir;
  const std::string path = dir.file("big.ini");
  const std::string big = "[A]\nX=1\n" + std::string(IniDocument::kMaxBytes, ';');
  ASSERT_TRUE(writeFileBytes(path, big));
  IniDocument document;
  EXPECT_FALSE(document.load(path));
  IniFile ini(path);
  EXPECT_FALSE(ini.writeInt("A", "Y", 2));
  EXPECT_EQ(std::filesystem::file_size(path), big.size());
  EXPECT_TRUE(document.load(dir.file("missing.ini"))) << "a missing file reads as an empty one";
  EXPECT_EQ(document.text(), "");
}

}  // namespace
}  // namespace mh
