#include "patterns/pattern_data_writer.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "patterns/pattern_file_header.h"
#include "patterns/pattern_store.h"
#include "patterns/previous_data_file.h"
#include "platform/byte_io.h"

namespace mh {

namespace {

constexpr size_t kWriteChunk = 1 << 20;
// A run of copied entries at least this long is written where it lies; a shorter one is buffered,
// where a write of its own would cost more than the copy.
constexpr size_t kDirectRun = 64 << 10;

}  // namespace

bool PatternDataWriter::place(std::uint64_t offset) {
  if (offset <= reach_) return true;
  return fail("entry " + std::to_string(added_) + " would start at byte " + std::to_string(offset) + ", past the " +
              std::to_string(reach_) + " bytes a 32-bit index offset can address");
}

bool PatternDataWriter::addEncoded(std::span<const std::uint8_t> bytes, PatternIndexRecord key,
                                   const std::uint16_t* mark, PreviousDataFile* source) {
  if (!ok_) return false;
  const std::uint64_t offset = nextOffset();
  if (!place(offset)) return false;
  if (source == nullptr) {
    if (!endRun()) return false;
    data_.buffer.insert(data_.buffer.end(), bytes.begin(), bytes.end());
  } else {
    if (run_.size > 0 && (run_.source != source || run_.begin + run_.size != bytes.data()) && !endRun())
      return false;
    if (run_.size == 0) run_ = {source, bytes.data(), 0};
    run_.size += bytes.size();
  }
  ++added_;
  if (index_.file != nullptr) {
    key.location = static_cast<std::int32_t>(offset);
    ByteWriter iw(index_.buffer);
    key.write(iw);
    noteKey(bytes, mark);
  }
  if (run_.size >= kWriteChunk) return endRun();
  return flushFull();
}

void PatternDataWriter::foldBuffer() {
  check_.fold(std::span<const std::uint8_t>(data_.buffer).subspan(bufferFolded_));
  bufferFolded_ = data_.buffer.size();
}

bool PatternDataWriter::endRun() {
  if (run_.size == 0) return true;
  const std::span<const std::uint8_t> run(run_.begin, run_.size);
  PreviousDataFile* source = run_.source;
  run_ = {};
  // The check takes the file's bytes in order: what is buffered comes before the run.
  foldBuffer();
  if (run.size() < kDirectRun) {
    source->checkAlong(run, check_);
    data_.buffer.insert(data_.buffer.end(), run.begin(), run.end());
    bufferFolded_ = data_.buffer.size();
    return flushFull();
  }
  errno = 0;
  bufferFolded_ = 0;
  if (!data_.flush()) return fail(std::string("write: ") + std::strerror(errno));
  source->checkAlong(run, check_);
  if (!data_.file->writeAt(data_.at, run.data(), run.size())) return fail(std::string("write: ") + std::strerror(errno));
  data_.at += run.size();
  return true;
}

bool PatternDataWriter::addWarehouseValue(std::span<const std::uint8_t> value) {
  if (!ok_) return false;
  // The parts are checked as PatternEntry::read checks them: the key, then each count against
  // what remains. Bytes after the occurrences belong to no entry and are left out, as a decode
  // and encode would leave them.
  ByteReader in(value);
  std::uint8_t side = 0;
  std::int32_t candidates = 0;
  std::uint16_t textLength = 0;
  std::int32_t occurrences = 0;
  std::span<const std::uint8_t> skipped;
  if (!key_.read(in) || !in.readU8(side) || !in.readI32(candidates) || candidates < 0 ||
      !in.take(static_cast<size_t>(candidates) * PatternCandidate::kBytes, skipped))
    return false;
  const size_t textLengthAt = in.position();
  if (!in.readU16(textLength) || !in.take(textLength, skipped) || !in.readI32(occurrences) || occurrences < 0 ||
      !in.take(static_cast<size_t>(occurrences) * PatternOccurrence::kBytes, skipped))
    return false;
  const size_t end = in.position();

  if (!endRun()) return false;
  const std::uint64_t offset = nextOffset();
  if (!place(offset)) return false;
  const size_t start = data_.buffer.size();
  ByteWriter w(data_.buffer);
  w.reserveMore(end + 2);
  w.writeBytes(value.data(), textLengthAt);
  w.writeI32(textLength);
  w.writeBytes(value.data() + textLengthAt + 2, end - textLengthAt - 2);
  ++added_;
  if (index_.file != nullptr) {
    ByteWriter iw(index_.buffer);
    PatternIndexRecord{patternHashOf(key_), static_cast<std::int32_t>(offset), key_.blackCount, key_.whiteCount, side}
        .write(iw);
    noteKey(std::span<const std::uint8_t>(data_.buffer).subspan(start));
  }
  return flushFull();
}

bool PatternDataWriter::flushFull() {
  errno = 0;
  if (data_.buffer.size() >= kWriteChunk) {
    foldBuffer();
    bufferFolded_ = 0;
    if (!data_.flush()) return fail(std::string("write: ") + std::strerror(errno));
  }
  if (index_.buffer.size() >= kWriteChunk && !index_.flush()) return fail(std::string("write: ") + std::strerror(errno));
  if (keys_.buffer.size() >= kWriteChunk && !keys_.flush()) return fail(std::string("write: ") + std::strerror(errno));
  return true;
}

bool PatternDataWriter::Output::flush() {
  if (buffer.empty()) return true;
  const bool written = file->writeAt(at, buffer.data(), buffer.size());
  if (written) at += buffer.size();
  buffer.clear();
  return written;
}

PatternDataWriter::PatternDataWriter(BinaryFile& data, BinaryFile* index, std::int32_t count,
                                     std::uint64_t offsetReach)
    : reach_(offsetReach) {
  data_.file = &data;
  index_.file = index;
  ByteWriter w(data_.buffer);
  PatternFileHeader::write(w, kPatternDataTag, count);
  if (index != nullptr) {
    ByteWriter iw(index_.buffer);
    PatternFileHeader::write(iw, kPatternIndexTag, 0);
  }
}

void PatternDataWriter::setKeyFile(BinaryFile* keys) {
  if (index_.file == nullptr || added_ > 0) return;
  keys_.file = keys;
  keys_.buffer.assign(PatternKeyFileHeader::kBytes, 0);
}

void PatternDataWriter::noteKey(std::span<const std::uint8_t> entry, const std::uint16_t* given) {
  if (keys_.file == nullptr) return;
  const std::uint8_t* record = index_.buffer.data() + index_.buffer.size() - PatternIndexRecord::kBytes;
  fold_.add(static_cast<std::uint64_t>(added_ - 1), record);
  std::uint16_t mark = 0;
  if (given != nullptr) {
    mark = *given;
  } else {
    const size_t keyBytes = patternKeyBytes(entry);
    mark = keyBytes == 0 ? 0 : patternKeyMark(entry.first(keyBytes));
  }
  keys_.buffer.push_back(static_cast<std::uint8_t>(mark));
  keys_.buffer.push_back(static_cast<std::uint8_t>(mark >> 8));
}

bool PatternDataWriter::add(const PatternEntry& entry) {
  if (!ok_ || !endRun()) return false;
  const std::uint64_t offset = nextOffset();
  if (!place(offset)) return false;
  const size_t start = data_.buffer.size();
  ByteWriter w(data_.buffer);
  if (!entry.write(w, PatternEntryForm::DataFile))
    return fail("entry " + std::to_string(added_) + " has no data-file form");
  ++added_;
  if (index_.file != nullptr) {
    ByteWriter iw(index_.buffer);
    patternRecordFor(entry, static_cast<std::int32_t>(offset)).write(iw);
    noteKey(std::span<const std::uint8_t>(data_.buffer).subspan(start));
  }
  return flushFull();
}

bool PatternDataWriter::fail(std::string why) {
  ok_ = false;
  if (error_.empty()) error_ = std::move(why);
  return false;
}

bool PatternDataWriter::finish() {
  const bool ran = endRun();
  errno = 0;
  foldBuffer();
  bufferFolded_ = 0;
  bool ok = data_.flush() && ok_ && ran;
  if (index_.file != nullptr) {
    std::vector<std::uint8_t> head;
    ByteWriter hw(head);
    PatternFileHeader::write(hw, kPatternIndexTag, added_);
    ok = index_.flush() && index_.file->writeAt(0, head.data(), head.size()) && ok;
  }
  if (keys_.file != nullptr) {
    std::uint8_t head[PatternKeyFileHeader::kBytes];
    PatternKeyFileHeader{static_cast<std::uint32_t>(added_), data_.at, fold_.value()}.write(head);
    ok = keys_.flush() && keys_.file->writeAt(0, head, sizeof head) && ok;
  }
  if (!ok && error_.empty()) error_ = std::string("write: ") + std::strerror(errno);
  return ok;
}

}  // namespace mh
