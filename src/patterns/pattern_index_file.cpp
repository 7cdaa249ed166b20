#include "patterns/pattern_index_file.h"

#include <array>

#include "patterns/pattern_file_header.h"

namespace mh {

bool PatternIndexFileReader::open(const std::string& path) {
  in_.reset();
  count_ = read_ = 0;
  std::array<std::uint8_t, PatternFileHeader::kBytes> head{};
  const auto size = file_.open(path, BinaryFile::Mode::ReadOnly) ? file_.size() : std::nullopt;
  if (!size || !file_.readAt(0, head.data(), head.size())) return false;
  ByteReader hr(head);
  std::int32_t count = 0;
  if (!PatternFileHeader::read(hr, kPatternIndexTag, count) ||
      static_cast<std::uint64_t>(count) * PatternIndexRecord::kBytes > *size - PatternFileHeader::kBytes)
    return false;
  count_ = count;
  in_ = std::make_unique<BufferedFileReader>(file_, PatternFileHeader::kBytes, *size, size_t{1} << 20);
  return true;
}

bool PatternIndexFileReader::next(PatternIndexRecord& record) {
  std::array<std::uint8_t, PatternIndexRecord::kBytes> raw{};
  if (!in_ || read_ >= count_ || !in_->readBytes(raw.data(), raw.size())) return false;
  ++read_;
  ByteReader r(raw);
  return record.read(r);
}

}  // namespace mh
