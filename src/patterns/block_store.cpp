#include "patterns/block_store.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/byte_io.h"

namespace mh {

namespace {

constexpr std::int64_t kMaxOffset = BlockStore::kOffsetReach;

void encodeHeader(const BlockHeader& h, std::uint8_t* out) {
  const std::int32_t fields[5] = {h.offset, h.prev, h.next, h.size, h.used};
  std::memcpy(out, fields, sizeof fields);
}

BlockHeader decodeHeader(const std::uint8_t* in) {
  std::int32_t f[5];
  std::memcpy(f, in, sizeof f);
  return BlockHeader{f[0], f[1], f[2], f[3], f[4]};
}

}  // namespace

bool BlockStore::attach(BinaryFile* file, std::int64_t areaStart, std::int32_t minimumPayload) {
  detach();
  if (file == nullptr || !file->isOpen() || areaStart < 0) return false;
  file_ = file;
  areaStart_ = areaStart;
  setMinimumPayload(minimumPayload);
  // Headers are read through a window of the file: small blocks lie thousands to a window, so a
  // store of millions of blocks opens in a few hundred reads.
  constexpr std::uint64_t kWindow = std::uint64_t{1} << 20;
  const auto fileSize = file_->size();
  if (!fileSize) return false;
  const std::uint64_t area = *fileSize > static_cast<std::uint64_t>(areaStart_) ? *fileSize - static_cast<std::uint64_t>(areaStart_) : 0;
  std::vector<std::uint8_t> window(static_cast<size_t>(std::min(kWindow, std::max<std::uint64_t>(area, BlockHeader::kBytes))));
  std::uint64_t windowStart = 0;
  size_t windowFill = 0;
  std::int64_t pos = 0;
  while (pos <= kMaxOffset) {
    const auto at = static_cast<std::uint64_t>(areaStart_ + pos);
    if (at < windowStart || at + BlockHeader::kBytes > windowStart + windowFill) {
      const auto got = file_->readSomeAt(at, window.data(), window.size());
      if (!got) break;
      windowStart = at;
      windowFill = *got;
      if (windowFill < static_cast<size_t>(BlockHeader::kBytes)) break;
    }
    const BlockHeader h = decodeHeader(window.data() + (at - windowStart));
    if (h.offset != pos || h.size <= BlockHeader::kBytes) break;
    appendHeader(h);
    pos += h.size;
  }
  return true;
}

bool BlockStore::attachKnown(BinaryFile* file, std::int64_t areaStart, std::int32_t minimumPayload,
                             const HeaderSource& next) {
  detach();
  if (file == nullptr || !file->isOpen() || areaStart < 0 || !file->size()) return false;
  file_ = file;
  areaStart_ = areaStart;
  setMinimumPayload(minimumPayload);
  std::int64_t pos = 0;
  for (BlockHeader h; next(h);) {
    if (pos > kMaxOffset || h.offset != pos || h.size <= BlockHeader::kBytes) {
      detach();
      return false;
    }
    appendHeader(h);
    pos += h.size;
  }
  return true;
}

bool BlockStore::readChainRange(std::int32_t start, std::uint64_t at, std::uint8_t* out, size_t n) const {
  const ValueRange range{at, out, n};
  return readChainRanges(start, {&range, 1});
}

bool BlockStore::readChainRanges(std::int32_t start, std::span<const ValueRange> ranges,
                                 std::uint64_t* valueBytes) const {
  std::vector<size_t> chain;
  if (file_ == nullptr || !collect(start, chain)) return false;
  std::vector<size_t> done(ranges.size(), 0);  // bytes of each range read so far
  size_t first = 0;  // the ranges before it are read whole
  const auto skipRead = [&] {
    while (first < ranges.size() && done[first] == ranges[first].n) ++first;
  };
  skipRead();
  std::uint64_t valueAt = 0;  // where the current block's bytes begin in the value
  for (size_t idx : chain) {
    if (first == ranges.size() && valueBytes == nullptr) break;
    const std::int32_t usedCount = usedOnDisk(idx);
    if (usedCount < 0) return false;
    const std::uint64_t end = valueAt + static_cast<std::uint64_t>(usedCount);
    for (size_t r = first; r < ranges.size() && ranges[r].at < end; ++r) {
      const ValueRange& range = ranges[r];
      const std::uint64_t at = range.at + done[r];
      if (done[r] == range.n || at >= end) continue;
      const auto piece = static_cast<size_t>(std::min<std::uint64_t>(end - at, range.n - done[r]));
      if (!file_->readAt(static_cast<std::uint64_t>(areaStart_ + offsets_[idx] + BlockHeader::kBytes) + (at - valueAt),
                         range.out + done[r], piece))
        return false;
      done[r] += piece;
    }
    skipRead();
    valueAt = end;
  }
  if (valueBytes != nullptr) *valueBytes = valueAt;
  return first == ranges.size();
}

std::int32_t BlockStore::usedIn(size_t idx, const std::uint8_t* raw) const {
  const BlockHeader onDisk = decodeHeader(raw);
  BlockHeader known = header(idx);
  known.used = onDisk.used;
  // Only a used count the block can hold, in a header that is the table's in all else: a file
  // changed behind the store's back is not read as a value.
  if (onDisk != known || onDisk.used <= 0 || onDisk.used > onDisk.payloadSpace()) return -1;
  return onDisk.used;
}

std::int32_t BlockStore::usedOnDisk(size_t idx) const {
  std::uint8_t raw[BlockHeader::kBytes];
  const auto at = static_cast<std::uint64_t>(areaStart_ + offsets_[idx]);
  if (!flushBefore(at, sizeof raw) || !file_->readAt(at, raw, sizeof raw)) return -1;
  return usedIn(idx, raw);
}

BlockStore::BlockState BlockStore::stateAt(size_t idx) const {
  if (freeAt(idx)) return BlockState::Free;
  return damagedAt(idx) ? BlockState::Damaged : BlockState::InUse;
}

BlockStore::BlockState BlockStore::stateOf(const BlockHeader& h) {
  if (h.used == 0) return BlockState::Free;
  return h.used < 0 || h.used > h.payloadSpace() ? BlockState::Damaged : BlockState::InUse;
}

BlockHeader BlockStore::header(size_t idx) const {
  BlockHeader h{offsets_[idx], -1, -1, static_cast<std::int32_t>(sizeOf(idx)), freeAt(idx) ? 0 : -1};
  if (linkedAt(idx)) {
    if (const BlockLinks::Links* l = links_.find(idx)) {
      h.prev = l->prev;
      h.next = l->next;
    }
  }
  return h;
}

void BlockStore::setHeader(size_t idx, const BlockHeader& h) {
  const bool linked = h.prev != -1 || h.next != -1;
  const std::uint64_t bit = std::uint64_t{1} << (idx % 64);
  if (linked) {
    links_.set(idx, BlockLinks::Links{h.prev, h.next});
    linked_[idx / 64] |= bit;
  } else if (linkedAt(idx)) {
    links_.erase(idx);
    linked_[idx / 64] &= ~bit;
  }
  const BlockState state = stateOf(h);
  if (state == BlockState::Damaged) damaged_.insert(idx);
  else if (!damaged_.empty()) damaged_.erase(idx);
  markFree(idx, state == BlockState::Free);
}

void BlockStore::appendHeader(const BlockHeader& h) {
  if (offsets_.size() % kSampleStep == 0) samples_.push_back(h.offset);
  offsets_.push_back(h.offset);
  if (free_.size() * 64 < offsets_.size()) {
    free_.push_back(0);
    linked_.push_back(0);
  }
  if (freeWords_.size() * 64 < free_.size()) freeWords_.push_back(0);
  areaEnd_ = std::int64_t{h.offset} + h.size;
  setHeader(offsets_.size() - 1, h);
}

void BlockStore::markFree(size_t idx, bool free) {
  const std::uint64_t bit = std::uint64_t{1} << (idx % 64);
  std::uint64_t& word = free_[idx / 64];
  if (((word & bit) != 0) == free) return;
  word ^= bit;
  const std::uint64_t wordBit = std::uint64_t{1} << (idx / 64 % 64);
  if (word != 0) freeWords_[idx / 4096] |= wordBit;
  else freeWords_[idx / 4096] &= ~wordBit;
  const std::int64_t payload = sizeOf(idx) - BlockHeader::kBytes;
  if (free) {
    ++freeCount_;
    freePayload_ += payload;
    firstFree_ = std::min(firstFree_, idx);
  } else {
    --freeCount_;
    freePayload_ -= payload;
  }
}

template <class Each>
void BlockStore::forFreeBlocks(Each&& each) const {
  if (freeCount_ == 0) return;
  bool first = true;
  size_t seen = 0;
  // Only words that hold a free block are visited, and the scan ends at the last free block: a
  // value that outgrows the free blocks must not walk the rest of a table of millions.
  const size_t firstWord = firstFree_ / 64;
  for (size_t s = firstWord / 64; s < freeWords_.size(); ++s) {
    std::uint64_t words = freeWords_[s];
    if (s == firstWord / 64) words &= ~std::uint64_t{0} << (firstWord % 64);
    for (; words != 0; words &= words - 1) {
      const size_t w = s * 64 + static_cast<size_t>(std::countr_zero(words));
      std::uint64_t word = free_[w];
      if (w == firstWord) word &= ~std::uint64_t{0} << (firstFree_ % 64);
      for (; word != 0; word &= word - 1) {
        const size_t idx = w * 64 + static_cast<size_t>(std::countr_zero(word));
        // The scan starts at the first free block from now on, not at the blocks taken before it.
        if (first) firstFree_ = idx;
        first = false;
        if (!each(idx) || ++seen == freeCount_) return;
      }
    }
  }
}

std::vector<BlockHeader> BlockStore::blocks() const {
  std::vector<BlockHeader> all;
  all.reserve(offsets_.size());
  for (size_t i = 0; i < offsets_.size(); ++i) {
    BlockHeader h = header(i);
    std::uint8_t raw[BlockHeader::kBytes];
    const auto at = static_cast<std::uint64_t>(areaStart_ + h.offset);
    if (h.used != 0 && file_ != nullptr && flushBefore(at, sizeof raw) && file_->readAt(at, raw, sizeof raw))
      h.used = decodeHeader(raw).used;
    all.push_back(h);
  }
  return all;
}

void BlockStore::detach() {
  // Closing writes what is gathered and reports a failure; here only the rest is saved.
  (void)flush();
  file_ = nullptr;
  tail_ = {};
  placed_.clear();
  placedBytes_ = 0;
  window_ = {};
  windowFill_ = 0;
  lastReadEnd_ = 0;
  writeError_ = 0;
  offsets_ = {};
  linked_ = {};
  damaged_.clear();
  samples_ = {};
  links_.clear();
  free_ = {};
  freeWords_ = {};
  freeCount_ = 0;
  freePayload_ = 0;
  firstFree_ = 0;
  areaEnd_ = 0;
}

void BlockStore::setMinimumPayload(std::int32_t payload) {
  minPayload_ = std::max(payload, kMinPayloadFloor);
}

std::int64_t BlockStore::indexOf(std::int32_t offset, size_t from) const {
  if (from >= offsets_.size()) return -1;
  // The next block of a chain mostly lies close after the one before: galloping from `from`
  // finds it in a few steps where a search of millions of blocks misses the cache every step.
  // A block further away (a chain's first block, anywhere in the file, or a chain continued in a
  // fresh block at the end) is found by bisecting the samples first: galloping there would take
  // as many steps again, each a miss, and the bisection after it as many more.
  size_t span = 1;
  bool far = from == 0;
  while (!far && from + span < offsets_.size() && offsets_[from + span] < offset) {
    far = span >= kSampleStep;
    span *= 2;
  }
  size_t lo = 0;
  size_t hi = offsets_.size();
  if (far) {
    const auto after = std::upper_bound(samples_.begin(), samples_.end(), offset);
    if (after == samples_.begin()) return -1;
    lo = static_cast<size_t>(after - samples_.begin() - 1) * kSampleStep;
    hi = std::min(offsets_.size(), lo + kSampleStep);
  } else {
    // The first block at or past offset, between from + span / 2 and the end of the span.
    lo = from + span / 2;
    hi = std::min(offsets_.size(), from + span + 1);
  }
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (offsets_[mid] < offset) lo = mid + 1;
    else hi = mid;
  }
  if (lo == offsets_.size() || offsets_[lo] != offset) return -1;
  return static_cast<std::int64_t>(lo);
}

bool BlockStore::collect(std::int32_t start, std::vector<size_t>& out) const {
  out.clear();
  // Each block's header is taken once: a linked block's links are a look-up in a large table.
  if (start < 0 || static_cast<size_t>(start) >= offsets_.size()) return false;
  std::int64_t idx = start;
  BlockHeader h = header(static_cast<size_t>(idx));
  if (h.prev >= 0) return false;
  for (;;) {
    // A used count beyond the payload would read into the next block, and a block marked free
    // (used 0; writers never leave a chain's block empty) may be handed out by the next write.
    if (freeAt(static_cast<size_t>(idx)) || damagedAt(static_cast<size_t>(idx))) return false;
    out.push_back(static_cast<size_t>(idx));
    if (h.next == -1) return true;
    // Links only run forwards; anything else is a loop or a stray pointer.
    if (h.next <= h.offset) return false;
    idx = indexOf(h.next, static_cast<size_t>(idx) + 1);
    if (idx < 0) return false;
    const std::int32_t before = h.offset;
    h = header(static_cast<size_t>(idx));
    // Every writer links both ways; a block whose prev names another block belongs to another
    // chain, and freeing it through this one would destroy that chain's value.
    if (h.prev != before) return false;
  }
}

bool BlockStore::readBlock(size_t idx, std::vector<std::uint8_t>& out) const {
  // A block's used count lies in its header: the block is read with it, whole when small (most
  // are), else its first piece and then the rest of the used bytes. The payload then moves down
  // over the header, which costs less than a read of its own.
  constexpr size_t kFirstRead = size_t{4} << 10;
  const auto size = static_cast<size_t>(sizeOf(idx));
  const size_t at = out.size();
  const size_t first = std::min(size, kFirstRead);
  const auto blockAt = static_cast<std::uint64_t>(areaStart_ + offsets_[idx]);
  out.resize(at + first);
  if (!readUsed(blockAt, out.data() + at, first)) return false;
  const std::int32_t used = usedIn(idx, out.data() + at);
  if (used < 0) return false;
  const size_t end = BlockHeader::kBytes + static_cast<size_t>(used);
  if (end > first) {
    out.resize(at + end);
    if (!readUsed(blockAt + first, out.data() + at + first, end - first)) return false;
  }
  std::memmove(out.data() + at, out.data() + at + BlockHeader::kBytes, static_cast<size_t>(used));
  out.resize(at + static_cast<size_t>(used));
  return true;
}

bool BlockStore::readChain(std::int32_t start, std::vector<std::uint8_t>& out) const {
  out.clear();
  // Kept by the thread: a build reads a chain back for most changes of an evicted entry.
  thread_local std::vector<size_t> chain;
  if (file_ == nullptr || !collect(start, chain)) return false;
  if (!flushBeforeReading(chain)) return false;
  for (size_t idx : chain) {
    if (!readBlock(idx, out)) {
      out.clear();
      return false;
    }
  }
  return true;
}

std::uint64_t BlockStore::gatheredFrom(std::uint64_t at) const {
  std::uint64_t first = std::numeric_limits<std::uint64_t>::max();
  if (!tail_.empty() && tailStart_ + tail_.size() > at) first = std::max(tailStart_, at);
  auto it = placed_.upper_bound(at);
  if (it != placed_.begin() && std::prev(it)->first + std::prev(it)->second.size() > at) return at;
  if (it != placed_.end()) first = std::min(first, it->first);
  return first;
}

bool BlockStore::readUsed(std::uint64_t at, std::uint8_t* out, size_t n) const {
  // Values stored one after another mostly lie close together in the file, and are mostly read
  // in that order too (the data file is written in entry order): one read of a window serves
  // the blocks that follow. A window never holds bytes still gathered for the file, and any
  // write into it drops it (see writeAt), so it always shows what a read of the file would.
  // A read that does not follow closely after the last one (an entry read back at random) takes
  // only its own bytes: a window there would copy sixteen times a usual value for nothing.
  constexpr size_t kWindow = size_t{16} << 10;
  const std::uint64_t lastEnd = lastReadEnd_;
  lastReadEnd_ = at + n;
  if (at >= windowStart_ && at + n <= windowStart_ + windowFill_) {
    std::memcpy(out, window_.data() + (at - windowStart_), n);
    return true;
  }
  const bool followsLast = at >= lastEnd && at - lastEnd < kWindow;
  const std::uint64_t end = std::min<std::uint64_t>(at + kWindow, gatheredFrom(at));
  if (!followsLast || n >= kWindow || end < at + n) return file_->readAt(at, out, n);
  // The buffer keeps its size: only the bytes read count (windowFill_), so none is cleared first.
  if (window_.size() < kWindow) window_.resize(kWindow);
  const auto got = file_->readSomeAt(at, window_.data(), static_cast<size_t>(end - at));
  if (!got || *got < n) {
    windowFill_ = 0;
    return false;
  }
  windowFill_ = *got;
  windowStart_ = at;
  std::memcpy(out, window_.data(), n);
  return true;
}

bool BlockStore::readChainPieces(std::int32_t start, const ChainSink& sink) const {
  if (file_ == nullptr) return false;
  std::vector<size_t> chain;
  if (!collect(start, chain)) return false;
  if (!flushBeforeReading(chain)) return false;
  // Every used range lies inside its block (collect checks it) and every block of the table was
  // read from or written to the file, so no read goes past the file's end unless the file was cut
  // behind the store's back; a read that comes up short then fails.
  constexpr size_t kPiece = size_t{1} << 20;
  std::vector<std::uint8_t> piece;
  for (size_t idx : chain) {
    const std::int32_t usedCount = usedOnDisk(idx);
    if (usedCount < 0) return false;
    const auto used = static_cast<size_t>(usedCount);
    for (size_t at = 0; at < used; at += piece.size()) {
      piece.resize(std::min(kPiece, used - at));
      if (!file_->readAt(static_cast<std::uint64_t>(areaStart_ + offsets_[idx] + BlockHeader::kBytes) + at, piece.data(),
                         piece.size()) ||
          !sink(piece))
        return false;
    }
  }
  return true;
}

bool BlockStore::writeHeader(const BlockHeader& h) {
  std::uint8_t raw[BlockHeader::kBytes];
  encodeHeader(h, raw);
  return writeAt(static_cast<std::uint64_t>(areaStart_ + h.offset), raw, sizeof raw, false);
}

bool BlockStore::failedWrite() const {
  if (writeError_ == 0) return false;
  errno = writeError_;
  return true;
}

bool BlockStore::flushBefore(std::uint64_t at, std::uint64_t n) const {
  if (failedWrite()) return false;
  const bool inTail = !tail_.empty() && at + n > tailStart_ && at < tailStart_ + tail_.size();
  if (!inTail && !placedOverlaps(at, n)) return true;
  return const_cast<BlockStore*>(this)->flush();
}

bool BlockStore::placedOverlaps(std::uint64_t at, std::uint64_t n) const {
  // Runs never touch one another: only the last run that starts before the range ends can reach
  // into it.
  auto it = placed_.lower_bound(at + n);
  if (it == placed_.begin()) return false;
  --it;
  return it->first + it->second.size() > at;
}

void BlockStore::place(std::uint64_t at, const std::uint8_t* data, size_t n) {
  const std::uint64_t end = at + n;
  // The first run that touches [at, end): one that starts before at and reaches it, or the first
  // that starts within.
  auto first = placed_.upper_bound(at);
  if (first != placed_.begin() && std::prev(first)->first + std::prev(first)->second.size() >= at) --first;
  auto last = first;
  std::uint64_t mergedEnd = end;
  size_t absorbed = 0;
  while (last != placed_.end() && last->first <= end) {
    mergedEnd = std::max<std::uint64_t>(mergedEnd, last->first + last->second.size());
    absorbed += last->second.size();
    ++last;
  }
  // The run grows in place, node and all, when it starts at or before the write; else a new run
  // takes the place of those it absorbs.
  if (first != last && first->first <= at) {
    std::pmr::vector<std::uint8_t>& run = first->second;
    const std::uint64_t start = first->first;
    run.resize(static_cast<size_t>(mergedEnd - start));
    for (auto it = std::next(first); it != last; ++it)
      std::memcpy(run.data() + (it->first - start), it->second.data(), it->second.size());
    std::memcpy(run.data() + (at - start), data, n);
    placedBytes_ = placedBytes_ - absorbed + run.size();
    placed_.erase(std::next(first), last);
    return;
  }
  std::pmr::vector<std::uint8_t> run(static_cast<size_t>(mergedEnd - at), &placedPool_);
  for (auto it = first; it != last; ++it)
    std::memcpy(run.data() + (it->first - at), it->second.data(), it->second.size());
  std::memcpy(run.data(), data, n);
  placedBytes_ = placedBytes_ - absorbed + run.size();
  placed_.erase(first, last);
  placed_.emplace(at, std::move(run));
}

bool BlockStore::flushBeforeReading(const std::vector<size_t>& chain) const {
  for (size_t idx : chain) {
    if (!flushBefore(static_cast<std::uint64_t>(areaStart_ + offsets_[idx]), static_cast<std::uint64_t>(sizeOf(idx))))
      return false;
  }
  return true;
}

bool BlockStore::flush() {
  if (failedWrite()) return false;
  errno = 0;
  if (!tail_.empty()) {
    if (!file_->writeAt(tailStart_, tail_.data(), tail_.size())) {
      writeError_ = errno != 0 ? errno : EIO;
      return false;
    }
    tailStart_ += tail_.size();
    tail_.clear();
  }
  for (auto it = placed_.begin(); it != placed_.end(); it = placed_.erase(it)) {
    if (file_->writeAt(it->first, it->second.data(), it->second.size())) continue;
    writeError_ = errno != 0 ? errno : EIO;
    return false;
  }
  placedBytes_ = 0;
  return true;
}

bool BlockStore::writeAt(std::uint64_t at, const std::uint8_t* data, size_t n, bool extending) {
  constexpr size_t kTailBytes = size_t{1} << 20;
  if (failedWrite()) return false;
  if (windowFill_ != 0 && at < windowStart_ + windowFill_ && at + n > windowStart_) windowFill_ = 0;
  const std::uint64_t tailEnd = tailStart_ + tail_.size();
  if (!tail_.empty() && at >= tailStart_ && at + n <= tailEnd) {
    std::memcpy(tail_.data() + (at - tailStart_), data, n);
    return true;
  }
  if (extending) {
    if ((!tail_.empty() && at != tailEnd) && !flush()) return false;
    if (tail_.empty()) tailStart_ = at;
    tail_.insert(tail_.end(), data, data + n);
    return tail_.size() < kTailBytes || flush();
  }
  // A write that reaches into the gathered tail sends the tail first; any other is gathered.
  if (!tail_.empty() && at + n > tailStart_ && at < tailEnd && !flush()) return false;
  place(at, data, n);
  constexpr size_t kPlacedRuns = 8192;
  return (placedBytes_ < kTailBytes && placed_.size() < kPlacedRuns) || flush();
}

std::int64_t BlockStore::chainSpace(std::int32_t start) const {
  std::vector<size_t> chain;
  if (file_ == nullptr || !collect(start, chain)) return -1;
  std::int64_t space = 0;
  for (size_t idx : chain) space += sizeOf(idx) - BlockHeader::kBytes;
  return space;
}

bool BlockStore::freeChain(std::int32_t start) {
  if (start < 0) return true;
  if (file_ == nullptr) return false;
  thread_local std::vector<size_t> chain;  // kept by the thread: every stored change frees one
  if (!collect(start, chain)) return false;
  for (size_t idx : chain) {
    // A free block keeps only its place and size: its old links are not looked up.
    const BlockHeader h{offsets_[idx], -1, -1, static_cast<std::int32_t>(sizeOf(idx)), 0};
    if (!writeHeader(h)) return false;
    setHeader(idx, h);
  }
  return true;
}

std::int32_t BlockStore::writeChain(std::span<const std::uint8_t> bytes) {
  size_t at = 0;
  return writeChain(bytes.size(), [&](std::span<std::uint8_t> out) {
    std::memcpy(out.data(), bytes.data() + at, out.size());
    at += out.size();
  });
}

bool BlockStore::writeBlock(const BlockHeader& h, bool isFresh, size_t take, const ChainSource& source,
                            std::vector<std::uint8_t>& buffer) {
  // A block goes out in pieces of at most this many bytes: header and payload together for the
  // usual small block, so most blocks take one write.
  constexpr size_t kPiece = size_t{1} << 20;
  // A new block is written whole, its unused payload zeroed, so the file always ends at the end
  // of its last block.
  const size_t length = BlockHeader::kBytes + (isFresh ? static_cast<size_t>(h.payloadSpace()) : take);
  const size_t dataEnd = BlockHeader::kBytes + take;
  // The buffer only grows: each piece sets every byte it sends (header, value, then zeros), so
  // nothing is cleared twice.
  if (buffer.size() < std::min(kPiece, length)) buffer.resize(std::min(kPiece, length));
  for (size_t pos = 0; pos < length;) {
    const size_t piece = std::min(kPiece, length - pos);
    if (pos == 0) encodeHeader(h, buffer.data());
    const size_t from = std::max<size_t>(pos, BlockHeader::kBytes);
    const size_t to = std::min(pos + piece, dataEnd);
    if (from < to) source(std::span<std::uint8_t>(buffer.data() + (from - pos), to - from));
    const size_t zeroFrom = std::max(from, to) - pos;
    if (zeroFrom < piece) std::memset(buffer.data() + zeroFrom, 0, piece - zeroFrom);
    if (!writeAt(static_cast<std::uint64_t>(areaStart_ + h.offset) + pos, buffer.data(), piece, isFresh)) return false;
    pos += piece;
  }
  return true;
}

bool BlockStore::planChain(std::int64_t n, std::vector<size_t>& taken, BlockHeader& fresh, bool& grow,
                           bool takeFree) const {
  // Free blocks in file order until the bytes are covered; the ordered set gives the same blocks
  // as a walk over the table.
  std::int64_t covered = 0;
  if (takeFree) {
    forFreeBlocks([&](size_t idx) {
      taken.push_back(idx);
      covered += sizeOf(idx) - BlockHeader::kBytes;
      return covered < n;
    });
  }
  // A new block at the end of the area takes whatever the free blocks leave.
  grow = covered < n;
  if (!grow) return true;
  const std::int64_t payload = std::max<std::int64_t>(n - covered, minPayload_);
  const std::int64_t offset = areaEnd();
  if (offset + payload + BlockHeader::kBytes > areaLimit_) return false;
  fresh.offset = static_cast<std::int32_t>(offset);
  fresh.size = static_cast<std::int32_t>(payload + BlockHeader::kBytes);
  return true;
}

bool BlockStore::chainFits(std::int64_t n) const {
  if (n <= freePayload_) return true;
  // The room planChain would take: every free block, then a fresh block for the rest.
  return areaEnd_ + std::max<std::int64_t>(n - freePayload_, minPayload_) + BlockHeader::kBytes <= areaLimit_;
}

std::int32_t BlockStore::writeChain(std::uint64_t size, const ChainSource& source) {
  return writeChainAfter(-1, size, source);
}

bool BlockStore::patchChain(std::int32_t start, const ChangedRange& changed, std::uint64_t more,
                            const ChainSource& source) {
  std::vector<size_t> chain;
  if (file_ == nullptr || !collect(start, chain)) return false;
  // Where each block's bytes begin in the value, and each block's used count.
  std::vector<std::uint64_t> begins;
  std::vector<std::uint64_t> useds;
  std::uint64_t total = 0;
  for (size_t idx : chain) {
    const std::int32_t used = usedOnDisk(idx);
    if (used < 0) return false;
    begins.push_back(total);
    useds.push_back(static_cast<std::uint64_t>(used));
    total += static_cast<std::uint64_t>(used);
  }
  std::uint64_t at = 0;
  std::span<const std::uint8_t> bytes;
  size_t b = 0;
  while (changed(at, bytes)) {
    if (at + bytes.size() > total) return false;
    while (b + 1 < chain.size() && begins[b + 1] <= at) ++b;
    while (!bytes.empty()) {
      while (begins[b] + useds[b] <= at) ++b;
      const std::uint64_t into = at - begins[b];
      const auto piece = static_cast<size_t>(std::min<std::uint64_t>(useds[b] - into, bytes.size()));
      if (!writeAt(static_cast<std::uint64_t>(areaStart_ + offsets_[chain[b]] + BlockHeader::kBytes) + into,
                   bytes.data(), piece, false))
        return false;
      at += piece;
      bytes = bytes.subspan(piece);
    }
  }
  if (more == 0) return true;
  // The last block takes what its payload has room for; the rest goes on in a chain of its own
  // that names the last block as the one before it.
  const size_t last = chain.back();
  BlockHeader h = header(last);
  h.used = static_cast<std::int32_t>(useds.back());
  const auto room = static_cast<std::uint64_t>(h.payloadSpace() - h.used);
  const auto take = static_cast<size_t>(std::min(room, more));
  if (take > 0) {
    std::vector<std::uint8_t> piece(take);
    source(piece);
    if (!writeAt(static_cast<std::uint64_t>(areaStart_ + h.offset + BlockHeader::kBytes + h.used), piece.data(), take,
                 false))
      return false;
    h.used += static_cast<std::int32_t>(take);
  }
  if (more > take) {
    const std::int32_t next = writeChainAfter(h.offset, more - take, source);
    if (next < 0) return false;
    h.next = offsets_[static_cast<size_t>(next)];
  }
  if (!writeHeader(h)) return false;
  setHeader(last, h);
  return true;
}

std::int32_t BlockStore::writeChainAfter(std::int32_t prev, std::uint64_t size, const ChainSource& source) {
  if (file_ == nullptr || size == 0 || size > static_cast<std::uint64_t>(areaLimit_)) return -1;
  const auto n = static_cast<std::int64_t>(size);

  std::vector<size_t>& taken = takenScratch_;
  taken.clear();
  BlockHeader fresh;
  bool grow = false;
  if (!planChain(n, taken, fresh, grow, prev < 0)) return -1;

  const size_t blockCount = taken.size() + (grow ? 1 : 0);
  // The fresh block, when there is one, goes at the end of the table.
  const auto first = static_cast<std::int32_t>(taken.empty() ? offsets_.size() : taken.front());
  auto offsetOf = [&](size_t i) { return i < taken.size() ? offsets_[taken[i]] : fresh.offset; };
  std::vector<std::uint8_t>& buffer = blockScratch_;
  std::int64_t at = 0;
  for (size_t i = 0; i < blockCount; ++i) {
    const bool isFresh = i == taken.size();
    BlockHeader h = isFresh ? fresh : header(taken[i]);
    const auto take = static_cast<size_t>(std::min<std::int64_t>(h.payloadSpace(), n - at));
    h.prev = i == 0 ? prev : offsetOf(i - 1);
    h.next = i + 1 == blockCount ? -1 : offsetOf(i + 1);
    h.used = static_cast<std::int32_t>(take);
    if (!writeBlock(h, isFresh, take, source, buffer)) return -1;
    if (isFresh) appendHeader(h);
    else setHeader(taken[i], h);
    at += static_cast<std::int64_t>(take);
  }
  return first;
}

}  // namespace mh
