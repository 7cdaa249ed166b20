#include "records/record_loader.h"

#include "platform/ascii_text.h"
#include "records/gib_file.h"
#include "records/sgf_conversion.h"
#include "records/sgf_file.h"

namespace mh {

namespace {

// The file name's extension from its last dot, lower-cased; "" when the name has no dot.
std::string extensionOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return ascii::toLower(path.substr(dot));
}

ParseError notARecord() {
  return ParseError::whole("not a game record: the board size is outside 1.." + std::to_string(kMaxSgfBoardSide) +
                           ", or a move is not two letters");
}

}  // namespace

RecordLoadStatus loadRecordFile(const std::string& path, bool big5, GameRecord& record, int& resultCode,
                                ParseError* error, size_t tree) {
  resultCode = 0;
  const std::string ext = extensionOf(path);
  if (ext == ".sgf") {
    ParseError why;
    const auto trees = SgfFile::readAll(path, big5, &why, tree > 0);
    if (tree >= trees.size()) {
      if (error)
        *error = !trees.empty() && why.reason.empty()
                     ? ParseError::whole("the file holds " + std::to_string(trees.size()) + " game trees; there is no tree " +
                                         std::to_string(tree + 1))
                     : why;
      return RecordLoadStatus::SgfReadFailed;
    }
    if (!sgfToRecord(*trees[tree], record)) {
      if (error) *error = notARecord();
      return RecordLoadStatus::SgfConvertFailed;
    }
    resultCode = record.info().winner();
    return RecordLoadStatus::Ok;
  }
  if (ext == ".gib") {
    GibFile gib(big5);
    if (!gib.read(path, error)) return RecordLoadStatus::GibReadFailed;
    if (tree > 0) {
      if (error) *error = ParseError::whole("a GIB file holds one game; there is no tree " + std::to_string(tree + 1));
      return RecordLoadStatus::GibReadFailed;
    }
    if (!gib.toRecord(record, resultCode)) return RecordLoadStatus::GibConvertFailed;
    return RecordLoadStatus::Ok;
  }
  if (error) *error = ParseError::whole("the file name ends neither in .sgf nor in .gib");
  return RecordLoadStatus::UnknownFormat;
}

RecordLoadStatus loadRecordMoves(const std::string& path, bool big5, GameRecord& record, int& resultCode,
                                 ParseError* error) {
  if (extensionOf(path) != ".sgf") return loadRecordFile(path, big5, record, resultCode, error);
  resultCode = 0;
  // One layout per thread serves file after file.
  thread_local SgfLayout layout;
  ParseError why;
  if (!SgfFile::readLayout(path, big5, layout, &why, false)) {
    if (error) *error = why;
    return RecordLoadStatus::SgfReadFailed;
  }
  if (!sgfToRecord(layout, layout.trees().front(), record)) {
    if (error) *error = notARecord();
    return RecordLoadStatus::SgfConvertFailed;
  }
  resultCode = record.info().winner();
  return RecordLoadStatus::Ok;
}

RecordLoadStatus listRecordFile(const std::string& path, bool big5, std::vector<RecordSummary>& games,
                                ParseError* error) {
  games.clear();
  const std::string ext = extensionOf(path);
  if (ext == ".sgf") {
    ParseError why;
    const auto trees = SgfFile::readAll(path, big5, &why);
    if (error) *error = why;
    if (trees.empty()) return RecordLoadStatus::SgfReadFailed;
    for (const auto& root : trees) {
      RecordSummary game;
      GameRecord record;
      if (sgfToRecord(*root, record)) game = {true, record.info(), record.entryCount()};
      games.push_back(std::move(game));
    }
    return RecordLoadStatus::Ok;
  }
  GameRecord record;
  int resultCode = 0;
  const RecordLoadStatus status = loadRecordFile(path, big5, record, resultCode, error);
  if (status == RecordLoadStatus::Ok) games.push_back({true, record.info(), record.entryCount()});
  return status;
}

const char* recordLoadMessage(RecordLoadStatus status) {
  switch (status) {
    case RecordLoadStatus::Ok: return "";
    case RecordLoadStatus::UnknownFormat: return "不认识的文件格式!";
    case RecordLoadStatus::SgfReadFailed: return "读sgf文件失败!";
    case RecordLoadStatus::SgfConvertFailed: return "sgf ---> qipu失败!";
    case RecordLoadStatus::GibReadFailed: return "读gib文件失败!";
    case RecordLoadStatus::GibConvertFailed: return "gib ---> qipu失败!";
  }
  return "";
}

bool isRecordFileName(std::string_view path) {
  const std::string ext = extensionOf(std::string(path));
  return ext == ".sgf" || ext == ".gib";
}

}  // namespace mh
