#include "patterns/wpb.h"

#include <system_error>
#include <thread>
#include <utility>

namespace mh {

Wpb::Wpb(std::string title, std::string recordDirectory, std::string fileName, std::string home)
    : title_(std::move(title)),
      recordDirectory_(std::move(recordDirectory)),
      fileName_(std::move(fileName)),
      home_(std::move(home)) {}

void Wpb::setRecordDirectory(std::string directory) {
  close();
  recordDirectory_ = std::move(directory);
  if (!recordDirectory_.empty() && recordDirectory_.back() != '/') recordDirectory_ += '/';
}

void Wpb::openForHints() {
  index_.clear();
  indexRead_ = false;
  // The two libraries are independent: each opens on a core of its own where there are two.
  const auto openLocal = [this] { (void)local_.openIndex(filePath("lb_"), filePath("lb"), filePath("lb.keys")); };
  std::thread local;
  try {
    local = std::thread(openLocal);
  } catch (const std::system_error&) {
    openLocal();  // no thread to be had: one after the other
  }
  (void)global_.openIndex(filePath("wp2_"), filePath("wp2"), filePath("wp2.keys"));
  if (local.joinable()) local.join();
  open_ = true;
}

const GameIndex& Wpb::gameIndex() const {
  if (open_ && !indexRead_) {
    indexRead_ = true;
    if (!index_.read(filePath("idx"), recordDirectory_)) {
      index_.clear();
      index_.setDirectory(recordDirectory_);
    }
  }
  return index_;
}

void Wpb::close() {
  index_.clear();
  indexRead_ = false;
  global_.reset();
  local_.reset();
  open_ = false;
}

}  // namespace mh
