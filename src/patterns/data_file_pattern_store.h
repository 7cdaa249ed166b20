#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "patterns/pattern_store.h"
#include "platform/binary_file.h"
#include "platform/mapped_file.h"

namespace mh {

// A finished library, read-only: the index records in memory, the entries in the open data file
// ("wpbin"), read on demand (through a map of the file when it maps). Buckets lie side by side,
// so a bucket is walked as one short run of memory.
class DataFilePatternStore final : public PatternStore {
 public:
  // From an index file ("wpindex") and its data file. False when either does not open or the
  // index does not read. An index that does not fit the data file (checked at its first and last
  // record) is replaced by scanning the data file, as openData does.
  [[nodiscard]] bool openIndex(const std::string& indexPath, const std::string& dataPath);
  // By scanning a data file, indexing entries up to the first that does not read. False only
  // when the file does not open or its header is wrong.
  [[nodiscard]] bool openData(const std::string& dataPath);

  PatternStoreKind kind() const override { return PatternStoreKind::Index; }
  int count() const override { return static_cast<int>(records_.size()); }
  int find(const BoardSnapshot& snapshot, int side, PatternEntry* out) const override;
  bool read(int number, PatternEntry& out) const override;
  bool add(PatternEntry) override { return false; }
  bool store(int, const PatternEntry&) override { return false; }
  PatternEntry* beginUpdate(int) override { return nullptr; }
  bool endUpdate(int) override { return false; }
  const std::vector<PatternIndexRecord>* records() const override { return &records_; }

 private:
  bool openFile(const std::string& dataPath, std::int32_t& count);
  bool indexMatchesData() const;
  void mapData(const std::string& dataPath);
  void layBuckets();
  // Reads entry number's key, and its body when the key matches (or always when key is null).
  bool readAt(int number, const BoardSnapshot* key, int side, PatternEntry& out, bool& matched) const;
  bool keyBytesMatch(const PatternIndexRecord& r, const std::vector<std::uint8_t>& keyBytes) const;

  std::vector<PatternIndexRecord> records_;
  BinaryFile dataFile_;
  MappedFile dataMap_;  // the data file, when it maps
  std::uint64_t dataSize_ = 0;
  std::vector<std::int32_t> bucketStarts_;  // bucket b is [starts[b], starts[b+1])
  std::vector<std::int32_t> bucketNumbers_;
  std::vector<std::uint32_t> bucketFilters_;
};

// Reads an index file ("wpindex") into records; false when its header or a record does not read.
bool readPatternIndexFile(const std::string& path, std::vector<PatternIndexRecord>& records);

}  // namespace mh
