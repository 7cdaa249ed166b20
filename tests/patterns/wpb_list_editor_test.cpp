#include "patterns/wpb_list_editor.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "patterns/wpb_list.h"
#include "platform/file_bytes.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

namespace fs = std::filesystem;

// A program's directory with a record folder "records/" holding one record.
class WpbListEditorTest : public ::testing::Test {
 public:
  void SetUp() override {
    fs::create_directories(records_);
    write(records_ + "g.sgf", "(;GM[1]SZ[19];B[pd])");
  }
  static void write(const std::string& path, const std::string& text) { ASSERT_TRUE(writeFileBytes(path, text)); }
  std::string iniText() const {
    std::string text;
    (void)readFileBytes(home_ + "WPBs.ini", 1 << 20, text);
    return text;
  }
  // The file names the reader lists in an interface language, the default one marked "*".
  std::string readerView(int language) const {
    WpbList list;
    list.read(home_ + "WPBs.ini", home_, language);
    std::string view;
    for (int i = 0; i < list.count(); ++i)
      view += list.at(i)->fileName() + (i == list.defaultNumber() ? "* " : " ");
    return view;
  }
  WpbListEditor::NewBase base(const std::string& name, bool makeDefault = false) const {
    return {"Title " + name, records_, name, makeDefault};
  }
  // One change through an editor of its own, as each command line run makes it.
  WpbEditStatus add(const std::string& name, bool makeDefault = false) const {
    WpbListEditor editor(home_);
    const WpbEditStatus loaded = editor.load();
    return loaded == WpbEditStatus::Ok ? editor.add(base(name, makeDefault)) : loaded;
  }
  WpbEditStatus remove(int n) const {
    WpbListEditor editor(home_);
    const WpbEditStatus loaded = editor.load();
    return loaded == WpbEditStatus::Ok ? editor.remove(n, false) : loaded;
  }

  test::ScratchDir dir_;
  std::string home_ = dir_.path() + "/";
  std::string records_ = dir_.path() + "/records/";
};

// Adds and removes on hand-written files: the reader sees the intended list in every language,
// and everything else in the file stays.
TEST_F(WpbListEditorTest, AddAndRemoveKeepTheRestOfTheFile) {
  const std::string three = "; my bases\r\n[WPBS]\r\nTOTAL=3\r\nDEFAULT=2\r\nNOTE=kept\r\n"
                            "[WPB_0]\r\nTITLE1=a\r\nSGFPATH=/x/\r\nFILENAME=a\r\n"
                            "[WPB_1]\r\nTITLE1=b\r\nSGFPATH=/x/\r\nFILENAME=b\r\nCOLOR=red\r\n"
                            "[WPB_2]\r\nTITLE0=c\r\nTITLE1=c\r\nTITLE2=c\r\nSGFPATH=/x/\r\nFILENAME=c\r\n"
                            "[Window]\r\nX=10\r\n"
                            "[wpb_2]\r\nFILENAME=shadowed\r\n";
  struct Case {
    const char* what;
    std::string before;  // "" for no file
    void (*edit)(WpbListEditorTest&);
    const char* view;      // the reader's list in every language afterwards
    const char* expected;  // the whole file afterwards, or null to check only the view
  } cases[] = {
      {"the first base in a new file", "", [](WpbListEditorTest& t) { EXPECT_EQ(t.add("mine"), WpbEditStatus::Ok); },
       "mine* ", nullptr},
      {"remove the middle one", three,
       [](WpbListEditorTest& t) { EXPECT_EQ(t.remove(1), WpbEditStatus::Ok); }, "a c* ",
       "; my bases\r\n[WPBS]\r\nTOTAL=2\r\nDEFAULT=1\r\nNOTE=kept\r\n"
       "[WPB_0]\r\nTITLE1=a\r\nSGFPATH=/x/\r\nFILENAME=a\r\nTITLE0=a\r\nTITLE2=a\r\n"
       "[WPB_1]\r\nTITLE0=c\r\nTITLE1=c\r\nTITLE2=c\r\nSGFPATH=/x/\r\nFILENAME=c\r\n"
       "[Window]\r\nX=10\r\n"},
      {"remove the default", three, [](WpbListEditorTest& t) { EXPECT_EQ(t.remove(2), WpbEditStatus::Ok); },
       "a* b ", nullptr},
      {"remove the first: the rest move down with their keys", three,
       [](WpbListEditorTest& t) {
         EXPECT_EQ(t.remove(0), WpbEditStatus::Ok);
         EXPECT_NE(t.iniText().find("[WPB_0]\r\nTITLE1=b\r\nSGFPATH=/x/\r\nFILENAME=b\r\nCOLOR=red\r\n"), std::string::npos);
       },
       "b c* ", nullptr},
      {"add after a broken section", "[WPBS]\nTOTAL=3\n[WPB_0]\nTITLE1=a\nSGFPATH=/x/\nFILENAME=a\n"
       "[WPB_1]\nTITLE1=b\nOLD=1\n[WPB_2]\nTITLE1=c\nSGFPATH=/x/\nFILENAME=c\n",
       [](WpbListEditorTest& t) { EXPECT_EQ(t.add("n", true), WpbEditStatus::Ok); }, "a n* ",
       nullptr},
      {"add to three, extras kept", three,
       [](WpbListEditorTest& t) {
         EXPECT_EQ(t.add("d"), WpbEditStatus::Ok);
         for (const char* kept : {"NOTE=kept\r\n", "COLOR=red\r\n", "[Window]\r\nX=10\r\n", "; my bases\r\n"})
           EXPECT_NE(t.iniText().find(kept), std::string::npos) << kept;
       },
       "a b c* d ", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(home_ + "WPBs.ini");
    if (!c.before.empty()) write(home_ + "WPBs.ini", c.before);
    c.edit(*this);
    for (int language = 0; language < 3; ++language) EXPECT_EQ(readerView(language), c.view) << "language " << language;
    if (c.expected) {
      EXPECT_EQ(iniText(), c.expected);
    }
  }
}

TEST_F(WpbListEditorTest, RefusalsLeaveTheFileAsItWas) {
  fs::create_directories(dir_.file("norecords/y.sgf"));  // a folder, not a record
  write(dir_.file("norecords/x.txt"), "");
  ASSERT_EQ(add("taken"), WpbEditStatus::Ok);
  const std::string before = iniText();
  struct Case {
    const char* what;
    WpbListEditor::NewBase base;
    WpbEditStatus status;
  } cases[] = {
      {"empty title", {"  ", records_, "n"}, WpbEditStatus::BadTitle},
      {"two-line title", {"a\nb", records_, "n"}, WpbEditStatus::BadTitle},
      {"long title", {std::string(256, 'x'), records_, "n"}, WpbEditStatus::BadTitle},
      {"relative folder", {"t", "records", "n"}, WpbEditStatus::BadFolder},
      {"missing folder", {"t", dir_.file("none"), "n"}, WpbEditStatus::NoSuchFolder},
      {"folder without records", {"t", dir_.file("norecords"), "n"}, WpbEditStatus::NoRecords},
      {"empty name", {"t", records_, ""}, WpbEditStatus::BadFileName},
      {"name with a slash", {"t", records_, "a/b"}, WpbEditStatus::BadFileName},
      {"name ..", {"t", records_, ".."}, WpbEditStatus::BadFileName},
      {"name with a blank at its end", {"t", records_, "n "}, WpbEditStatus::BadFileName},
      {"name taken", {"t", records_, "taken"}, WpbEditStatus::FileNameTaken},
  };
  for (const Case& c : cases) {
    WpbListEditor editor(home_);
    ASSERT_EQ(editor.load(), WpbEditStatus::Ok);
    EXPECT_EQ(editor.add(c.base), c.status) << c.what;
    EXPECT_EQ(iniText(), before) << c.what;
  }
  WpbListEditor editor(home_);
  ASSERT_EQ(editor.load(), WpbEditStatus::Ok);
  EXPECT_EQ(editor.remove(1, true), WpbEditStatus::NoSuchBase);

  // A record below a subfolder, in capitals, is a record.
  fs::create_directories(dir_.file("nested/deep"));
  write(dir_.file("nested/deep/a.GIB"), "");
  EXPECT_TRUE(holdsRecordFiles(dir_.file("nested")));
  EXPECT_FALSE(holdsRecordFiles(dir_.file("norecords")));
}

TEST_F(WpbListEditorTest, AFileItCannotReadIsNeverReplaced) {
  const std::string big = "[WPBS]\nTOTAL=0\n" + std::string(IniDocument::kMaxBytes, ';');
  write(home_ + "WPBs.ini", big);
  WpbListEditor editor(home_);
  EXPECT_EQ(editor.load(), WpbEditStatus::Unreadable);
  EXPECT_EQ(editor.add(base("n")), WpbEditStatus::Unreadable);
  EXPECT_EQ(fs::file_size(home_ + "WPBs.ini"), big.size());
}

TEST_F(WpbListEditorTest, ProposesFreeFileNamesFromTitles) {
  ASSERT_EQ(add("my-games"), WpbEditStatus::Ok);
  write(home_ + "base.idx", "");
  WpbListEditor editor(home_);
  ASSERT_EQ(editor.load(), WpbEditStatus::Ok);
  struct Case {
    const char* title;
    const char* name;
  } cases[] = {
      {"Pro games 2020", "pro-games-2020"},
      {"  --Tygem: 9d!  ", "tygem-9d"},
      {"My games", "my-games-2"},           // a listed base has my-games
      {"\xCE\xD2\xB5\xC4\xC6\xE5\xC6\xD7", "base-2"},  // no ASCII letter; base.idx exists
  };
  for (const Case& c : cases) EXPECT_EQ(editor.proposeFileName(c.title), c.name) << c.title;
}

// Deleting a base's files takes every file a build makes of it, and nothing of another base.
TEST_F(WpbListEditorTest, DeletesTheFilesOfTheRemovedBaseOnly) {
  ASSERT_EQ(add("a"), WpbEditStatus::Ok);
  ASSERT_EQ(add("a.wp2"), WpbEditStatus::Ok);
  ASSERT_EQ(add("ab"), WpbEditStatus::Ok);
  const std::vector<std::string> own = {"a.idx", "a.wp2", "a.wp2_", "a.lb", "a.lb_", "a.wp2.aos", "a.wp2.aos_",
                                        "a.wp2.aos.idx", "a.lb.aos.prints", "a.lb.aos.3", "a.idx.tmp"};
  const std::vector<std::string> others = {"a.wp2.idx", "a.wp2.lb_", "ab.idx", "a.txt", "a.wp2x", "a"};
  for (const auto& f : own) write(home_ + f, "x");
  for (const auto& f : others) write(home_ + f, "x");

  WpbListEditor editor(home_);
  ASSERT_EQ(editor.load(), WpbEditStatus::Ok);
  std::vector<std::string> kept;
  EXPECT_EQ(editor.remove(0, true, &kept), WpbEditStatus::Ok);
  EXPECT_TRUE(kept.empty());
  for (const auto& f : own) EXPECT_FALSE(fs::exists(home_ + f)) << f;
  for (const auto& f : others) EXPECT_TRUE(fs::exists(home_ + f)) << f;
  EXPECT_EQ(readerView(1), "a.wp2* ab ");
}

// A writer killed at any moment leaves the old list or the new one, never a torn file.
TEST_F(WpbListEditorTest, AKilledRewriteLeavesTheOldOrTheNewFile) {
  write(home_ + "WPBs.ini", "[Keep]\n" + std::string(200000, ';') + "\n");  // a slow file to rewrite
  ASSERT_EQ(add("first"), WpbEditStatus::Ok);
  const std::string one = iniText();
  ASSERT_EQ(add("second"), WpbEditStatus::Ok);
  const std::string two = iniText();
  std::mt19937 random(23);
  for (int round = 0; round < 20; ++round) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      for (;;) {  // second off, second on, until killed
        WpbListEditor editor(home_);
        if (editor.load() != WpbEditStatus::Ok) _exit(3);
        const auto status = editor.bases().size() == 2 ? editor.remove(1, false) : editor.add(base("second"));
        if (status != WpbEditStatus::Ok) _exit(4);
      }
    }
    usleep(std::uniform_int_distribution<useconds_t>(1000, 20000)(random));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << WEXITSTATUS(status);
    const std::string now = iniText();
    ASSERT_TRUE(now == one || now == two) << "round " << round << ": " << now.size() << " bytes";
  }
}

}  // namespace
}  // namespace mh
