#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory_resource>
#include <span>
#include <unordered_set>
#include <vector>

#include "patterns/block_links.h"
#include "platform/binary_file.h"
#include "platform/growing_pages.h"

namespace mh {

// The 20-byte header in front of every block of a warehouse's block area; offsets are counted from
// the start of the block area. used == 0 marks a free block.
struct BlockHeader {
  std::int32_t offset = 0;
  std::int32_t prev = -1;
  std::int32_t next = -1;
  std::int32_t size = 0;  // header included, always above 20
  std::int32_t used = 0;

  static constexpr int kBytes = 20;
  std::int32_t payloadSpace() const { return size - kBytes; }
  friend bool operator==(const BlockHeader&, const BlockHeader&) = default;
};

// Chains of variable-size blocks laid back to back in one file. A value is the concatenation of the
// used payloads along a chain named by the table index of its first block (see below): blocks are
// never split, merged or moved and new ones go at the end, so a block keeps its index for as long
// as the store is attached, and a chain is found without searching the table for an offset. Chains always run forwards
// in the file, which makes a loop or a backward link detectable as corruption, and each block
// after the first names its predecessor in prev, so two chains never share a block.
//
// The store keeps the table of all blocks in file order, 4 bytes a block: its offset (its size is
// the distance to the next block). A block's used count stays in its header on disk, read with
// its payload; most blocks hold a value of their own with no links, so links are kept beside the
// table for the few that have them, marked in a bitmap. Free blocks are marked in a bitmap over
// the table, with a bit per word of it that holds any, so allocation takes them in file order
// and skips the long stretches without one.
class BlockStore {
 public:
  static constexpr std::int32_t kMinPayloadFloor = 128;

  // Binds to an open file (not owned; it must outlive the store's use) and scans the block table:
  // headers are accepted from offset 0 while each is complete, names its own offset and has a size
  // above 20. The first header that fails ends the table. False when the file size is unknown.
  [[nodiscard]] bool attach(BinaryFile* file, std::int64_t areaStart, std::int32_t minimumPayload);
  // Binds to an open file whose block headers are known already (a table written when the file
  // was last closed): next hands them over in file order and returns false after the last. Each
  // is taken only where the scan would take it (it names the offset where the one before ends,
  // and a size above 20); false, store detached, at the first that is not. Of a used count only
  // its state is kept (see stateOf): the count itself is read from the file with the block.
  using HeaderSource = std::function<bool(BlockHeader& out)>;
  [[nodiscard]] bool attachKnown(BinaryFile* file, std::int64_t areaStart, std::int32_t minimumPayload,
                                 const HeaderSource& next);
  void detach();

  // The smallest payload a new block gets; raised to 128 when lower.
  void setMinimumPayload(std::int32_t payload);
  std::int32_t minimumPayload() const { return minPayload_; }

  // The value of the chain whose first block has table index start; false when start is no
  // block's index or the chain cannot be collected or read.
  [[nodiscard]] bool readChain(std::int32_t start, std::vector<std::uint8_t>& out) const;
  // The same handed to sink a piece of at most 1 MiB at a time, in order, so that a value of
  // hundreds of megabytes (a large directory) never sits in memory whole. False when the chain
  // cannot be collected or read, or sink returns false.
  using ChainSink = std::function<bool(std::span<const std::uint8_t> piece)>;
  [[nodiscard]] bool readChainPieces(std::int32_t start, const ChainSink& sink) const;
  // Marks every block of the chain at start free on disk. A start below 0 succeeds at once; a chain
  // that cannot be collected fails and nothing is changed.
  [[nodiscard]] bool freeChain(std::int32_t start);
  // Writes the bytes into free blocks in file order, growing the file when they do not suffice.
  // Returns the first block's table index, or -1 for no bytes or a failed write (the chain may then
  // be partly written).
  [[nodiscard]] std::int32_t writeChain(std::span<const std::uint8_t> bytes);
  // The same for a value of size bytes that source hands out in order, a piece at a time (each
  // call fills the whole span it is given), so a large value never sits in memory whole.
  using ChainSource = std::function<void(std::span<std::uint8_t> out)>;
  [[nodiscard]] std::int32_t writeChain(std::uint64_t size, const ChainSource& source);
  // Changes the value of the chain at start where it lies, instead of writing it again whole:
  // changed hands out ranges of new bytes (their place in the value, ascending, within the old
  // value; false once there are none), and then the value grows by more bytes from source, into
  // the unused payload of its last block and then into a fresh block at the end of the file. The value read afterwards is the old one with those changes. False on a chain that
  // does not collect, a range outside it, or a failed write.
  using ChangedRange = std::function<bool(std::uint64_t& at, std::span<const std::uint8_t>& bytes)>;
  [[nodiscard]] bool patchChain(std::int32_t start, const ChangedRange& changed, std::uint64_t more,
                                const ChainSource& source);

  // The end of the block area a new chain may reach: the reach of the format's 32-bit offsets by
  // default; lower only to try what happens when a store fills up.
  static constexpr std::int64_t kOffsetReach = 0x7fffffff;
  void setAreaLimit(std::int64_t limit) { areaLimit_ = std::clamp<std::int64_t>(limit, 0, kOffsetReach); }
  std::int64_t areaLimit() const { return areaLimit_; }
  // Where the block area ends now (where a fresh block would go).
  std::int64_t areaEnd() const { return areaEnd_; }

  // Writes what is gathered (see writeAt). False when that write fails;
  // from then on every write, read and flush of the store fails with the same error, so that no
  // later success hides the lost blocks.
  [[nodiscard]] bool flush();

  // Every block's header, in file order, the used counts read from the file (built on each
  // call: for tests and figures; a header that cannot be read shows used -1).
  std::vector<BlockHeader> blocks() const;
  size_t blockCount() const { return offsets_.size(); }
  // The offset of block idx (below blockCount()) in the block area.
  std::int32_t offsetAt(size_t idx) const { return offsets_[idx]; }
  // The table index of the block at offset, or -1 when no block starts there. The search gallops
  // from index from on when offset lies at or after that block: offsets met in ascending order are
  // found in a walk along the table.
  std::int64_t indexAt(std::int32_t offset, size_t from = 0) const {
    return from < offsets_.size() && offsets_[from] <= offset ? indexOf(offset, from) : indexOf(offset, 0);
  }
  // The header of block idx (below blockCount()) as the table holds it: its used count is 0 for
  // a free block and -1 for any other (the count lies in the file; see stateAt).
  BlockHeader headerAt(size_t idx) const { return header(idx); }
  // What a block holds: nothing (used count 0), a part of a value (a used count its payload
  // holds), or a used count no payload of its size holds (a damaged file: such a block is
  // neither handed out nor part of a chain that collects).
  enum class BlockState : std::uint8_t { Free = 0, InUse = 1, Damaged = 2 };
  BlockState stateAt(size_t idx) const;
  static BlockState stateOf(const BlockHeader& h);
  // Reads n bytes of the chain's value from byte at of the value on, straight from the file
  // (nothing gathered may be pending). False when the chain does not collect or the bytes do not
  // all lie in its value.
  [[nodiscard]] bool readChainRange(std::int32_t start, std::uint64_t at, std::uint8_t* out, size_t n) const;
  // Several ranges of the value read in one walk along the chain, each block's header read once:
  // n bytes from byte at on into out, the ranges in ascending order of at. With valueBytes, the
  // walk goes on to the chain's end and gives the value's length. False as readChainRange would
  // be for any of the ranges.
  struct ValueRange {
    std::uint64_t at = 0;
    std::uint8_t* out = nullptr;
    size_t n = 0;
  };
  [[nodiscard]] bool readChainRanges(std::int32_t start, std::span<const ValueRange> ranges,
                                     std::uint64_t* valueBytes = nullptr) const;
  size_t freeBlockCount() const { return freeCount_; }
  // The payload bytes of all free blocks together: a chain of up to that many bytes is written
  // without growing the file.
  std::int64_t freePayload() const { return freePayload_; }
  // Whether writeChain finds room for a value of n bytes now: in the free blocks, or with them
  // and a fresh block at the end (of at least the minimum payload) that ends within the limit.
  bool chainFits(std::int64_t n) const;
  // The payload bytes of the blocks of the chain at start, or -1 when it does not collect.
  std::int64_t chainSpace(std::int32_t start) const;

 private:
  // The blocks a chain of n bytes takes: free blocks (taken, in file order) and, when they do not
  // cover it, a fresh block at the end (grow). False when the fresh block would pass the offsets'
  // limit.
  // With takeFree false, the whole chain is a fresh block.
  bool planChain(std::int64_t n, std::vector<size_t>& taken, BlockHeader& fresh, bool& grow,
                 bool takeFree = true) const;
  // writeChain's work, its first block naming the block at offset prev as the one before it; with
  // prev set, the chain is one fresh block at the end, so that the link from prev runs forwards.
  // Returns the first block's table index, or -1.
  std::int32_t writeChainAfter(std::int32_t prev, std::uint64_t size, const ChainSource& source);
  // Writes block h (header and its first take payload bytes from source; a fresh block whole,
  // its unused payload zeroed) in pieces through buffer.
  bool writeBlock(const BlockHeader& h, bool isFresh, size_t take, const ChainSource& source,
                  std::vector<std::uint8_t>& buffer);
  // Table indices of the chain at start, in chain order; false when it is not a well-formed chain.
  bool collect(std::int32_t start, std::vector<size_t>& out) const;
  // Table index of the block at offset among indices >= from, or -1.
  std::int64_t indexOf(std::int32_t offset, size_t from) const;
  bool writeHeader(const BlockHeader& h);
  // Writes n bytes at file offset at. Fresh blocks (extending) go at the end of the file one
  // after another; they are gathered and written together, a megabyte at a time, where each would
  // otherwise take a system call of its own. Writes into gathered bytes change them in place.
  // Writes into blocks already in the file are gathered too (see placed_).
  bool writeAt(std::uint64_t at, const std::uint8_t* data, size_t n, bool extending);
  // Gathers a write into blocks already in the file, merging it with the runs it touches.
  void place(std::uint64_t at, const std::uint8_t* data, size_t n);
  // Whether a gathered write into blocks in the file touches [at, at + n).
  bool placedOverlaps(std::uint64_t at, std::uint64_t n) const;
  // The used count the 20 header bytes raw of block idx name, or -1 when they differ from the
  // table's header in anything else or name a count the block cannot hold.
  std::int32_t usedIn(size_t idx, const std::uint8_t* raw) const;
  // The same for the header read from the file (-1 also when it cannot be read).
  std::int32_t usedOnDisk(size_t idx) const;
  // Appends the used bytes of block idx to out; false when they cannot be read or its header on
  // disk is not the table's.
  bool readBlock(size_t idx, std::vector<std::uint8_t>& out) const;
  // Reads n bytes of a block at file offset at, through the read window when they are small.
  bool readUsed(std::uint64_t at, std::uint8_t* out, size_t n) const;
  // The first file offset at or after at whose bytes are still gathered (max when none).
  std::uint64_t gatheredFrom(std::uint64_t at) const;
  // Writes the gathered bytes when a read of [at, at + n) would need them.
  bool flushBefore(std::uint64_t at, std::uint64_t n) const;
  bool flushBeforeReading(const std::vector<size_t>& chain) const;
  bool failedWrite() const;
  // The header of block idx as the table knows it: its used count only when free (0); else -1,
  // the count being on disk. And its record in the table (its offset and size stay).
  BlockHeader header(size_t idx) const;
  void setHeader(size_t idx, const BlockHeader& h);
  void appendHeader(const BlockHeader& h);
  void markFree(size_t idx, bool free);
  // Table indices of free blocks in file order, from the first.
  template <class Each>
  void forFreeBlocks(Each&& each) const;

  // Whether links_ holds the prev and next of block idx, and whether it is free.
  bool linkedAt(size_t idx) const { return (linked_[idx / 64] >> (idx % 64) & 1) != 0; }
  bool freeAt(size_t idx) const { return (free_[idx / 64] >> (idx % 64) & 1) != 0; }
  // Whether block idx's header holds a used count that no payload of its size holds (a damaged
  // file): such a block is neither free nor part of a chain that collects.
  bool damagedAt(size_t idx) const { return !damaged_.empty() && damaged_.contains(idx); }
  // The size of block idx, header included.
  std::int64_t sizeOf(size_t idx) const {
    return (idx + 1 < offsets_.size() ? std::int64_t{offsets_[idx + 1]} : areaEnd_) - offsets_[idx];
  }

  BinaryFile* file_ = nullptr;
  std::int64_t areaStart_ = 256;
  std::int32_t minPayload_ = 1024;
  std::int64_t areaLimit_ = kOffsetReach;
  // The table of blocks in file order: offsets strictly increasing, back to back.
  GrowingPages<std::int32_t> offsets_;
  std::vector<std::uint64_t> linked_;  // a bit per table index: links_ holds the block
  std::unordered_set<size_t> damaged_;  // see damagedAt
  // The offset of every kSampleStep-th block of the table. A search from the start bisects these
  // (a few hundred kilobytes for millions of blocks, which stay in the processor's cache) and then
  // the few blocks after the one found, where a bisection of the whole table would miss the cache
  // at nearly every step.
  static constexpr size_t kSampleStep = 64;
  std::vector<std::int32_t> samples_;
  std::int64_t areaEnd_ = 0;  // where the last block ends
  BlockLinks links_;  // by table index: blocks with a prev or next
  std::vector<std::uint64_t> free_;  // a bit per table index: the block is free
  std::vector<std::uint64_t> freeWords_;  // a bit per word of free_: the word is not zero
  size_t freeCount_ = 0;
  std::int64_t freePayload_ = 0;  // payload bytes of the free blocks
  mutable size_t firstFree_ = 0;  // no block below this index is free
  // Kept between writes so that the many small writes of a build allocate nothing.
  std::vector<std::uint8_t> blockScratch_;
  std::vector<size_t> takenScratch_;
  // Bytes gathered for the file at tailStart_ on (see writeAt), and the error of a failed write.
  mutable std::vector<std::uint8_t> tail_;
  mutable std::uint64_t tailStart_ = 0;
  // Writes into blocks already in the file, by offset: runs that touch or overlap are merged,
  // the later bytes winning. Freeing a chain and writing a value into the blocks it freed land
  // on the same and neighbouring bytes, and each write would otherwise take a system call of its
  // own. They reach the file on flush, before a read that needs them, or once they pass a
  // megabyte. The runs and their nodes come from a pool of their own: a build gathers and drops
  // millions of small runs, and the general heap spent a good part of a build on them.
  mutable std::pmr::unsynchronized_pool_resource placedPool_;
  mutable std::pmr::map<std::uint64_t, std::pmr::vector<std::uint8_t>> placed_{&placedPool_};
  mutable size_t placedBytes_ = 0;
  mutable int writeError_ = 0;
  // The file's bytes from windowStart_ on, as last read for small blocks (see readUsed).
  mutable std::vector<std::uint8_t> window_;
  mutable size_t windowFill_ = 0;  // bytes of window_ that hold the file's
  mutable std::uint64_t windowStart_ = 0;
  mutable std::uint64_t lastReadEnd_ = 0;  // where the last read through readUsed ended
};

}  // namespace mh
