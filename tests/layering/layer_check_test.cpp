#include "layering/layer_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using mh::layering::LayerTable;
using mh::layering::Violation;

std::string joined(const std::vector<Violation>& violations) {
  std::string out;
  for (const Violation& v : violations) out += v.text() + "\n";
  return out;
}

LayerTable tableOf(const std::string& text) {
  std::vector<Violation> errors;
  LayerTable table = LayerTable::parse(text, errors);
  EXPECT_TRUE(errors.empty()) << joined(errors);
  return table;
}

// The order of the program, in small.
const char* const kTable = R"(# bottom first
platform:
model: platform
records: model
shapes: model
patterns: records shapes
QtGui:
Qt: QtGui
room: patterns
room/paint: room QtGui
room/qt: room room/paint Qt
apps/cli: patterns
apps/desktop: room/qt
)";

// A small tree that keeps the order; each case adds or replaces files.
const std::map<std::string, std::string> kCleanTree = {
    {"src/platform/event.h", "#pragma once\n#include <mutex>\n"},
    {"src/model/board.h", "#pragma once\n#include \"platform/event.h\"\n"},
    {"src/model/board.cpp", "#include \"model/board.h\"\n#include \"board.h\"\n"},
    {"src/records/sgf.h", "#include \"model/board.h\"\n"},
    {"src/shapes/cluster.h", "#include \"model/board.h\"\n"},
    {"src/patterns/library.cpp", "#include \"records/sgf.h\"\n#include \"shapes/cluster.h\"\n#include \"platform/event.h\"\n"},
    {"src/room/room.h", "#include \"patterns/generated_table.h\"\n"},
    {"src/room/qt/view.cpp", "#include <QWidget>\n#include <QtCore/QObject>\n#include \"room/room.h\"\n"},
    {"src/room/paint/painter.cpp", "#include <QPainter>\n#include \"room/room.h\"\n"},
    {"apps/cli/main.cpp", "#include \"command.h\"\n#include \"patterns/library.h\"\n"},
    {"apps/cli/command.h", "#pragma once\n#include <vector>\n"},
    {"apps/desktop/main.cpp", "#include <QApplication>\n#include \"room/qt/view.h\"\n"},
    {"src/CMakeLists.txt", "# not a source file\n"},
};

std::vector<Violation> checkTree(const std::map<std::string, std::string>& changes, const std::string& table = kTable) {
  mh::test::ScratchDir dir;
  std::map<std::string, std::string> files = kCleanTree;
  for (const auto& [path, text] : changes) files[path] = text;
  for (const auto& [path, text] : files) {
    const fs::path p = fs::path(dir.path()) / path;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text;
  }
  return mh::layering::checkTree(dir.path(), tableOf(table));
}

TEST(LayerCheck, AcceptsATreeThatKeepsTheOrder) {
  const auto violations = checkTree({});
  EXPECT_TRUE(violations.empty()) << joined(violations);
}

TEST(LayerCheck, RejectsEveryIncludeAgainstTheOrderNamingFileAndLine) {
  struct Case {
    const char* name;
    std::string path, text;
    std::string expected;  // the one violation's text
  } cases[] = {
      {"back-edge", "src/model/state.h", "#pragma once\n\n#include \"records/sgf.h\"\n",
       "src/model/state.h:3: model may not include records (\"records/sgf.h\"): records is not below model in the layer order"},
      {"sibling", "src/shapes/forest.cpp", "#include \"records/sgf.h\"\n",
       "src/shapes/forest.cpp:1: shapes may not include records (\"records/sgf.h\"): records is not below shapes in the layer order"},
      {"spaced directive", "src/platform/file.cpp", "  #  include \"model/board.h\"  // why not\n",
       "src/platform/file.cpp:1: platform may not include model (\"model/board.h\"): model is not below platform in the layer order"},
      {"relative path out of the folder", "src/model/x.cpp", "#include \"../patterns/library.cpp\"\n",
       "src/model/x.cpp:1: model may not include patterns (\"../patterns/library.cpp\"): patterns is not below model in the layer order"},
      {"logic above its widgets", "src/room/logic.cpp", "#include \"room/qt/view.h\"\n",
       "src/room/logic.cpp:1: room may not include room/qt (\"room/qt/view.h\"): room/qt is not below room in the layer order"},
      {"a header that is not written yet", "src/records/gib.h", "#include \"patterns/future.h\"\n",
       "src/records/gib.h:1: records may not include patterns (\"patterns/future.h\"): patterns is not below records in the layer order"},
      {"Qt in the core", "src/model/board.cpp", "#include <QString>\n",
       "src/model/board.cpp:1: model may not include Qt (<QString>): only the layers built on Qt may"},
      {"Qt module path in the core", "src/room/room.cpp", "#include <QtCore/QObject>\n",
       "src/room/room.cpp:1: room may not include Qt (<QtCore/QObject>): only the layers built on Qt may"},
      {"Qt in the command line", "apps/cli/command.h", "#include <QCoreApplication>\n",
       "apps/cli/command.h:1: apps/cli may not include Qt (<QCoreApplication>): only the layers built on Qt may"},
      {"an app reaching into another", "apps/cli/run.cpp", "#include \"../desktop/main.cpp\"\n",
       "apps/cli/run.cpp:1: apps/cli may not include apps/desktop (\"../desktop/main.cpp\"): apps/desktop is not below apps/cli in the layer order"},
      {"painting above its widgets", "src/room/paint/brush.cpp", "#include \"room/qt/view.h\"\n",
       "src/room/paint/brush.cpp:1: room/paint may not include room/qt (\"room/qt/view.h\"): room/qt is not below room/paint in the layer order"},
      {"logic above its painting", "src/room/geometry.cpp", "#include \"room/paint/painter.h\"\n",
       "src/room/geometry.cpp:1: room may not include room/paint (\"room/paint/painter.h\"): room/paint is not below room in the layer order"},
      {"a folder inside a subsystem the table does not know", "src/room/sound/player.cpp", "#include \"room/room.h\"\n",
       "src/room/sound/player.cpp:1: this folder has no layer in the layer table ('room/sound')"},
      {"a folder the table does not know", "src/sound/player.cpp", "#include \"model/board.h\"\n",
       "src/sound/player.cpp:1: this folder has no layer in the layer table ('sound')"},
      {"a file outside the layers", "src/model/y.cpp", "#include \"../../tests/helper.h\"\n", ""},
  };
  for (const Case& c : cases) {
    std::map<std::string, std::string> changes{{c.path, c.text}};
    std::string expected = c.expected;
    if (expected.empty()) {  // the included file must exist for the path to resolve
      changes["tests/helper.h"] = "#pragma once\n";
      expected = "src/model/y.cpp:1: \"../../tests/helper.h\" is in no layer of the layer table ('tests/helper.h')";
    }
    const auto violations = checkTree(changes);
    ASSERT_EQ(violations.size(), 1u) << c.name << "\n" << joined(violations);
    EXPECT_EQ(violations[0].text(), expected) << c.name;
  }
}

TEST(LayerCheck, ReportsEveryViolationOfAFile) {
  const auto violations =
      checkTree({{"src/platform/bad.h", "#include \"model/board.h\"\n#include <vector>\n#include \"room/room.h\"\n"}});
  ASSERT_EQ(violations.size(), 2u) << joined(violations);
  EXPECT_EQ(violations[0].line, 1);
  EXPECT_EQ(violations[1].line, 3);
}

TEST(LayerTable, RefusesOrdersThatCouldHoldACycle) {
  struct Case {
    const char* name;
    const char* table;
    const char* error;
  } cases[] = {
      {"forward reference", "a: b\nb:\n", "layer table:1: a builds on b, which is not listed above it"},
      {"self reference", "a: a\n", "layer table:1: a builds on a, which is not listed above it"},
      {"listed twice", "a:\nb: a\na: b\n", "layer table:3: a is listed twice"},
      {"no colon", "a\n", "layer table:1: expected \"<layer>: <layers below>\", not \"a\""},
  };
  for (const Case& c : cases) {
    std::vector<Violation> errors;
    (void)LayerTable::parse(c.table, errors);
    ASSERT_EQ(errors.size(), 1u) << c.name << "\n" << joined(errors);
    EXPECT_EQ(errors[0].text(), c.error) << c.name;
  }
}

TEST(LayerTable, ALayerReachesEverythingBelowItsLowerLayers) {
  const LayerTable table = tableOf(kTable);
  struct Case {
    const char* from;
    const char* to;
    bool allowed;
  } cases[] = {
      {"patterns", "platform", true}, {"patterns", "patterns", true}, {"room/qt", "model", true},
      {"records", "shapes", false},   {"model", "records", false},    {"room", "Qt", false},
      {"apps/cli", "room", false},    {"unknown", "model", false},
  };
  for (const Case& c : cases) EXPECT_EQ(table.mayInclude(c.from, c.to), c.allowed) << c.from << " -> " << c.to;
}

// The program's own sources against the order CMake builds them in.
TEST(Layering, EveryIncludeOfTheProgramKeepsTheLayerOrder) {
  std::ifstream in(MOONHAVEN_BINARY_DIR "/layers.txt");
  ASSERT_TRUE(in) << "the build writes layers.txt from MOONHAVEN_LAYERS";
  std::stringstream text;
  text << in.rdbuf();
  std::vector<Violation> errors;
  const LayerTable table = LayerTable::parse(text.str(), errors);
  ASSERT_TRUE(errors.empty()) << joined(errors);
  const auto violations = mh::layering::checkTree(MOONHAVEN_SOURCE_DIR, table);
  EXPECT_TRUE(violations.empty()) << "includes against the order of MOONHAVEN_LAYERS "
                                  << "(cmake/MoonhavenTargets.cmake):\n" << joined(violations);
}

}  // namespace
