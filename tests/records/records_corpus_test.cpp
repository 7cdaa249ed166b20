// Every record of the real-game corpus loads, keeps its names and survives show, convert, show.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/sgf_value.h"
#include "platform/text_codec.h"
#include "records/position_report.h"
#include "records/record_loader.h"
#include "records/sgf_conversion.h"
#include "records/sgf_file.h"
#include "support/corpus_sample.h"
#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace mh;

struct Folder {
  const char* name;
  bool big5;
};
constexpr Folder kFolders[] = {{"ai-pro", false}, {"tygem-gb", false}, {"tygem-big5", true}};

// The record files of a corpus folder in name order (a sample under MOONHAVEN_CORPUS_STRIDE).
std::vector<std::string> recordFiles(const char* folder) {
  std::vector<std::string> files;
  const fs::path root = fs::path(MOONHAVEN_CORPUS) / folder;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file()) files.push_back(it->path().string());
  std::sort(files.begin(), files.end());
  return test::corpusSample(files);
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The bytes between "ID[" and the next "]", looked up without any SGF reading.
std::string rawValue(const std::string& text, const std::string& id) {
  const size_t start = text.find(id + "[");
  if (start == std::string::npos) return {};
  const size_t from = start + id.size() + 1;
  return text.substr(from, text.find(']', from) - from);
}

class RecordsCorpusTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(MOONHAVEN_CORPUS)) GTEST_SKIP() << "no corpus at " << MOONHAVEN_CORPUS;
  }
};

TEST_F(RecordsCorpusTest, EveryRecordLoadsAndConverts) {
  for (const Folder& folder : kFolders) {
    const auto files = recordFiles(folder.name);
    std::vector<std::string> failures;
    for (const std::string& path : files) {
      GameRecord record;
      int code = 0;
      const RecordLoadStatus status = loadRecordFile(path, folder.big5, record, code);
      if (status != RecordLoadStatus::Ok) failures.push_back(path + ": " + recordLoadMessage(status));
      // The builders' reading gives the same record without the entries' properties.
      GameRecord moves;
      int movesCode = -1;
      const RecordLoadStatus movesStatus = loadRecordMoves(path, folder.big5, moves, movesCode);
      for (MoveEntry& e : record.entries()) e.properties.clear();
      if (movesStatus != status || movesCode != code || !(moves == record)) failures.push_back(path + ": moves differ");
    }
    EXPECT_FALSE(files.empty()) << folder.name;
    EXPECT_TRUE(failures.empty()) << folder.name << ": " << testing::PrintToString(failures);
    RecordProperty(folder.name, std::to_string(files.size() - failures.size()) + " of " + std::to_string(files.size()));
    std::printf("%s: %zu of %zu records load\n", folder.name, files.size() - failures.size(), files.size());
  }
}

TEST_F(RecordsCorpusTest, GbNamesAndResultsAreTheFileBytes) {
  const auto files = recordFiles("tygem-gb");
  int compared = 0;
  for (size_t i = 0; i < files.size(); i += 7) {
    const std::string text = fileBytes(files[i]);
    GameRecord record;
    int code = 0;
    ASSERT_EQ(loadRecordFile(files[i], false, record, code), RecordLoadStatus::Ok) << files[i];
    EXPECT_EQ(record.info().blackName(), rawValue(text, "PB")) << files[i];
    EXPECT_EQ(record.info().whiteName(), rawValue(text, "PW")) << files[i];
    EXPECT_EQ(record.info().blackRank(), rawValue(text, "BR")) << files[i];
    EXPECT_EQ(record.info().resultText(), sgf::trim(rawValue(text, "RE"))) << files[i];
    ++compared;
  }
  EXPECT_GT(compared, 200 / static_cast<int>(test::corpusStride()));
}

TEST_F(RecordsCorpusTest, Big5NamesComeOutAsSimplifiedGb) {
  struct Known {
    const char* file;
    const char* black;  // UTF-8
    const char* white;
  };
  // Names whose BIG5 bytes hold "]" or "\" as a second byte.
  const Known known[] = {
      {"25/253962078.sgf", "恶魔在身边", nullptr},
      {"25/254000346.sgf", nullptr, "火龙小哪吒"},
      {"25/254002084.sgf", "火龙小哪吒", nullptr},
      // Names in the user-defined area that the common extension fills: kana, numbers, a radical.
      {"25/253979633.sgf", nullptr, "もなぢ"},
      {"25/253963823.sgf", "⑥ⅸ⑸", nullptr},
      {"25/253965731.sgf", nullptr, "う丶う"},
  };
  for (const Known& k : known) {
    const std::string path = (fs::path(MOONHAVEN_CORPUS) / "tygem-big5" / k.file).string();
    GameRecord record;
    int code = 0;
    ASSERT_EQ(loadRecordFile(path, true, record, code), RecordLoadStatus::Ok) << path;
    if (k.black) {
      EXPECT_EQ(text::gbToUtf8(record.info().blackName()), k.black) << path;
    }
    if (k.white) {
      EXPECT_EQ(text::gbToUtf8(record.info().whiteName()), k.white) << path;
    }
  }
  // Every name converts, also those written with the common extension of code page 950's
  // user-defined area 0xC6A1 to 0xC8FE (Japanese kana, circled numbers, radicals).
  int withChinese = 0, withUserDefined = 0;
  for (const std::string& path : recordFiles("tygem-big5")) {
    GameRecord record;
    int code = 0;
    ASSERT_EQ(loadRecordFile(path, true, record, code), RecordLoadStatus::Ok) << path;
    const std::string text = fileBytes(path);
    const std::pair<std::string, std::string> names[] = {{record.info().blackName(), rawValue(text, "PB")},
                                                         {record.info().whiteName(), rawValue(text, "PW")}};
    for (const auto& [name, raw] : names) {
      if (text::hasHighBytes(name)) ++withChinese;
      bool userDefined = false;
      for (size_t i = 0; i + 1 < raw.size(); ++i) {
        const auto lead = static_cast<unsigned char>(raw[i]);
        if (lead >= 0x80) {
          userDefined |= lead >= 0xC6 && lead <= 0xC8 && (lead > 0xC6 || static_cast<unsigned char>(raw[i + 1]) >= 0xA1);
          ++i;
        }
      }
      EXPECT_EQ(name.find('?'), std::string::npos) << path << ": " << text::gbToUtf8(name);
      if (userDefined) ++withUserDefined;
    }
    EXPECT_EQ(text::gbToUtf8(record.info().blackRank()).find("段"), 1u) << path;
  }
  std::printf("tygem-big5: %d Chinese names, %d with user-defined BIG5 characters\n", withChinese, withUserDefined);
  EXPECT_GT(withChinese, 100 / static_cast<int>(test::corpusStride()));
}

// The lines of show's output that convert must keep: size, to-move and the board.
std::string keptLines(const std::string& report) {
  std::istringstream in(report);
  std::string line, kept;
  while (std::getline(in, line))
    if (line.rfind("size ", 0) == 0 || line.rfind("to-move ", 0) == 0 || line.find_first_not_of(".XO") == std::string::npos)
      kept += line + "\n";
  return kept;
}

std::string positionLine(const std::string& report) {
  const size_t at = report.find("position ");
  return report.substr(at, report.find('\n', at) - at);
}

// Converts as "convert" does; through a file for every 100th record, in memory for the others
// (the same text, without the cost of thousands of file writes).
bool convertAndReload(const GameRecord& record, const std::string& scratchFile, bool throughFile, GameRecord& back) {
  if (throughFile) {
    int code = 0;
    return saveRecordAsSgf(record, scratchFile) && loadRecordFile(scratchFile, false, back, code) == RecordLoadStatus::Ok;
  }
  SgfNode root;
  const GameInfo& info = record.info();
  if (!roomToSgf(record, info.blackName(), info.whiteName(), info.winner(), root)) return false;
  const auto reread = SgfFile::parse(SgfFile::format(root), false);
  return reread && sgfToRecord(*reread, back);
}

TEST_F(RecordsCorpusTest, ShowConvertShowKeepsTheGame) {
  const test::ScratchDir dir;
  const std::string scratchFile = dir.file("converted.sgf");
  for (const Folder& folder : kFolders) {
    int checked = 0;
    for (const std::string& path : recordFiles(folder.name)) {
      GameRecord first;
      int code = 0;
      ASSERT_EQ(loadRecordFile(path, folder.big5, first, code), RecordLoadStatus::Ok) << path;
      std::string before;
      ASSERT_TRUE(showRecord(first, std::nullopt, before)) << path;

      GameRecord second;
      ASSERT_TRUE(convertAndReload(first, scratchFile, checked % 100 == 0, second)) << path;
      std::string after;
      ASSERT_TRUE(showRecord(second, std::nullopt, after)) << path;

      EXPECT_EQ(keptLines(after), keptLines(before)) << path;
      EXPECT_EQ(second.info().blackName(), first.info().blackName()) << path;
      EXPECT_EQ(second.info().whiteName(), first.info().whiteName()) << path;
      EXPECT_EQ(second.info().winner(), first.info().winner()) << path;
      // Entries without move or stones (comment-only nodes) are not written.
      const auto dropped = std::count_if(first.entries().begin(), first.entries().end(), [](const MoveEntry& e) {
        return !e.hasMove() && e.blackSetup.empty() && e.whiteSetup.empty();
      });
      EXPECT_EQ(second.entryCount(), first.entryCount() - dropped) << path;
      if (dropped == 0) {
        EXPECT_EQ(positionLine(after), positionLine(before)) << path;
      }
      ++checked;
    }
    std::printf("%s: %d records survive show, convert, show\n", folder.name, checked);
  }
}

}  // namespace
