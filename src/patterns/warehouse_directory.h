#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mh {

// The names of a warehouse and the start of each one's chain, held compactly: the names side by
// side in one buffer, a 12-byte record per name and an open-addressing table of record numbers,
// about 30 bytes a name where a tree of strings needs about 80. Names keep the order in which
// they were first set.
class WarehouseDirectory {
 public:
  void clear();
  size_t size() const { return live_; }

  // The start of name's chain, or nullptr when the name is absent.
  const std::int32_t* find(std::string_view name) const;
  std::int32_t* find(std::string_view name);
  // Sets (adds or replaces) name's start.
  void set(std::string_view name, std::int32_t start);
  // Removes name when present.
  void erase(std::string_view name);

  // Records by number, including removed ones (live false), for a walk that can pause: every
  // name once, in the order names were first set.
  size_t recordCount() const { return records_.size(); }
  bool recordAt(size_t n, std::string_view& name, std::int32_t& start) const {
    const Record& r = records_[n];
    name = std::string_view(names_.data() + r.offset, r.length);
    start = r.start;
    return r.live;
  }

  // Calls f(name, start) for every name, in the order names were first set.
  template <class F>
  void forEach(F&& f) const {
    for (const Record& r : records_)
      if (r.live) f(std::string_view(names_.data() + r.offset, r.length), r.start);
  }

 private:
  struct Record {
    std::uint32_t offset = 0;
    std::uint8_t length = 0;
    bool live = false;
    std::int32_t start = -1;
  };
  static std::uint64_t hashOf(std::string_view name);
  // The slot holding name's record, or the empty slot where it would go.
  size_t slotOf(std::string_view name) const;
  void grow();

  std::string names_;
  std::vector<Record> records_;
  std::vector<std::int32_t> slots_;  // record numbers, -1 empty; a power of two long
  size_t live_ = 0;
};

}  // namespace mh
