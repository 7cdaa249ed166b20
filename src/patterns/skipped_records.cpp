#include "patterns/skipped_records.h"

namespace mh {

GameLoader SkippedRecordLog::watching(GameLoader load) {
  if (!load) return load;
  return [this, load = std::move(load)](const std::string& path, GameRecord& record, int& winner, ParseError* error) {
    ParseError why;
    if (load(path, record, winner, &why)) return true;
    skipped(path, why);
    if (error) *error = std::move(why);
    return false;
  };
}

void SkippedRecordLog::skipped(const std::string& path, const ParseError& error) {
  std::lock_guard lock(mutex_);
  if (++count_ <= kLineLimit && log_)
    log_("skipped record file " + path + ": " + (error.reason.empty() ? std::string("it does not load") : error.text()));
}

void SkippedRecordLog::finish() {
  std::lock_guard lock(mutex_);
  if (count_ > kLineLimit && log_)
    log_("skipped " + std::to_string(count_ - kLineLimit) + " more record files that do not load");
}

}  // namespace mh
