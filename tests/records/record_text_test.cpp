// Records written by other programs in every charset they use, read into the program's GB text.
#include "records/record_text.h"

#include <gtest/gtest.h>

#include <string>

#include "model/game_record.h"
#include "platform/text_codec.h"
#include "records/gib_file.h"
#include "records/sgf_conversion.h"
#include "records/sgf_file.h"
#include "support/encoded_text.h"

namespace {

using namespace mh;
using test::encodedAs;

// The texts of a small record, in UTF-8.
struct Texts {
  const char* game;
  const char* black;
  const char* white;
  const char* result;
  const char* comment;
};

const Texts kSimplified = {"第十届应氏杯决赛", "李昌镐", "聂卫平", "黑胜1目半", "黑棋开局就掌握了主动，许多变化。"};
// BIG5: 許 is 0xB3 0x5C, a second byte that equals "\".
const Texts kTraditional = {"第十屆應氏盃決賽", "李昌鎬", "聶衛平", "黑勝1目半", "黑棋開局就掌握了主動，許多變化。"};
const Texts kTraditionalAsGb = {"第十届应氏杯决赛", "李昌镐", "聂卫平", "黑胜1目半", "黑棋开局就掌握了主动，许多变化。"};
// Shift_JIS: ソ, 表 and 能 have 0x5C, "\", as their second byte.
const Texts kJapanese = {"第45期棋聖戦七番勝負第1局", "井山裕太", "一力遼", "B+中押し",
                         "ソフトの表示機能で形勢を確認した。白は序盤から積極的に打ち進めた。"};
const Texts kKorean = {"제10기 명인전 결승 3국", "이세돌", "박정환", "B+불계승", "흑이 초반부터 주도권을 잡았다. 이세돌(李世乭) 9단"};
const Texts kLatin = {"Europameisterschaft", "Müller", "José", "W+Zeit", "Gut gespielt, très bien."};
const Texts kCyrillic = {"Чемпионат Европы", "Иванов", "Петров", "W+время", "Хорошая партия."};
// GB18030 holds Hangul in four bytes, which the program's GB cannot.
const Texts kWithHangul = {"第十届应氏杯决赛", "李昌镐", "박정환", "黑胜1目半", "黑棋开局就掌握了主动。"};

// An SGF record of those texts in UTF-8, with CA[declared] in the root when declared is given.
std::string sgfText(const Texts& t, const char* declared) {
  std::string text = "(;GM[1]FF[4]";
  if (declared) text += std::string("CA[") + declared + "]";
  text += std::string("SZ[19]GN[") + t.game + "]PB[" + t.black + "]BR[9d]PW[" + t.white + "]WR[9d]RE[" + t.result +
          "]\n;B[pd]C[" + t.comment + "];W[dp];B[pp])";
  return text;
}

// What the program keeps of a UTF-8 text: GB, "?" for every character GB has no form for.
std::string kept(const char* utf8) { return text::utf8ToGb(utf8); }

void expectTexts(const GameRecord& record, const Texts& expected, const std::string& context) {
  const GameInfo& info = record.info();
  EXPECT_EQ(info.gameName(), kept(expected.game)) << context;
  EXPECT_EQ(info.blackName(), kept(expected.black)) << context;
  EXPECT_EQ(info.whiteName(), kept(expected.white)) << context;
  EXPECT_EQ(info.resultText(), kept(expected.result)) << context;
  ASSERT_EQ(record.entryCount(), 3) << context;
  EXPECT_EQ(record.entries().front().properties.comment(), kept(expected.comment)) << context;
}

constexpr std::string_view kNoMark;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kUtf32LeMark{"\xFF\xFE\x00\x00", 4};
constexpr std::string_view kUtf32BeMark{"\x00\x00\xFE\xFF", 4};

struct CharsetCase {
  const char* name;
  const char* writtenIn;  // the charset the other program wrote
  const char* declared;   // its CA, or none
  std::string_view mark;  // its byte-order mark
  bool big5;              // the user's choice in the open dialog
  const Texts& texts;
  const Texts& expected;  // what the program shows
};

const CharsetCase kCharsetCases[] = {
    {"GBK declared", "GBK", "GBK", kNoMark, false, kSimplified, kSimplified},
    {"GB2312 declared", "GB2312", "GB2312", kNoMark, false, kSimplified, kSimplified},
    {"CP936 declared", "GBK", "cp936", kNoMark, false, kSimplified, kSimplified},
    {"GB18030 declared, holding Hangul", "GB18030", "GB18030", kNoMark, false, kWithHangul, kWithHangul},
    {"GB undeclared", "GBK", nullptr, kNoMark, false, kSimplified, kSimplified},
    {"GB declared wins over the BIG5 choice", "GBK", "GBK", kNoMark, true, kSimplified, kSimplified},
    {"BIG5 declared, no choice", "Big5", "Big5", kNoMark, false, kTraditional, kTraditionalAsGb},
    {"BIG5 declared in lower case", "Big5", "big5", kNoMark, false, kTraditional, kTraditionalAsGb},
    {"CP950 declared", "windows-950", "CP950", kNoMark, false, kTraditional, kTraditionalAsGb},
    {"BIG5-HKSCS declared", "Big5-HKSCS", "Big5-HKSCS", kNoMark, false, kTraditional, kTraditionalAsGb},
    {"BIG5 undeclared, BIG5 choice", "Big5", nullptr, kNoMark, true, kTraditional, kTraditionalAsGb},
    {"UTF-8 declared", "UTF-8", "UTF-8", kNoMark, false, kJapanese, kJapanese},
    {"UTF-8 undeclared", "UTF-8", nullptr, kNoMark, false, kKorean, kKorean},
    {"UTF-8 undeclared, BIG5 choice", "UTF-8", nullptr, kNoMark, true, kSimplified, kSimplified},
    {"Shift_JIS declared", "Shift_JIS", "Shift_JIS", kNoMark, false, kJapanese, kJapanese},
    {"SJIS declared", "Shift_JIS", "SJIS", kNoMark, false, kJapanese, kJapanese},
    {"MS_Kanji declared", "Shift_JIS", "MS_Kanji", kNoMark, false, kJapanese, kJapanese},
    {"CP932 declared", "windows-31j", "CP932", kNoMark, false, kJapanese, kJapanese},
    {"Shift_JIS undeclared", "Shift_JIS", nullptr, kNoMark, false, kJapanese, kJapanese},
    {"Shift_JIS undeclared, BIG5 choice", "Shift_JIS", nullptr, kNoMark, true, kJapanese, kJapanese},
    {"EUC-JP declared", "EUC-JP", "EUC-JP", kNoMark, false, kJapanese, kJapanese},
    {"ISO-2022-JP declared", "ISO-2022-JP", "ISO-2022-JP", kNoMark, false, kJapanese, kJapanese},
    {"ISO-2022-JP undeclared", "ISO-2022-JP", nullptr, kNoMark, false, kJapanese, kJapanese},
    {"EUC-KR declared", "EUC-KR", "EUC-KR", kNoMark, false, kKorean, kKorean},
    {"CP949 declared", "windows-949", "CP949", kNoMark, false, kKorean, kKorean},
    {"UHC declared", "windows-949", "UHC", kNoMark, false, kKorean, kKorean},
    {"KS_C_5601-1987 declared", "windows-949", "ks_c_5601-1987", kNoMark, false, kKorean, kKorean},
    {"EUC-KR undeclared", "EUC-KR", nullptr, kNoMark, false, kKorean, kKorean},
    {"ISO-8859-1 declared", "ISO-8859-1", "ISO-8859-1", kNoMark, false, kLatin, kLatin},
    {"Windows-1252 declared", "windows-1252", "Windows-1252", kNoMark, false, kLatin, kLatin},
    {"KOI8-R declared", "KOI8-R", "KOI8-R", kNoMark, false, kCyrillic, kCyrillic},
    {"Windows-1251 declared", "windows-1251", "windows-1251", kNoMark, false, kCyrillic, kCyrillic},
    {"UTF-8 mark", "UTF-8", nullptr, kUtf8Mark, false, kJapanese, kJapanese},
    {"UTF-8 mark over a stale GB declaration", "UTF-8", "GB2312", kUtf8Mark, false, kSimplified, kSimplified},
    {"UTF-16LE mark", "UTF-16LE", nullptr, kUtf16LeMark, false, kKorean, kKorean},
    {"UTF-16BE mark", "UTF-16BE", "UTF-16", kUtf16BeMark, false, kSimplified, kSimplified},
    {"UTF-32LE mark", "UTF-32LE", nullptr, kUtf32LeMark, false, kJapanese, kJapanese},
    {"UTF-32BE mark", "UTF-32BE", nullptr, kUtf32BeMark, true, kCyrillic, kCyrillic},
    {"UTF-16LE mark over a GB declaration", "UTF-16LE", "GB2312", kUtf16LeMark, false, kSimplified, kSimplified},
    {"unknown charset declared, GB choice", "GBK", "x-unknown", kNoMark, false, kSimplified, kSimplified},
    {"unknown charset declared, BIG5 choice", "Big5", "x-unknown", kNoMark, true, kTraditional, kTraditionalAsGb},
    {"ASCII declared over GB text", "GBK", "US-ASCII", kNoMark, false, kSimplified, kSimplified},
};

TEST(RecordTextTest, SgfRecordsReadInTheirCharset) {
  for (const CharsetCase& c : kCharsetCases) {
    const std::string bytes = std::string(c.mark) + encodedAs(sgfText(c.texts, c.declared), c.writtenIn);
    const auto root = SgfFile::parse(bytes, c.big5);
    ASSERT_TRUE(root) << c.name;
    GameRecord record;
    ASSERT_TRUE(sgfToRecord(*root, record)) << c.name;
    expectTexts(record, c.expected, c.name);
  }
}

// A GIB header of the texts, as a server writes it.
std::string gibText(const Texts& t) {
  return std::string("\\HS\r\n\\[GAMENAME=") + t.game + "\\]\r\n\\[GAMEBLACKNAME=" + t.black +
         "\\]\r\n\\[GAMEWHITENAME=" + t.white + "\\]\r\n\\[GAMECONDITION=" + t.comment + "\\]\r\n\\[GAMERESULT=" +
         t.result + "\\]\r\n\\HE\r\nSTO 0 2 1 15 3\r\nSTO 0 3 2 3 15\r\n";
}

TEST(RecordTextTest, GibRecordsReadInTheirCharset) {
  const CharsetCase cases[] = {
      {"GB", "GBK", nullptr, kNoMark, false, kSimplified, kSimplified},
      {"GB, BIG5 choice: not valid BIG5 throughout", "GBK", nullptr, kNoMark, false, kSimplified, kSimplified},
      {"BIG5 choice", "Big5", nullptr, kNoMark, true, kTraditional, kTraditionalAsGb},
      {"UTF-8", "UTF-8", nullptr, kNoMark, true, kJapanese, kJapanese},
      {"Korean server", "EUC-KR", nullptr, kNoMark, false, kKorean, kKorean},
      {"Japanese", "Shift_JIS", nullptr, kNoMark, false, kJapanese, kJapanese},
      {"UTF-16LE mark", "UTF-16LE", nullptr, kUtf16LeMark, false, kCyrillic, kCyrillic},
  };
  for (const CharsetCase& c : cases) {
    const std::string bytes = std::string(c.mark) + encodedAs(gibText(c.texts), c.writtenIn);
    GibFile gib(c.big5);
    ASSERT_TRUE(gib.parse(bytes)) << c.name;
    const GameInfo& info = gib.record().info();
    EXPECT_EQ(info.gameName(), kept(c.expected.game)) << c.name;
    EXPECT_EQ(info.blackName(), kept(c.expected.black)) << c.name;
    EXPECT_EQ(info.whiteName(), kept(c.expected.white)) << c.name;
    EXPECT_EQ(info.rules(), kept(c.expected.comment)) << c.name;
    EXPECT_EQ(gib.record().entryCount(), 2) << c.name;
  }
}

// How a Korean name appears: one "?" per Hangul syllable, since GB has no Hangul; Hanja written
// beside it keep their form.
TEST(RecordTextTest, AKoreanNameKeepsOneQuestionMarkPerSyllable) {
  const auto root = SgfFile::parse(encodedAs("(;PB[이세돌]PW[李世乭]C[흑이 초반부터 주도권을 잡았다.])", "EUC-KR") , false);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->findProperty("PB")->value, "???");
  EXPECT_EQ(text::gbToUtf8(root->findProperty("PW")->value), "李世乭");
}

// Detection never trades GB for BIG5 or the reverse, and a record too short for the detector to
// judge keeps the user's choice: its bytes are read as they stand.
TEST(RecordTextTest, UndetectableTextKeepsTheUsersChoice) {
  const struct {
    const char* name;
    std::string bytes;
    bool big5;
    RecordTextForm form;
  } cases[] = {
      {"short Korean names", encodedAs("(;PB[이세돌]PW[박정환])", "EUC-KR"), false, RecordTextForm::Gb},
      {"short Japanese names", encodedAs("(;PB[井山裕太]PW[一力遼])", "Shift_JIS"), true, RecordTextForm::Big5},
      {"EUC-JP without CA", encodedAs(sgfText(kJapanese, nullptr), "EUC-JP"), false, RecordTextForm::Gb},
      {"BIG5 text, GB choice", encodedAs(sgfText(kTraditional, nullptr), "Big5"), false, RecordTextForm::Gb},
      {"GB text, BIG5 choice", encodedAs(sgfText(kSimplified, nullptr), "GBK"), true, RecordTextForm::Big5},
      {"plain ASCII", "(;PB[Lee]PW[Park])", true, RecordTextForm::Big5},
  };
  for (const auto& c : cases) {
    const RecordText text(c.bytes, c.big5);
    EXPECT_EQ(text.form(), c.form) << c.name;
    EXPECT_FALSE(text.decoded()) << c.name;
    EXPECT_EQ(text.text(), c.bytes) << c.name;
  }
}

// A Korean or Japanese record is told by its characters alone, wherever they stand among the
// moves, and a control character anywhere in it, even far from them, still rules it out.
TEST(RecordTextTest, DetectionWeighsTheWholeRecord) {
  std::string moves;
  for (int i = 0; i < 200; ++i) moves += ";B[pd];W[dp]";
  const std::string korean = sgfText(kKorean, nullptr);
  const std::string japanese = sgfText(kJapanese, nullptr);
  const struct {
    const char* name;
    std::string utf8;
    const char* writtenIn;
    RecordTextForm form;
  } cases[] = {
      {"Korean, moves after", korean.substr(0, korean.size() - 1) + moves + ")", "EUC-KR", RecordTextForm::Utf8},
      {"Korean, moves before", "(;SZ[19]" + moves + ";" + korean.substr(2), "EUC-KR", RecordTextForm::Utf8},
      {"Korean, white space after", korean + "\r\n\t\n", "EUC-KR", RecordTextForm::Utf8},
      {"Korean, a control character far after", korean.substr(0, korean.size() - 1) + moves + ")\x1A", "EUC-KR",
       RecordTextForm::Gb},
      {"Korean, a control character far before", "\x01" + moves + korean, "EUC-KR", RecordTextForm::Gb},
      {"Korean, a delete far after", korean + moves + "\x7F", "EUC-KR", RecordTextForm::Gb},
      {"Japanese, moves after", japanese.substr(0, japanese.size() - 1) + moves + ")", "Shift_JIS",
       RecordTextForm::Utf8},
      {"Japanese, a control character far after", japanese + moves + "\x0B", "Shift_JIS", RecordTextForm::Gb},
      {"GB, moves after", sgfText(kSimplified, nullptr) + moves, "GBK", RecordTextForm::Gb},
  };
  for (const auto& c : cases) {
    const std::string bytes = encodedAs(c.utf8, c.writtenIn);
    const RecordText text(bytes, false);
    EXPECT_EQ(text.form(), c.form) << c.name;
  }
}

// A record that declares UTF-8 but holds bytes that are not UTF-8 is read, each invalid sequence
// kept as "?", and so is every foreign charset's undecodable byte.
TEST(RecordTextTest, InvalidBytesBecomeQuestionMarksNeverARefusal) {
  const struct {
    const char* name;
    std::string text;
    std::string black;  // GB
    std::string comment;
  } cases[] = {
      {"UTF-8 declared, a stray byte", "(;CA[UTF-8]PB[Lee\xFF]C[\xE9\xBB\x91]PW[x];B[aa])", "Lee?", ""},
      {"UTF-8 declared, a cut character", "(;CA[UTF-8]PB[\xE6\xAE]C[ok];B[aa])", "?", "ok"},
      // 0xB6 and 0xCE start no UTF-8 character; 0xC4 0xBE is one that GB lacks.
      {"UTF-8 declared, GB bytes", "(;CA[UTF-8]PB[\xB6\xCE\xC4\xBE]C[ok];B[aa])", "???", "ok"},
      // A Shift_JIS lead byte takes the next byte with it, even "]", as a byte-pair reading would.
      {"Shift_JIS declared, a lead byte before ]", "(;CA[Shift_JIS]PB[a\x82]C[ok];B[aa])", "a?C[ok", ""},
      {"EUC-KR declared, bytes outside it", "(;CA[EUC-KR]PB[\xFF\xFF]C[ok];B[aa])", "??", "ok"},
      {"KOI8-R declared, a control byte", "(;CA[KOI8-R]PB[a\x1A]C[ok];B[aa])", "a\x1A", "ok"},
  };
  for (const auto& c : cases) {
    const auto root = SgfFile::parse(c.text, false);
    ASSERT_TRUE(root) << c.name;
    EXPECT_EQ(root->findProperty("PB")->value, c.black) << c.name;
    if (!c.comment.empty()) {
      EXPECT_EQ(root->comment(), c.comment) << c.name;
    }
    // Whatever the bytes were, the tree writes back as a file that reads the same.
    const auto again = SgfFile::parse(SgfFile::formatFile(*root, SgfEncoding::Gb), false);
    ASSERT_TRUE(again) << c.name;
    EXPECT_EQ(again->findProperty("PB")->value, c.black) << c.name;
    EXPECT_EQ(again->comment(), root->comment()) << c.name;
  }
}

}  // namespace
