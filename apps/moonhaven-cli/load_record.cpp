#include "load_record.h"

#include <cstdio>

#include "records/record_loader.h"

namespace mh::cli {

bool loadRecord(const std::string& path, bool big5, GameRecord& record) {
  int resultCode = 0;
  ParseError error;
  const RecordLoadStatus status = loadRecordFile(path, big5, record, resultCode, &error);
  if (status == RecordLoadStatus::Ok) return true;
  std::fprintf(stderr, "%s\n%s: %s\n", recordLoadMessage(status), path.c_str(), error.text().c_str());
  return false;
}

}  // namespace mh::cli
