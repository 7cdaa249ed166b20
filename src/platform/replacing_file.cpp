#include "platform/replacing_file.h"

#include <cstdio>
#include <utility>

namespace mh {

ReplacingFile::ReplacingFile(std::string target) : target_(std::move(target)), temp_(target_ + ".tmp") {}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::open() {
  discard();
  pending_ = file_.open(temp_, BinaryFile::Mode::Create);
  return pending_;
}

bool ReplacingFile::close() {
  if (!file_.isOpen()) return pending_;
  if (file_.close()) return true;
  discard();
  return false;
}

bool ReplacingFile::commit() {
  if (!pending_ || !close()) return false;
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
    discard();
    return false;
  }
  pending_ = false;
  return true;
}

void ReplacingFile::discard() {
  (void)file_.close();
  if (pending_) std::remove(temp_.c_str());
  pending_ = false;
}

bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  ReplacingFile out(path);
  return out.open() && out.file().writeAt(0, bytes.data(), bytes.size()) && out.commit();
}

}  // namespace mh
