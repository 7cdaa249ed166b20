#include "library_windows/players_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/scratch_dir.h"

namespace mh {
namespace {

using Names = std::vector<std::string>;

TEST(PlayersFile, LinesAreTrimmedFilteredSortedAndUnique) {
  // \xC2\xED\xCF\xFE\xB4\xBA is a GB name; \xB3\xA3\xea\xbb another, sorting before it by bytes.
  const struct {
    const char* name;
    std::string text;
    Names want;
  } table[] = {
      {"blanks around a name, a comment and an empty line", " \t abc \t\r\n;comment\r\n\r\n", {"abc"}},
      {"inner blanks stay", "Lee Sedol\n", {"Lee Sedol"}},
      {"a comment after blanks is still a comment", "   ;x\n", {}},
      {"a name twice is listed once", "b\na\nb\r\n", {"a", "b"}},
      {"byte order, high bytes after ASCII", "\xC2\xED\xCF\xFE\xB4\xBA\nzed\n\xB3\xA3\xEA\xBB\n",
       {"zed", "\xB3\xA3\xEA\xBB", "\xC2\xED\xCF\xFE\xB4\xBA"}},
      {"no final line end", "x", {"x"}},
      {"nothing", "", {}},
  };
  for (const auto& t : table) EXPECT_EQ(parsePlayersText(t.text), t.want) << t.name;
}

TEST(PlayersFile, LongLinesAreCutAtACharacterAndTheirRestDropped) {
  // 1022 ASCII bytes then a two-byte character: the cut keeps 1022 bytes rather than half of it.
  const std::string head(1022, 'a');
  const std::string line = head + "\xB0\xA1" + std::string(500, 'b');
  EXPECT_EQ(parsePlayersText(line + "\nnext\n"), (Names{head, "next"}));
  const std::string exact(1023, 'c');
  EXPECT_EQ(parsePlayersText(exact + "dd\n"), (Names{exact}));
}

TEST(PlayersFile, MissingFileGivesNoNames) {
  test::ScratchDir dir;
  EXPECT_TRUE(readPlayersFile(dir.file("players.ini")).empty());
  EXPECT_TRUE(readPlayersFile(dir.path()).empty()) << "a directory is not a players file";
  std::ofstream(dir.file("players_Net.ini")) << "; online\r\nkoala\r\n";
  EXPECT_EQ(readPlayersFile(dir.file("players_Net.ini")), (Names{"koala"}));
}

}  // namespace
}  // namespace mh
