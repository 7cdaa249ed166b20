#include "patterns/previous_data_file.h"

#include <algorithm>

#include "patterns/pattern_file_header.h"

namespace mh {

namespace {

constexpr size_t kWindow = size_t{1} << 20;

}  // namespace

bool PreviousDataFile::open(const std::string& dataPath, const std::string& indexPath, const DataFileStamp& stamp,
                            int expectedEntries) {
  window_.clear();
  at_ = -1;
  hasNext_ = false;
  if (stamp.entries == 0 || stamp.entries != expectedEntries || !file_.open(dataPath, BinaryFile::Mode::ReadOnly))
    return false;
  const auto size = file_.size();
  if (!size || *size != stamp.bytes || !index_.open(indexPath) || index_.count() != expectedEntries ||
      !hasStamp(stamp))
    return false;
  size_ = *size;
  hasNext_ = index_.next(next_);
  return hasNext_;
}

bool PreviousDataFile::hasStamp(const DataFileStamp& stamp) {
  DataCheck check;
  std::vector<std::uint8_t> piece;
  for (std::uint64_t at = 0; at < stamp.bytes; at += piece.size()) {
    piece.resize(static_cast<size_t>(std::min<std::uint64_t>(kWindow, stamp.bytes - at)));
    if (!file_.readAt(at, piece.data(), piece.size())) return false;
    check.fold(piece);
  }
  return check.value() == stamp.check;
}

bool PreviousDataFile::advanceTo(int number) {
  while (at_ < number && hasNext_) {
    current_ = next_;
    ++at_;
    hasNext_ = at_ + 1 < index_.count() && index_.next(next_);
  }
  return at_ == number;
}

std::span<const std::uint8_t> PreviousDataFile::entry(int number, PatternIndexRecord& record) {
  if (number < 0 || number >= index_.count() || !advanceTo(number)) return {};
  // An entry ends where the next begins; the last at the end of the file. A record that does not
  // read leaves the entries before it without an end: they are not taken.
  if (!hasNext_ && number + 1 < index_.count()) return {};
  record = current_;
  const auto begin = static_cast<std::uint64_t>(std::max(current_.location, 0));
  const std::uint64_t end = hasNext_ ? static_cast<std::uint64_t>(std::max(next_.location, 0)) : size_;
  if (begin < PatternFileHeader::kBytes || end <= begin || end > size_) return {};
  if (begin < windowStart_ || end > windowStart_ + window_.size()) {
    window_.resize(static_cast<size_t>(std::min<std::uint64_t>(std::max<std::uint64_t>(kWindow, end - begin), size_ - begin)));
    windowStart_ = begin;
    if (!file_.readAt(begin, window_.data(), window_.size())) {
      window_.clear();
      return {};
    }
  }
  return std::span<const std::uint8_t>(window_).subspan(static_cast<size_t>(begin - windowStart_),
                                                        static_cast<size_t>(end - begin));
}

}  // namespace mh
