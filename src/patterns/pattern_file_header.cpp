#include "patterns/pattern_file_header.h"

#include <algorithm>
#include <cstring>

#include "platform/binary_file.h"

namespace mh {

bool PatternFileHeader::read(ByteReader& in, std::string_view tag, std::int32_t& count) {
  char raw[kTagBytes];
  double zero = 1.0;
  std::int32_t n = 0;
  if (!in.readBytes(raw, sizeof raw) || !in.readF64(zero) || !in.readI32(n)) return false;
  const void* nul = std::memchr(raw, 0, sizeof raw);
  if (nul == nullptr) return false;
  const std::string_view found(raw, static_cast<size_t>(static_cast<const char*>(nul) - raw));
  if (found != tag || zero != 0.0 || n < 0) return false;
  count = n;
  return true;
}

void PatternFileHeader::write(ByteWriter& out, std::string_view tag, std::int32_t count) {
  char raw[kTagBytes] = {};
  if (!tag.empty()) std::memcpy(raw, tag.data(), std::min(tag.size(), kTagBytes - 1));
  out.writeBytes(raw, sizeof raw);
  out.writeZeros(8);
  out.writeI32(count);
}

bool PatternFileHeader::readFile(const std::string& path, std::string_view tag, size_t recordBytes,
                                 std::int32_t& count, std::vector<std::uint8_t>& body) {
  BinaryFile file;
  if (!file.open(path, BinaryFile::Mode::ReadOnly)) return false;
  const auto size = file.size();
  std::vector<std::uint8_t> head(kBytes);
  if (!size || !file.readAt(0, head.data(), head.size())) return false;
  ByteReader hr(head);
  if (!read(hr, tag, count)) return false;
  const std::uint64_t bytes = static_cast<std::uint64_t>(count) * recordBytes;
  if (bytes > *size - kBytes) return false;
  body.resize(static_cast<size_t>(bytes));
  return file.readAt(kBytes, body.data(), body.size());
}

bool PatternFileAppend::open(const std::string& path, std::string_view tag, size_t recordBytes, std::int32_t kept) {
  tag_ = tag;
  recordBytes_ = recordBytes;
  bytes_.clear();
  std::vector<std::uint8_t> head(PatternFileHeader::kBytes);
  std::int32_t count = -1;
  if (kept < 0 || recordBytes == 0 || !file_.open(path, BinaryFile::Mode::ReadWrite)) return false;
  const auto size = file_.size();
  ByteReader in(head);
  at_ = PatternFileHeader::kBytes + static_cast<std::uint64_t>(kept) * recordBytes;
  if (!size || *size < at_ || !file_.readAt(0, head.data(), head.size()) || !PatternFileHeader::read(in, tag, count) ||
      count != kept) {
    (void)file_.close();
    return false;
  }
  return true;
}

bool PatternFileAppend::flush() {
  if (!file_.isOpen() || !file_.writeAt(at_, bytes_.data(), bytes_.size())) return false;
  at_ += bytes_.size();
  bytes_.clear();
  return true;
}

bool PatternFileAppend::flushIfFull() { return bytes_.size() < (size_t{1} << 20) || flush(); }

bool PatternFileAppend::finish() {
  bool ok = flush();
  const std::uint64_t records = (at_ - PatternFileHeader::kBytes) / recordBytes_;
  ok = ok && (at_ - PatternFileHeader::kBytes) % recordBytes_ == 0 && records <= 0x7fffffffu && file_.truncate(at_);
  if (ok) {
    PatternFileHeader::write(writer_, tag_, static_cast<std::int32_t>(records));
    ok = file_.writeAt(0, bytes_.data(), bytes_.size());
    bytes_.clear();
  }
  return file_.close() && ok;
}

}  // namespace mh
