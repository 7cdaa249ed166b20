#include "patterns/previous_data_file.h"

#include <algorithm>

#include "patterns/data_file_pattern_store.h"
#include "patterns/pattern_file_header.h"

namespace mh {

namespace {

constexpr size_t kWindow = size_t{1} << 20;

}  // namespace

bool PreviousDataFile::open(const std::string& dataPath, const std::string& indexPath, const DataFileStamp& stamp,
                            int expectedEntries) {
  records_.clear();
  window_.clear();
  if (stamp.entries == 0 || stamp.entries != expectedEntries || !file_.open(dataPath, BinaryFile::Mode::ReadOnly))
    return false;
  const auto size = file_.size();
  if (!size || *size != stamp.bytes || !readPatternIndexFile(indexPath, records_) ||
      records_.size() != static_cast<size_t>(expectedEntries) || !hasStamp(stamp)) {
    records_.clear();
    return false;
  }
  size_ = *size;
  return true;
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

std::span<const std::uint8_t> PreviousDataFile::entry(int number) {
  if (number < 0 || static_cast<size_t>(number) >= records_.size()) return {};
  const auto begin = static_cast<std::uint64_t>(std::max(records_[static_cast<size_t>(number)].location, 0));
  const std::uint64_t end = static_cast<size_t>(number) + 1 < records_.size()
                                ? static_cast<std::uint64_t>(std::max(records_[static_cast<size_t>(number) + 1].location, 0))
                                : size_;
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
