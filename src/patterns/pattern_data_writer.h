#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "patterns/data_file_stamp.h"
#include "patterns/pattern_entry.h"
#include "patterns/pattern_index_record.h"
#include "patterns/pattern_key_file.h"
#include "platform/binary_file.h"

namespace mh {

class PreviousDataFile;

// Writes a data file ("wpbin") from offset 0, entry by entry in number order, in large pieces.
// When given an index file it also writes the index file ("wpindex") that indexing the finished
// data file by scanning it gives: one record per entry (locations are file offsets), its count set
// by finish. An index record holds a 32-bit offset, so an entry that would start past that reach
// is refused with a reason: the pair would otherwise lose every entry beyond it without a word.
class PatternDataWriter {
 public:
  static constexpr std::uint64_t kOffsetReach = 0x7fffffff;

  // count: the entries the data file's header announces. offsetReach is lowered only to try
  // what happens at the reach on small libraries.
  PatternDataWriter(BinaryFile& data, BinaryFile* index, std::int32_t count,
                    std::uint64_t offsetReach = kOffsetReach);

  // Also writes the key file of the data file and its index (see PatternKeyFileHeader), from
  // offset 0, before the first entry is added; only with an index file.
  void setKeyFile(BinaryFile* keys);

  // Appends an entry; false when it has no data-file form or a write failed.
  [[nodiscard]] bool add(const PatternEntry& entry);
  // Appends an entry already in data-file form (bytes of an earlier data file) whose index record
  // is key (its location is set here). mark, when given, is the entry's key mark as an earlier key
  // file holds it, taken instead of hashing the key again. With source, the bytes are an entry as
  // source.entry() handed it out, valid until source is checked: entries that follow each other
  // there are gathered into runs, each folded into both files' checks in one pass and a long one
  // written straight from where it lies, without a copy.
  [[nodiscard]] bool addEncoded(std::span<const std::uint8_t> bytes, PatternIndexRecord key,
                                const std::uint16_t* mark = nullptr, PreviousDataFile* source = nullptr);
  // Appends an entry given as its warehouse value, which is its data-file form but for the text
  // length (16 bits there, 32 here): the bytes are copied across instead of decoded and encoded
  // again, with the same result. The value is checked as reading the entry would check it; one
  // that does not read is refused (false, error() unchanged) and nothing is written.
  [[nodiscard]] bool addWarehouseValue(std::span<const std::uint8_t> value);
  // Writes what is buffered and the index file's header; false when a write failed.
  [[nodiscard]] bool finish();
  // Why the writer failed: what passed the reach, or the system's error text.
  const std::string& error() const { return error_; }
  // What identifies the data file written: its entries, bytes and a check over the bytes (valid
  // once finish succeeded).
  DataFileStamp stamp() const { return {added_, data_.at, check_.value()}; }

 private:
  bool place(std::uint64_t offset);
  // Notes an entry's bytes and its index record, the last one added to index_.buffer, for the key
  // file; its mark is computed unless given.
  void noteKey(std::span<const std::uint8_t> entry, const std::uint16_t* mark = nullptr);
  // Where the next entry starts in the data file.
  std::uint64_t nextOffset() const { return data_.at + data_.buffer.size() + run_.size; }
  // Folds the buffered bytes not folded yet into the check.
  void foldBuffer();
  // Passes the gathered run on: folded into the check with its source's, then buffered when
  // short or written where it lies; false when a write failed.
  bool endRun();
  struct Output {
    BinaryFile* file = nullptr;
    std::vector<std::uint8_t> buffer;
    std::uint64_t at = 0;  // where the buffer goes
    bool flush();
  };

  // Entries of an earlier data file that follow each other there, not yet passed on.
  struct Run {
    PreviousDataFile* source = nullptr;
    const std::uint8_t* begin = nullptr;
    size_t size = 0;
  };

  Output data_;
  size_t bufferFolded_ = 0;  // data_.buffer's bytes before it are folded into check_
  Run run_;
  Output index_;
  Output keys_;
  PatternIndexFold fold_;
  std::uint64_t reach_;
  DataCheck check_;
  std::int32_t added_ = 0;
  bool ok_ = true;
  BoardSnapshot key_;  // the key of the warehouse value being added
  std::string error_;
  bool fail(std::string why);
  // Writes out full buffers.
  bool flushFull();
};

}  // namespace mh
