#include "patterns/previous_data_file.h"

#include <algorithm>

#include "patterns/pattern_candidate.h"
#include "patterns/pattern_file_header.h"
#include "patterns/pattern_occurrence.h"
#include "platform/byte_io.h"

namespace mh {

namespace {

// Whether bytes are exactly one entry in data-file form with the record's stone counts and side:
// the parts' counts lead from the key to the last byte. Locations from an index that does not
// belong to the data file cut entries in the wrong places and fail this.
bool wholeEntryOf(std::span<const std::uint8_t> bytes, const PatternIndexRecord& record) {
  ByteReader in(bytes);
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t black = 0;
  std::int32_t white = 0;
  std::uint8_t side = 0;
  std::int32_t count = 0;
  std::span<const std::uint8_t> skipped;
  if (!in.readI32(width) || !in.readI32(height) || !in.readI32(black) || !in.readI32(white) ||
      black != record.blackCount || white != record.whiteCount || black < 0 || white < 0 ||
      !in.take((static_cast<size_t>(black) + static_cast<size_t>(white)) * 4, skipped) || !in.readU8(side) ||
      side != record.side)
    return false;
  for (const size_t unit : {PatternCandidate::kBytes, size_t{1}, PatternOccurrence::kBytes})
    if (!in.readI32(count) || count < 0 || !in.take(static_cast<size_t>(count) * unit, skipped)) return false;
  return in.remaining() == 0;
}

}  // namespace

bool PreviousDataFile::open(const std::string& dataPath, const std::string& indexPath, const DataFileStamp& stamp,
                            int expectedEntries) {
  map_.close();
  size_ = checkedTo_ = mappedTo_ = letGoTo_ = lastBegin_ = 0;
  check_ = DataCheck();
  verdict_ = -1;
  at_ = -1;
  hasNext_ = false;
  keysOpen_ = false;
  marksAgree_ = true;
  marksGiven_ = 0;
  marksFrom_ = 0;
  marks_.clear();
  fold_ = PatternIndexFold();
  folded_ = 0;
  stamp_ = stamp;
  if (stamp.entries == 0 || stamp.entries != expectedEntries || !map_.open(dataPath)) return false;
  if (map_.bytes().size() != stamp.bytes || !index_.open(indexPath) || index_.count() != expectedEntries) {
    map_.close();
    return false;
  }
  size_ = map_.bytes().size();
  map_.readInOrder();
  hasNext_ = readNext(0);
  return hasNext_;
}

void PreviousDataFile::openKeys(const std::string& keysPath) {
  keysOpen_ = false;
  if (at_ >= 0 || size_ == 0 || keysPath.empty() || !keys_.open(keysPath, BinaryFile::Mode::ReadOnly)) return;
  std::uint8_t head[PatternKeyFileHeader::kBytes];
  const auto size = keys_.size();
  keysOpen_ = size && keys_.readAt(0, head, sizeof head) && keysHead_.read(head) &&
              keysHead_.entries == static_cast<std::uint32_t>(stamp_.entries) && keysHead_.dataBytes == stamp_.bytes &&
              *size == keysHead_.fileBytes();
}

bool PreviousDataFile::readNext(int number) {
  if (!index_.next(next_)) return false;
  // Folded as the key file's header folds the index: each record's bytes with its number.
  std::uint8_t raw[PatternIndexRecord::kBytes];
  size_t at = 0;
  for (const std::int32_t v : {next_.hash, next_.location, next_.blackCount, next_.whiteCount})
    for (int b = 0; b < 4; ++b) raw[at++] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * b));
  raw[at] = next_.side;
  fold_.add(static_cast<std::uint64_t>(number), raw);
  ++folded_;
  return true;
}

bool PreviousDataFile::markOf(int number, std::uint16_t& mark) {
  constexpr int kMarksRead = 1 << 16;
  if (number < marksFrom_ || number - marksFrom_ >= static_cast<int>(marks_.size() / 2)) {
    const int n = std::min(kMarksRead, stamp_.entries - number);
    marks_.resize(static_cast<size_t>(std::max(n, 0)) * 2);
    marksFrom_ = number;
    if (n <= 0 || !keys_.readAt(PatternKeyFileHeader::kBytes + std::uint64_t{2} * static_cast<std::uint64_t>(number),
                                marks_.data(), marks_.size())) {
      marks_.clear();
      return false;
    }
  }
  const size_t at = static_cast<size_t>(number - marksFrom_) * 2;
  mark = static_cast<std::uint16_t>(marks_[at] | marks_[at + 1] << 8);
  return true;
}

void PreviousDataFile::mapAhead(std::uint64_t from, std::uint64_t to) {
  // One call maps a window in where a fault every few pages would cost far more, and the pages
  // more than a window behind it are let go (a writer may still hold the window before it).
  if (from > letGoTo_ + 2 * window_) {
    map_.evict(static_cast<size_t>(letGoTo_), static_cast<size_t>(from - window_));
    letGoTo_ = from - window_;
  }
  mappedTo_ = std::min<std::uint64_t>(size_, std::max(to, from + window_));
  map_.prefetch(static_cast<size_t>(from), static_cast<size_t>(mappedTo_));
}

void PreviousDataFile::checkTo(std::uint64_t end) {
  end = std::min(end, size_);
  const std::span<const std::uint8_t> bytes = map_.bytes();
  while (checkedTo_ < end) {
    if (checkedTo_ >= mappedTo_) mapAhead(checkedTo_, checkedTo_);
    const std::uint64_t to = std::min(end, mappedTo_);
    check_.fold(bytes.subspan(static_cast<size_t>(checkedTo_), static_cast<size_t>(to - checkedTo_)));
    checkedTo_ = to;
  }
}

void PreviousDataFile::checkAlong(std::span<const std::uint8_t> run, DataCheck& also) {
  const std::span<const std::uint8_t> bytes = map_.bytes();
  if (verdict_ >= 0 || run.empty() || run.data() < bytes.data() ||
      run.data() + run.size() > bytes.data() + bytes.size()) {
    also.fold(run);
    return;
  }
  const auto begin = static_cast<std::uint64_t>(run.data() - bytes.data());
  checkTo(begin);
  if (begin != checkedTo_) {
    // Bytes checked already (a run taken out of order): they are only the writer's.
    also.fold(run);
    return;
  }
  const std::uint64_t end = begin + run.size();
  while (checkedTo_ < end) {
    if (checkedTo_ >= mappedTo_) mapAhead(checkedTo_, checkedTo_);
    const std::uint64_t to = std::min(end, mappedTo_);
    DataCheck::foldBoth(check_, also,
                        bytes.subspan(static_cast<size_t>(checkedTo_), static_cast<size_t>(to - checkedTo_)));
    checkedTo_ = to;
  }
}

bool PreviousDataFile::checked() {
  if (verdict_ < 0) {
    checkTo(size_);
    map_.close();
    bool keysAgree = true;
    if (keysOpen_) {
      // Every record of the index is folded, as the key file's header folded them.
      (void)advanceTo(index_.count() - 1);
      keysAgree = marksAgree_ && folded_ == index_.count() && fold_.value() == keysHead_.indexFold;
    }
    verdict_ = keysAgree && checkedTo_ == stamp_.bytes && check_.value() == stamp_.check ? 1 : 0;
  }
  return verdict_ == 1;
}

bool PreviousDataFile::advanceTo(int number) {
  while (at_ < number && hasNext_) {
    current_ = next_;
    ++at_;
    hasNext_ = at_ + 1 < index_.count() && readNext(at_ + 1);
  }
  return at_ == number;
}

std::span<const std::uint8_t> PreviousDataFile::entry(int number, PatternIndexRecord& record, std::uint16_t* mark,
                                                      bool* known) {
  if (known != nullptr) *known = false;
  if (verdict_ >= 0 || number < 0 || number >= index_.count() || !advanceTo(number)) return {};
  // An entry ends where the next begins; the last at the end of the file. A record that does not
  // read leaves the entries before it without an end: they are not taken.
  if (!hasNext_ && number + 1 < index_.count()) return {};
  record = current_;
  const auto begin = static_cast<std::uint64_t>(std::max(current_.location, 0));
  const std::uint64_t end = hasNext_ ? static_cast<std::uint64_t>(std::max(next_.location, 0)) : size_;
  // The file is read forwards only: an entry that begins before the last one is not taken.
  if (begin < PatternFileHeader::kBytes || end <= begin || end > size_ || begin < lastBegin_) return {};
  lastBegin_ = begin;
  // Its bytes are checked when they are passed on (checkAlong) or passed over (checked).
  if (end > mappedTo_) mapAhead(begin, end);
  const auto bytes = map_.bytes().subspan(static_cast<size_t>(begin), static_cast<size_t>(end - begin));
  if (!wholeEntryOf(bytes, record)) return {};
  if (keysOpen_ && mark != nullptr && known != nullptr && markOf(number, *mark)) {
    *known = true;
    // A spread of the marks handed out is checked against their keys: a key file whose header
    // fits but whose marks do not is not trusted.
    if (marksGiven_++ % 256 == 0) {
      const size_t keyBytes = patternKeyBytes(bytes);
      if ((keyBytes == 0 ? 0 : patternKeyMark(bytes.first(keyBytes))) != *mark) marksAgree_ = false;
    }
  }
  return bytes;
}

}  // namespace mh
