#include "platform/buffered_file_reader.h"

#include <algorithm>
#include <cstring>

namespace mh {

BufferedFileReader::BufferedFileReader(const BinaryFile& file, std::uint64_t offset,
                                       std::uint64_t fileSize, size_t bufferSize)
    : file_(file), pos_(offset), fileSize_(fileSize), bufferCapacity_(std::max<size_t>(bufferSize, 64)) {}

bool BufferedFileReader::readBytes(void* out, size_t n) {
  if (n > remaining()) return false;
  auto* dst = static_cast<std::uint8_t*>(out);
  while (n > 0) {
    if (pos_ >= bufferStart_ && pos_ < bufferStart_ + bufferFill_) {
      const size_t at = static_cast<size_t>(pos_ - bufferStart_);
      const size_t take = std::min(n, bufferFill_ - at);
      std::memcpy(dst, buffer_.data() + at, take);
      dst += take;
      pos_ += take;
      n -= take;
      continue;
    }
    // Large reads bypass the buffer.
    if (n >= bufferCapacity_) {
      if (!file_.readAt(pos_, dst, n)) return false;
      pos_ += n;
      return true;
    }
    if (buffer_.size() != bufferCapacity_) buffer_.resize(bufferCapacity_);
    const size_t want = static_cast<size_t>(std::min<std::uint64_t>(bufferCapacity_, remaining()));
    const auto got = file_.readSomeAt(pos_, buffer_.data(), want);
    if (!got || *got == 0) return false;
    bufferStart_ = pos_;
    bufferFill_ = *got;
  }
  return true;
}

}  // namespace mh
