#include "room/hint_display.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/matrix_library.h"
#include "patterns/pattern_library.h"
#include "support/pattern_entries.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

std::vector<std::string> texts(const BoardAnnotations& a) {
  std::vector<std::string> out;
  for (const BoardLabel& l : a.labels()) out.push_back(l.text);
  return out;
}

// A board with one black stone on the upper left 3-3 point, the position both libraries know.
Board oneStone() {
  Board b;
  b.set(b.point(2, 2), Black);
  return b;
}

struct Libraries {
  test::ScratchDir dir;
  PatternLibrary global;
  PatternLibrary local;
  MatrixLibraries matrix;

  Libraries() {
    // Globally: the empty board, 30 candidates for Black; one white reply to the single stone.
    std::vector<PatternCandidate> many;
    for (int i = 0; i < 30; ++i) many.push_back({100 + i, 30 - i, i % 2, 1});
    EXPECT_TRUE(global.add(test::patternEntry(Board(), Black, many)));
    // Locally: the lone stone's cluster, two replies.
    EXPECT_TRUE(local.add(test::patternEntry(oneStone(), White, {{Board().point(2, 5), 5, 1, 3}, {Board().point(5, 2), 4, 2, 2}})));
    // The 3-3 point of an empty corner.
    const std::string file = dir.file("corner33.txt");
    std::ofstream(file) << "name: corner33 4 4\n----\n-...\n-...\n-..*\n";
    EXPECT_TRUE(matrix.corner.LoadText(file, true));
  }
  HintSources sources() const { return {&global, &local, &matrix}; }
};

TEST(HintDisplay, GlobalHintsLetterThirtyCandidatesAndSkipTheRest) {
  const Libraries libs;
  const HintDisplay h = collectHints(Board(), Black, false, libs.sources(), {}, {});
  const std::vector<std::string> labels = texts(h.annotations);
  ASSERT_EQ(labels.size(), 30u) << "no matrix or local labels once the global step placed any";
  EXPECT_EQ(labels[0], "A");
  EXPECT_EQ(labels[25], "Z");
  EXPECT_EQ(std::vector<std::string>(labels.begin() + 26, labels.end()), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(h.annotations.labels()[0].rgb, kBlue) << "wins 0 < losses 1";
  EXPECT_EQ(h.annotations.labels()[1].rgb, kRed) << "wins 1 = losses 1";
  EXPECT_EQ(h.infoText.substr(0, h.infoText.find("\r\n") + 2), "A, 总:30, 赢:0, 输:1\r\n");
  EXPECT_TRUE(h.local.empty());
}

TEST(HintDisplay, OrderAndSwitchesOfTheThreeSteps) {
  const Libraries libs;
  const struct {
    const char* name;
    bool gnuGo;
    HintSwitches switches;
    std::vector<std::string> labels;
    std::string info;
  } table[] = {
      // Global finds nothing for White on the one-stone board: the matrix "*" marks the three
      // empty corners' 3-3 points, then the local library labels its cluster.
      {"all on", false, {true, true, true}, {"*", "*", "*", "A1", "B1"},
       "A1, 总:5, 赢:1, 输:3\r\nB1, 总:4, 赢:2, 输:2\r\n"},
      {"no matrix", false, {true, true, false}, {"A1", "B1"}, "A1, 总:5, 赢:1, 输:3\r\nB1, 总:4, 赢:2, 输:2\r\n"},
      {"no local", false, {true, false, true}, {"*", "*", "*"}, ""},
      {"nothing on", false, {false, false, false}, {}, ""},
      {"GNU Go plays here", true, {true, true, true}, {}, ""},
  };
  for (const auto& t : table) {
    SCOPED_TRACE(t.name);
    const HintDisplay h = collectHints(oneStone(), White, t.gnuGo, libs.sources(), t.switches, {});
    EXPECT_EQ(texts(h.annotations), t.labels);
    EXPECT_EQ(h.infoText, t.info);
  }
  const HintDisplay h = collectHints(oneStone(), White, false, libs.sources(), {}, {});
  EXPECT_EQ(h.annotations.labels()[3].rgb, kBlue);
  EXPECT_EQ(h.annotations.labels()[4].rgb, kRed);
  EXPECT_EQ(h.annotations.labels()[0].rgb, kRed);
}

TEST(HintDisplay, NoLibrariesNoHints) {
  const HintDisplay h = collectHints(oneStone(), White, false, {}, {}, {});
  EXPECT_EQ(h.annotations.labelCount(), 0);
  EXPECT_TRUE(h.infoText.empty());
}

}  // namespace
}  // namespace mh
