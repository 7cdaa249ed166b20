#include "patterns/pattern_data_writer.h"

#include <limits>

#include "patterns/pattern_file_header.h"
#include "patterns/pattern_store.h"
#include "platform/byte_io.h"

namespace mh {

namespace {

constexpr size_t kWriteChunk = 1 << 20;

}  // namespace

bool PatternDataWriter::Output::flush() {
  if (buffer.empty()) return true;
  const bool written = file->writeAt(at, buffer.data(), buffer.size());
  if (written) at += buffer.size();
  buffer.clear();
  return written;
}

PatternDataWriter::PatternDataWriter(BinaryFile& data, BinaryFile* index, std::int32_t count)
    : indexing_(index != nullptr) {
  data_.file = &data;
  index_.file = index;
  ByteWriter w(data_.buffer);
  PatternFileHeader::write(w, kPatternDataTag, count);
  if (indexing_) {
    ByteWriter iw(index_.buffer);
    PatternFileHeader::write(iw, kPatternIndexTag, 0);
  }
}

bool PatternDataWriter::add(const PatternEntry& entry) {
  if (!ok_) return false;
  const std::uint64_t offset = data_.at + data_.buffer.size();
  ByteWriter w(data_.buffer);
  ok_ = entry.write(w, PatternEntryForm::DataFile);
  if (ok_ && indexing_ && offset <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    ByteWriter iw(index_.buffer);
    patternRecordFor(entry, static_cast<std::int32_t>(offset)).write(iw);
    ++indexed_;
  } else {
    indexing_ = false;
  }
  if (data_.buffer.size() >= kWriteChunk && !data_.flush()) ok_ = false;
  if (index_.buffer.size() >= kWriteChunk && !index_.flush()) ok_ = false;
  return ok_;
}

bool PatternDataWriter::finish() {
  bool ok = data_.flush() && ok_;
  if (index_.file != nullptr) {
    std::vector<std::uint8_t> head;
    ByteWriter hw(head);
    PatternFileHeader::write(hw, kPatternIndexTag, indexed_);
    ok = index_.flush() && index_.file->writeAt(0, head.data(), head.size()) && ok;
  }
  return ok;
}

}  // namespace mh
