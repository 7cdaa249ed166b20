#include "records/sgf_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace {

using mh::SgfFile;
using mh::SgfNode;

// The tree as the writer prints it, or "none" when the text does not parse.
std::string reread(const std::string& text, bool big5 = false) {
  const auto root = SgfFile::parse(text, big5);
  return root ? SgfFile::format(*root) : "none";
}

struct ParseCase {
  const char* name;
  std::string text;
  std::string expected;
};

TEST(SgfFileTest, ParsesTheFirstNonEmptyTree) {
  const ParseCase cases[] = {
      {"plain", "(;GM[1];B[aa];W[bb])", "(;GM[1];B[aa];W[bb])"},
      {"junk and blanks", "header\n ( ; G M [1]\r\n ; B [aa] )", "(;GM[1];B[aa])"},
      {"empty trees skipped", "()(;GN[x];B[dd])", "(;GN[x];B[dd])"},
      {"only the first tree", "(;B[aa])(;B[bb])", "(;B[aa])"},
      {"variations", "(;A[1](;B[aa];W[bb])(;B[cc]))", "(;A[1](;B[aa];W[bb])(;B[cc]))"},
      {"empty variation skipped", "(;A[1]()(;B[aa]))", "(;A[1];B[aa])"},
      {"further values", "(;AB[aa][bb] [cc])", "(;AB[aa][bb][cc])"},
      {"escapes kept", "(;C[a\\]b])", "(;C[a\\]b])"},
      {"escaped backslash", "(;C[a\\\\]B[aa])", "(;C[a\\\\]B[aa])"},
      {"blanks kept in values", "(;C[ a\n b ])", "(;C[ a\n b ])"},
      {"duplicate identifiers", "(;C[1]C[2])", "(;C[1]C[2])"},
      {"no upper-case letter in an identifier", "(;addblack[aa])", "none"},
      {"missing value ends the node", "(;GM;B[aa])", "(;;B[aa])"},
      {"text after the tree ignored", "(;B[aa]) trailing ( junk", "(;B[aa])"},
      {"no node", "()", "none"},
      {"unbalanced open", "(;B[aa]", "none"},
      {"unbalanced variation", "(;B[aa](;W[bb])", "none"},
      {"unterminated value", "(;C[abc", "none"},
      {"backslash as last byte", "(;C[abc\\", "none"},
      {"lone lead byte at the end", "(;C[abc\xB6", "none"},
      {"empty", "", "none"},
      {"no tree", "just text", "none"},
      {"stray closing bracket", "(;B[aa]])", "none"},
  };
  for (const auto& c : cases) EXPECT_EQ(reread(c.text), c.expected) << c.name;
}

// Departures from the standard that other programs write.
TEST(SgfFileTest, ReadsTheDialectsOfOtherPrograms) {
  const ParseCase cases[] = {
      {"root written without its ;", "(\r\nGM[1]FF[3]SZ[19]\r\nPB[a]PW[b]\r\n;B[pd];W[dp])", "(;GM[1]FF[3]SZ[19]PB[a]PW[b];B[pd];W[dp])"},
      {"root split at its first ;", "(GM[1]FF[3];SZ[9]PB[a];B[aa])", "(;GM[1]FF[3]SZ[9]PB[a];B[aa])"},
      {"a root alone", "(GM[1]PB[a])", "(;GM[1]PB[a])"},
      {"a first move without its ;", "(B[aa];W[bb])", "(;B[aa];W[bb])"},
      {"variation without its ;", "(;B[aa](W[bb];B[cc])(;W[dd]))", "(;B[aa](;W[bb];B[cc])(;W[dd]))"},
      {"long identifiers", "(;AddBlack[aa][bb]Comment[hi];Black[cc]White[dd])", "(;AB[aa][bb]C[hi];B[cc]W[dd])"},
      {"long identifier across a line break", "(;Add\nWhite[aa])", "(;AW[aa])"},
      {"a property without an upper-case letter", "(;B[aa]c[dd])", "none"},
  };
  for (const auto& c : cases) EXPECT_EQ(reread(c.text), c.expected) << c.name;
}

TEST(SgfFileTest, ReadsEveryTreeOfACollection) {
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> blacks;  // PB of each tree read
    std::string error;                // the error's reason, "" for none
  } cases[] = {
      {"three games", "(;PB[a];B[aa])\n(;PB[b];B[bb];W[cc])\n(;PB[c])\n", {"a", "b", "c"}, ""},
      {"empty trees between", "()(;PB[a])()(;PB[b])()", {"a", "b"}, ""},
      {"text after the trees", "(;PB[a])(;PB[b]) end (;PB[c])", {"a", "b"}, ""},
      {"a broken third tree", "(;PB[a])(;PB[b])(;PB[c]", {"a", "b"},
       "the text ends where a property, ';', '(' or ')' belongs"},
      {"no tree", "text", {}, "no game tree: the text holds no '('"},
  };
  for (const auto& c : cases) {
    mh::ParseError error;
    const auto trees = SgfFile::parseAll(c.text, false, &error);
    std::vector<std::string> blacks;
    for (const auto& tree : trees) blacks.push_back(tree->findProperty("PB")->value);
    EXPECT_EQ(blacks, c.blacks) << c.name;
    EXPECT_EQ(error.reason, c.error) << c.name;
    // The first tree alone reads whatever follows it.
    EXPECT_EQ(SgfFile::parse(c.text, false) != nullptr, !c.blacks.empty()) << c.name;
  }
}

TEST(SgfFileTest, SecondByteOfATwoByteCharacterNeverEndsAValue) {
  // GB/BIG5 characters whose second byte is "]" or "\" inside and at the end of a value.
  EXPECT_EQ(reread("(;PB[\xA6\x5D\xA4\x40]PW[x\xB5\x5C])"), "(;PB[\xA6\x5D\xA4\x40]PW[x\xB5\x5C])");
  const auto root = SgfFile::parse("(;PB[\xB6\xCE\xA6\x5D]BR[9\xB6\xCE])", false);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->findProperty("PB")->value, "\xB6\xCE\xA6\x5D");
  EXPECT_EQ(root->findProperty("BR")->value, "9\xB6\xCE");
}

TEST(SgfFileTest, Big5ChoiceConvertsEveryValue) {
  // 圍棋 in BIG5 is read as 围棋 in GB, in further values too (a label, say): the tree holds GB.
  const auto root = SgfFile::parse("(;PB[\xB3\xF2\xB4\xD1]XX[a][\xB3\xF2])", true);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->findProperty("PB")->value, "\xCE\xA7\xC6\xE5");
  EXPECT_EQ(root->findProperty("XX")->moreValues.at(0), "\xCE\xA7");
  const auto gb = SgfFile::parse("(;PB[\xB3\xF2\xB4\xD1])", false);
  EXPECT_EQ(gb->findProperty("PB")->value, "\xB3\xF2\xB4\xD1");
}

// A conversion can turn a character that held "]" or "\\" into "?" and a bare "]" or "\\", or
// leave a lead byte last; the converted value must still be written as one value.
TEST(SgfFileTest, ConvertedValuesStayOneValueWhenWrittenBack) {
  const struct {
    const char* name;
    std::string text;
    bool big5;
  } cases[] = {
      // Found by fuzzing: the pair 0x8E 0x5D is no BIG5 character and leaves a bare "]".
      {"BIG5 pair ending in ]", "(;CA[Big5]PB[\xE7\xA7\x8B\xE5\xA4\xA9\xE8\x99\x8E]BanY7]C[ok])", false},
      {"BIG5 pair ending in \\", "(;PB[a\x80\\]C[ok])", true},
      {"BIG5 lead byte then ]", "(;PB[\x8E]]C[ok])", true},
      {"UTF-8 lead byte then \\]", "(;CA[UTF-8]PB[\xE6\\]x]C[ok])", false},
      {"UTF-8 lead byte last", "(;CA[UTF-8]PB[x\xE6]C[ok])", false},
  };
  for (const auto& c : cases) {
    const auto root = SgfFile::parse(c.text, c.big5);
    ASSERT_TRUE(root) << c.name;
    const std::string written = SgfFile::formatFile(*root, mh::SgfEncoding::Gb);
    const auto again = SgfFile::parse(written, false);
    ASSERT_TRUE(again) << c.name << ": " << written;
    EXPECT_EQ(SgfFile::format(*again), written) << c.name;
    ASSERT_NE(again->findProperty("C"), nullptr) << c.name << ": " << written;
    EXPECT_EQ(again->findProperty("C")->value, "ok") << c.name;
    EXPECT_EQ(again->findProperty("PB")->value, root->findProperty("PB")->value) << c.name;
  }
}

TEST(SgfFileTest, Utf8RecordsAreReadByUtf8CharactersAndConvertedToGb) {
  struct Case {
    const char* name;
    std::string text;
    bool big5;
    std::string black;  // PB as GB
    std::string rank;   // BR as GB
  };
  const Case cases[] = {
      // 段 is three bytes in UTF-8: by byte pairs its last byte would swallow the "]".
      {"declared", "(;CA[UTF-8]PB[\xE6\xAE\xB5]BR[9\xE6\xAE\xB5])", false, "\xB6\xCE", "9\xB6\xCE"},
      {"declared late, lower case", "(;PB[\xE6\xAE\xB5]BR[9d]CA[utf8])", false, "\xB6\xCE", "9d"},
      {"undeclared but valid", "(;PB[\xE6\xAE\xB5]BR[9\xE6\xAE\xB5])", false, "\xB6\xCE", "9\xB6\xCE"},
      {"BIG5 choice does not apply", "(;CA[UTF-8]PB[\xE6\xAE\xB5])", true, "\xB6\xCE", ""},
      {"character GB lacks", "(;CA[UTF-8]PB[\xED\x95\x9C]BR[1])", false, "?", "1"},
      {"declared, with a stray byte", "(;CA[UTF-8]PB[a\xFF]BR[2])", false, "a?", "2"},
      // GB text read byte for byte: 9段 as GB is not valid UTF-8.
      {"GB undeclared", "(;PB[\xB6\xCE]BR[9\xB6\xCE])", false, "\xB6\xCE", "9\xB6\xCE"},
      // Valid UTF-8 by chance, but declared GB: byte pairs, no conversion.
      {"GB declared", "(;CA[gb2312]PB[\xC4\xBE])", false, "\xC4\xBE", ""},
      {"BIG5 declared", "(;CA[Big5]PB[\xB3\xF2\xB4\xD1])", false, "\xCE\xA7\xC6\xE5", ""},
      {"declared after an empty tree, with a stray byte", "()(;CA[UTF-8]XX[\xFF]PB[\xE6\xAE\xB5]BR[9\xE6\xAE\xB5])",
       false, "\xB6\xCE", "9\xB6\xCE"},
  };
  for (const auto& c : cases) {
    const auto root = SgfFile::parse(c.text, c.big5);
    ASSERT_TRUE(root) << c.name;
    const auto* pb = root->findProperty("PB");
    const auto* br = root->findProperty("BR");
    EXPECT_EQ(pb ? pb->value : "", c.black) << c.name;
    EXPECT_EQ(br ? br->value : "", c.rank) << c.name;
  }
}

TEST(SgfFileTest, WriterJoinsChainsAndParenthesisesVariations) {
  SgfNode root;
  root.setValue("GM", "1");
  root.addProperty({"", "skipped", {}});
  SgfNode* a = root.addChild();
  a->setValue("B", "aa");
  SgfNode* b = a->addChild();
  b->setValue("W", "bb");
  b->addChild()->setValue("B", "cc");
  SgfNode* c = a->addChild();
  c->addProperty({"AB", "dd", {"ee"}});
  EXPECT_EQ(SgfFile::format(root), "(;GM[1];B[aa](;W[bb];B[cc])(;AB[dd][ee]))");
  EXPECT_EQ(reread(SgfFile::format(root)), SgfFile::format(root));
}

// Every property of the tree but CA, in order, as "ID[value][value]".
std::vector<std::string> valuesBesidesCa(const SgfNode& root) {
  std::vector<std::string> out;
  for (const SgfNode* node : root.flatten())
    for (const auto& p : node->properties()) {
      if (p.identifier == "CA") continue;
      std::string text = p.identifier + "[" + p.value + "]";
      for (const std::string& v : p.moreValues) text += "[" + v + "]";
      out.push_back(text);
    }
  return out;
}

// A written file says the charset its text is in, whatever the file it was read from declared.
TEST(SgfFileTest, WrittenFilesDeclareTheirCharset) {
  const struct {
    const char* name;
    std::string text;  // read as GB
    std::string gb;    // written as GB
    std::string utf8;  // written as UTF-8
  } cases[] = {
      {"ASCII", "(;PB[Lee];B[aa])", "(;PB[Lee];B[aa])", "(;CA[UTF-8]PB[Lee];B[aa])"},
      {"ASCII with the CA of its file", "(;CA[ISO-2022-JP]PB[Lee])", "(;CA[GBK]PB[Lee])", "(;CA[UTF-8]PB[Lee])"},
      {"GB names", "(;PB[\xB6\xCE];B[aa])", "(;CA[GBK]PB[\xB6\xCE];B[aa])", "(;CA[UTF-8]PB[\xE6\xAE\xB5];B[aa])"},
      {"GB in a later node, CA in place", "(;GM[1]CA[gb2312]SZ[9];B[aa]C[\xB6\xCE])",
       "(;GM[1]CA[GBK]SZ[9];B[aa]C[\xB6\xCE])", "(;GM[1]CA[UTF-8]SZ[9];B[aa]C[\xE6\xAE\xB5])"},
      // 乚 is 0x81 0x5D in GB.
      {"escapes and a second byte that is ]", "(;C[a\\]b\x81\x5D\\\\])", "(;CA[GBK]C[a\\]b\x81\x5D\\\\])",
       "(;CA[UTF-8]C[a\\]b\xE4\xB9\x9A\\\\])"},
  };
  for (const auto& c : cases) {
    const auto root = SgfFile::parse(c.text, false);
    ASSERT_TRUE(root) << c.name;
    EXPECT_EQ(SgfFile::formatFile(*root, mh::SgfEncoding::Gb), c.gb) << c.name;
    EXPECT_EQ(SgfFile::formatFile(*root, mh::SgfEncoding::Utf8), c.utf8) << c.name;
    // Either file reads back as the tree the program held, even with the BIG5 choice.
    for (const std::string& file : {c.gb, c.utf8}) {
      const auto back = SgfFile::parse(file, true);
      ASSERT_TRUE(back) << c.name;
      EXPECT_EQ(valuesBesidesCa(*back), valuesBesidesCa(*root)) << c.name << ": " << file;
    }
  }
}

TEST(SgfFileTest, DeepNestingAndLongChainsDoNotOverflowTheStack) {
  const int depth = 200000;
  std::string nested;
  for (int i = 0; i < depth; ++i) nested += "(;B[aa]";
  nested += std::string(depth, ')');
  const auto root = SgfFile::parse(nested, false);
  ASSERT_TRUE(root);
  // Each variation is its parent's only child, so the writer joins them into one chain.
  EXPECT_EQ(SgfFile::format(*root).size(), 2 + 6 * static_cast<size_t>(depth));
  // Unbalanced: everything built is freed without recursion.
  EXPECT_FALSE(SgfFile::parse(nested.substr(0, nested.size() - 1), false));

  std::string chain = "(";
  for (int i = 0; i < depth; ++i) chain += ";W[bb]";
  chain += ")";
  const auto line = SgfFile::parse(chain, false);
  ASSERT_TRUE(line);
  EXPECT_EQ(SgfFile::format(*line), chain);
}

TEST(SgfFileTest, HostileInputFailsOrParsesWithoutHarm) {
  const std::string huge(8 << 20, 'x');
  const auto big = SgfFile::parse("(;C[" + huge + "])", false);
  ASSERT_TRUE(big);
  EXPECT_EQ(big->comment().size(), huge.size());
  EXPECT_FALSE(SgfFile::parse("(;C[" + huge, false));

  std::string junk;
  unsigned seed = 12345;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1103515245u + 12345u;
    junk.push_back(static_cast<char>(seed >> 16));
  }
  for (size_t cut : {size_t{0}, size_t{1}, size_t{17}, junk.size()}) {
    (void)SgfFile::parse(junk.substr(0, cut), false);
    (void)SgfFile::parse("(;" + junk.substr(0, cut), true);
  }
  EXPECT_FALSE(SgfFile::parse(std::string("(\0;B[aa])", 9), false));
}

// A text that does not parse says why and where the parser stopped: the offending character, or
// the opening "[" of a value the text never closes, or the end of the text.
TEST(SgfFileTest, AFailureSaysWhyAndWhere) {
  const struct {
    const char* name;
    std::string text;
    size_t maxParts;
    std::string error;
  } cases[] = {
      {"empty", "", SgfFile::kMaxParts, "line 1, column 1 (byte 0): no game tree: the text holds no '('"},
      {"prose", "a game\nof go\n", SgfFile::kMaxParts, "line 3, column 1 (byte 13): no game tree: the text holds no '('"},
      {"only empty trees", "()", SgfFile::kMaxParts, "line 1, column 3 (byte 2): the text ends where a game tree '(' belongs"},
      {"no node", "(x)", SgfFile::kMaxParts, "line 1, column 2 (byte 1): found 'x' where a node ';' belongs"},
      {"control byte", std::string("(\0;B[aa])", 9), SgfFile::kMaxParts,
       "line 1, column 2 (byte 1): found byte 0x00 where a node ';' belongs"},
      {"lower-case identifier on line 2", "(;B[aa]\n;W[bb]c[dd])", SgfFile::kMaxParts,
       "line 2, column 7 (byte 14): found 'c' where a property, ';', '(' or ')' belongs"},
      {"two-byte character", "(;B[aa]\xB0\xD7)", SgfFile::kMaxParts,
       "line 1, column 8 (byte 7): found bytes 0xB0 0xD7 where a property, ';', '(' or ')' belongs"},
      {"unclosed value", "(;C[one\ntwo", SgfFile::kMaxParts,
       "line 1, column 4 (byte 3): no ']' closes this value before the text ends"},
      {"unclosed variation", "(;B[aa](;W[bb])", SgfFile::kMaxParts,
       "line 1, column 16 (byte 15): the text ends where a property, ';', '(' or ')' belongs"},
      {"too many parts", "(;B[aa];W[bb])", 2, "line 1, column 8 (byte 7): more than 2 nodes and values"},
      {"unclosed UTF-8 value", "(;CA[UTF-8]C[\xC3\xA9", SgfFile::kMaxParts,
       "line 1, column 13 (byte 12): no ']' closes this value before the text ends"},
  };
  for (const auto& c : cases) {
    mh::ParseError error;
    EXPECT_FALSE(SgfFile::parse(c.text, false, &error, c.maxParts)) << c.name;
    EXPECT_EQ(error.text(), c.error) << c.name;
  }
  mh::ParseError untouched{"kept"};
  EXPECT_TRUE(SgfFile::parse("(;B[aa])", false, &untouched));
  EXPECT_EQ(untouched.reason, "kept");
}

class SgfFileOnDiskTest : public testing::Test {
 protected:
  mh::test::ScratchDir scratch_;
  std::filesystem::path dir_{scratch_.path()};
};

TEST_F(SgfFileOnDiskTest, WritesAndReadsFiles) {
  const auto root = SgfFile::parse("(;SZ[9]C[line\nbreak];B[aa])", false);
  ASSERT_TRUE(root);
  const std::string path = (dir_ / "game.sgf").string();
  ASSERT_TRUE(SgfFile::write(path, *root));
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "(;SZ[9]C[line\nbreak];B[aa])");
  const auto back = SgfFile::read(path, false);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, *root);
}

TEST_F(SgfFileOnDiskTest, UnreadableOrUnwritablePathsFail) {
  SgfNode root;
  EXPECT_FALSE(SgfFile::read((dir_ / "missing.sgf").string(), false));
  EXPECT_FALSE(SgfFile::read(dir_.string(), false));  // a directory
  EXPECT_FALSE(SgfFile::read("", false));
  EXPECT_FALSE(SgfFile::write("", root));
  EXPECT_FALSE(SgfFile::write(dir_.string(), root));
  EXPECT_FALSE(SgfFile::write((dir_ / "no" / "x.sgf").string(), root));
}

}  // namespace
